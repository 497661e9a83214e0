#pragma once
// The generator's two brushes: a solid ball of one byte value, and a ball
// dragged along a random walk that climbs toward higher field values. Ore
// veins, the surface relief, caves and tunnels are all drawn with them.
// Grid and field share the layout x + size*y + size*size*z; z is depth, 0 on top.

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "cave/cave_rng.hpp"
#include "world/grid.hpp"

namespace tessmark {

// A solid ball: every cell strictly closer than radius to the centre. Radius 1
// is the centre alone, 2 a 3x3x3 cube, 3 a 93-cell ball; 0 or less is empty.
// Kept as x-runs, one per (dy, dz), so painting is a few short fills.
class BallBrush {
 public:
  explicit BallBrush(std::int32_t radius);

  // Paints the ball's cells that lie inside the grid. A grid span shorter
  // than size^3 holds only its first layers; cells past its end are outside.
  void paint(std::span<BlockId> grid, std::int64_t x, std::int64_t y, std::int64_t z,
             std::size_t size, BlockId value) const;

 private:
  struct Run {
    std::int32_t dy, dz, half;  // cells x - half .. x + half
  };
  std::vector<Run> runs_;
};

// One ball of the given radius at (x, y, z), cut off at the grid's faces.
void paint_at_point(std::span<BlockId> grid, std::int32_t x, std::int32_t y, std::int32_t z,
                    std::size_t size, std::int32_t radius, BlockId value);

// Paints with a ball of radius + 1 along a walk of at most 4*size^2 steps from
// a drawn start. A step that lands on a larger field value is taken twice.
// Leaving through a side or the bottom ends the walk, unless clamp_at_border
// holds it inside (then size such hits end it); the top face is a floor the
// walk slides along. The field must hold size^3 values.
void paint_with_random_walk(std::span<BlockId> grid, std::span<const float> field,
                            std::size_t size, std::int32_t radius, BlockId value,
                            bool clamp_at_border, CaveRng& rng);

// The same walk over a field given as a function field_at(x, y, z) of a cell
// inside the cube, so a field can be computed only where the walk looks.
template <class FieldAt>
void paint_with_random_walk_over(std::span<BlockId> grid, const FieldAt& field_at,
                                 std::size_t size, std::int32_t radius, BlockId value,
                                 bool clamp_at_border, CaveRng& rng);

// --- Implementation ----------------------------------------------------------

namespace walk_detail {

struct Position {
  std::int64_t x, y, z;
};

// Applies the border rule after a move; false when the walk must end.
inline bool keep_inside(Position& p, std::int64_t n, bool clamp_at_border,
                        std::size_t& border_hits) {
  const bool outside = p.x < 0 || p.y < 0 || p.x >= n || p.y >= n || p.z >= n;
  if (!outside) {
    if (p.z <= 0) p.z = 0;  // the top face is a floor, not an exit
    return true;
  }
  if (!clamp_at_border) return false;
  auto clamp = [n](std::int64_t v) { return v < 0 ? 0 : (v >= n ? n - 1 : v); };
  p = {clamp(p.x), clamp(p.y), clamp(p.z)};
  ++border_hits;
  return true;
}

}  // namespace walk_detail

template <class FieldAt>
void paint_with_random_walk_over(std::span<BlockId> grid, const FieldAt& field_at,
                                 std::size_t size, std::int32_t radius, BlockId value,
                                 bool clamp_at_border, CaveRng& rng) {
  using walk_detail::Position;
  if (size == 0) return;
  const auto n = static_cast<std::int64_t>(size);
  const auto top = static_cast<std::int32_t>(size);
  Position p{};
  p.x = rng.next_range(0, top);
  p.y = rng.next_range(0, top);
  p.z = rng.next_range(0, top);
  if (p.z < n / 50) p.z = 0;

  // A start draw can return size itself. The walk reads the field at the
  // flat index of its start, which then lies in the next row or layer; past
  // the last layer there is nothing to read, and the walk ends unpainted.
  const std::int64_t start = p.x + n * p.y + n * n * p.z;
  if (start >= n * n * n) return;
  auto read = [&](std::int64_t i) {
    return field_at(static_cast<std::size_t>(i % n), static_cast<std::size_t>(i / n % n),
                    static_cast<std::size_t>(i / (n * n)));
  };
  // The value under the walk, carried from the last read while it stays put.
  float here = (p.x < n && p.y < n) ? field_at(static_cast<std::size_t>(p.x),
                                               static_cast<std::size_t>(p.y),
                                               static_cast<std::size_t>(p.z))
                                    : read(start);

  const BallBrush brush(radius + 1);
  std::size_t border_hits = 0;
  const std::size_t budget = 4 * size * size;
  for (std::size_t step = 0; step < budget; ++step) {
    const float ref = here;
    brush.paint(grid, p.x, p.y, p.z, size, value);
    const std::int32_t dx = rng.next_range(-radius, radius + 1);
    const std::int32_t dy = rng.next_range(-radius, radius + 1);
    const std::int32_t dz = rng.next_range(-radius, radius + 1);
    p = {p.x + dx, p.y + dy, p.z + dz};
    if (!walk_detail::keep_inside(p, n, clamp_at_border, border_hits)) return;
    here = field_at(static_cast<std::size_t>(p.x), static_cast<std::size_t>(p.y),
                    static_cast<std::size_t>(p.z));
    if (here > ref) {
      brush.paint(grid, p.x, p.y, p.z, size, value);
      p = {p.x + dx, p.y + dy, p.z + dz};
      if (!walk_detail::keep_inside(p, n, clamp_at_border, border_hits)) return;
      here = field_at(static_cast<std::size_t>(p.x), static_cast<std::size_t>(p.y),
                      static_cast<std::size_t>(p.z));
    }
    if (clamp_at_border && border_hits >= size) return;
  }
}

}  // namespace tessmark
