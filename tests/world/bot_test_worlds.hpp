#pragma once
// Small hand-built worlds for the bot and resource tests.

#include <ostream>
#include <utility>
#include <vector>

#include "world/bot_placement.hpp"
#include "world/catalogue.hpp"
#include "world/grid.hpp"

namespace tessmark {

// Readable failure messages for model values.
inline void PrintTo(const Cell& c, std::ostream* os) {
  *os << '(' << c.x << ", " << c.y << ", " << c.z << ')';
}
inline void PrintTo(const Point& p, std::ostream* os) {
  *os << '(' << p.x << ", " << p.y << ", " << p.z << ')';
}

}  // namespace tessmark

namespace tessmark::test {

using Placement = std::pair<Cell, Block>;
using Placements = std::vector<Placement>;

// Writes `block` into every cell of the box from `a` to `b`, both corners included.
inline void fill(World& world, Cell a, Cell b, Block block) {
  for (int z = a.z; z <= b.z; ++z)
    for (int y = a.y; y <= b.y; ++y)
      for (int x = a.x; x <= b.x; ++x) world.write_cell(x, y, z, id(block));
}

inline void place(World& world, const Placements& placements) {
  for (const auto& [cell, block] : placements) world.write_cell(cell.x, cell.y, cell.z, id(block));
}

// An air world with a level HardRock floor at height `floor_y` over the whole interior.
inline World floor_world(int floor_y) {
  World world;
  fill(world, {1, floor_y, 1}, {62, floor_y, 62}, Block::HardRock);
  return world;
}

// A HardRock world: a bot moves only where a test carves room.
inline World rock_world() {
  World world;
  world.reset_empty(id(Block::HardRock));
  return world;
}

}  // namespace tessmark::test
