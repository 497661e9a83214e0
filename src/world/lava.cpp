#include "world/lava.hpp"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <vector>

#include "world/catalogue.hpp"
#include "world/row_scan.hpp"

namespace tessmark {
namespace {

// Why the step needs no walk over all cells: a cell changes only when lava
// enters it (it held air or fuel) or when it acts itself (a plug turns it
// into a plug). So a cell holding lava at the start of the step still holds
// it, unmarked, at its visit, and acts; a cell that gains lava during the
// step is marked as new and never acts. The acting cells are therefore
// exactly the lava cells found at the start, and visiting those alone, in
// the visiting order and against the live grid, changes the world exactly as
// the visit of every cell does: all other visits do nothing.

struct Offset {
  int dx, dy, dz;
};

// Fuel beside and above lava catches fire; fuel below never does.
constexpr std::array<Offset, 5> kIgnitionOrder = {
    {{-1, 0, 0}, {0, 0, -1}, {1, 0, 0}, {0, 0, 1}, {0, 1, 0}}};
constexpr std::array<Offset, 4> kSpreadOrder = {{{-1, 0, 0}, {0, 0, -1}, {1, 0, 0}, {0, 0, 1}}};
constexpr std::array<Offset, 6> kVirusOrder = {
    {{-1, 0, 0}, {1, 0, 0}, {0, -1, 0}, {0, 1, 0}, {0, 0, -1}, {0, 0, 1}}};

constexpr BlockId kLava = id(Block::Lava);

// Lava enters every interior neighbour in `order` whose block `accepts` says so.
template <std::size_t N, typename Accepts>
void enter_neighbours(World& world, Cell c, const std::array<Offset, N>& order, Accepts accepts) {
  for (const Offset& o : order) {
    const int x = c.x + o.dx, y = c.y + o.dy, z = c.z + o.dz;
    if (is_interior(x, y, z) && accepts(world.at(x, y, z))) world.write_cell(x, y, z, kLava);
  }
}

void act_in_virus_mode(World& world, Cell c) {
  enter_neighbours(world, c, kVirusOrder, lava_can_enter);
}

void act_in_normal_mode(World& world, Cell c) {
  if (world.lava_ignites_fuel) enter_neighbours(world, c, kIgnitionOrder, lava_ignites);

  if (world.plug_converts_lava && is_interior(c) && is_interior(c.x, c.y + 1, c.z) &&
      converts_lava_below(world.at(c.x, c.y + 1, c.z))) {
    world.write_cell(c.x, c.y, c.z, id(Block::LavaPlug));
  }

  // The flow still happens from a cell that has just become a plug.
  const Cell below{c.x, c.y - 1, c.z};
  if (!is_interior(below)) return;
  const BlockId ground = world.at(below.x, below.y, below.z);
  if (lava_can_enter(ground)) {
    world.write_cell(below.x, below.y, below.z, kLava);
  } else if (is_lava_ground(ground) || world.lava_spreads_on_lava) {
    enter_neighbours(world, c, kSpreadOrder, lava_can_enter);
  }
}

// Indices of every lava cell, ordered x outermost, then y, then z. The grid
// is laid out with x fastest, so the rows are scanned in memory order and
// the hits re-sorted with two stable counting passes (by y, then by x).
std::vector<std::int32_t> lava_cells_in_visiting_order(const World& world) {
  std::vector<std::int32_t> found;
  found.reserve(static_cast<std::size_t>(
      std::min<std::uint64_t>(world.lava_count, static_cast<std::uint64_t>(kCellCount))));
  std::array<std::int32_t, kGridSize> per_x{}, per_y{};
  const BlockId* rows = world.blocks.data();
  for (int row = 0; row < kGridSize * kGridSize; ++row) {  // row = y + 64 z
    std::uint64_t mask = row_mask_of(rows + kGridSize * row, kLava);
    if (mask == 0) continue;
    const int y = row % kGridSize;
    while (mask != 0) {
      const int x = std::countr_zero(mask);
      mask &= mask - 1;
      found.push_back(row * kGridSize + x);
      ++per_x[static_cast<std::size_t>(x)];
      ++per_y[static_cast<std::size_t>(y)];
    }
  }

  // Turn the counts into start positions.
  auto starts_from_counts = [](std::array<std::int32_t, kGridSize>& counts) {
    std::int32_t next = 0;
    for (std::int32_t& n : counts) {
      const std::int32_t count = n;
      n = next;
      next += count;
    }
  };
  starts_from_counts(per_x);
  starts_from_counts(per_y);

  // Found in (z, y, x) order; stable by y gives (y, z, x), then stable by x
  // gives (x, y, z).
  std::vector<std::int32_t> by_y(found.size());
  for (const std::int32_t index : found) {
    const auto y = static_cast<std::size_t>(cell_at_index(index).y);
    by_y[static_cast<std::size_t>(per_y[y]++)] = index;
  }
  for (const std::int32_t index : by_y) {
    const auto x = static_cast<std::size_t>(cell_at_index(index).x);
    found[static_cast<std::size_t>(per_x[x]++)] = index;
  }
  return found;
}

}  // namespace

void do_lava_stuff(World& world) {
  const bool virus = world.tessmark_virus;
  for (const std::int32_t index : lava_cells_in_visiting_order(world)) {
    const Cell c = cell_at_index(index);
    if (virus) {
      act_in_virus_mode(world, c);
    } else {
      act_in_normal_mode(world, c);
    }
  }
}

}  // namespace tessmark
