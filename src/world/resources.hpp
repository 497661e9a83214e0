#pragma once
// Accessible resource search: for every ore or precious block, a place where
// a bot can stand and the first block it has to mine on its way in, scored by
// distance from the asking bot (precious blocks weighted by their value), the
// best target per resource, best first.

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "world/bot_placement.hpp"
#include "world/grid.hpp"

namespace tessmark {

struct AccessibleResourceTarget {
  Cell resource_position;
  // The first block the bot mines on its way in; the resource itself when
  // nothing else is in the way.
  Cell work_position;
  // Where the bot stands, as a bot reference point.
  Point approach_position;
  BlockId block_type = 0;
  std::int32_t cash_value = 0;
  // From the origin to approach_position.
  float distance = 0.0f;
  friend bool operator==(const AccessibleResourceTarget&,
                         const AccessibleResourceTarget&) = default;
};

// Looks for Ore when search_ore is set, for PreciousLow and PreciousHigh
// otherwise. A point within avoid_radius of an avoid position (strictly) is
// off limits: a resource there is skipped, an approach there is not used.
// Approach points must lie within max_vertical_delta of the origin's height.
// Returns at most `limit` targets; limit 0 scans nothing.
std::vector<AccessibleResourceTarget> find_accessible_resources(
    const World& world, Point origin, std::span<const Point> avoid_positions, float avoid_radius,
    float max_vertical_delta, bool search_ore, std::size_t limit);

}  // namespace tessmark
