#pragma once
// The generator's two brushes: a solid ball of one byte value, and a ball
// dragged along a random walk that climbs toward higher field values. Ore
// veins, the surface relief, caves and tunnels are all drawn with them.
// Grid and field share the layout x + size*y + size*size*z; z is depth, 0 on top.

#include <cstddef>
#include <cstdint>
#include <span>

#include "cave/cave_rng.hpp"
#include "world/grid.hpp"

namespace tessmark {

// Every cell strictly closer than radius to (x, y, z) that lies inside the grid
// takes value: radius 1 is the centre alone, 2 a 3x3x3 cube, 3 a 93-cell ball.
void paint_at_point(std::span<BlockId> grid, std::int32_t x, std::int32_t y, std::int32_t z,
                    std::size_t size, std::int32_t radius, BlockId value);

// Paints with a ball of radius + 1 along a walk of at most 4*size^2 steps from
// a drawn start. A step that lands on a larger field value is taken twice.
// Leaving through a side or the bottom ends the walk, unless clamp_at_border
// holds it inside (then size such hits end it); the top face is a floor the
// walk slides along.
void paint_with_random_walk(std::span<BlockId> grid, std::span<const float> field,
                            std::size_t size, std::int32_t radius, BlockId value,
                            bool clamp_at_border, CaveRng& rng);

}  // namespace tessmark
