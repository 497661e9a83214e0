#pragma once
// Bot path search: a breadth-first search over bot positions with a fixed
// move set (walk, step one cell up or down, onto and along ladders, and, for
// a mining bot, through cells it may dig). The path has the fewest moves;
// among equally short paths the one discovered first wins.

#include <cstdint>
#include <vector>

#include "world/bot_placement.hpp"
#include "world/grid.hpp"

namespace tessmark {

// The most positions one search may discover, the start included. It bounds
// the time and memory of a call that runs on the game's frame.
inline constexpr std::uint32_t kBotPathMaxNodes = 12288;

// Points run from the centre point of the start cell to `destination` exactly
// as passed; an empty list means there is no path within the budget. Start and
// goal must both be places a bot stands without digging, for every mode.
std::vector<Point> find_bot_path(const World& world, Point origin, Point destination,
                                 std::int32_t player_team, std::uint32_t max_nodes, bool mining);

}  // namespace tessmark
