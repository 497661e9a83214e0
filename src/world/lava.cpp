#include "world/lava.hpp"

#include <array>
#include <bit>
#include <cstdint>
#include <memory>

#include "world/block_masks.hpp"
#include "world/catalogue.hpp"

namespace tessmark {
namespace {

// Why the step need not visit every cell: a cell acts when, at its visit, it
// holds lava that did not appear earlier in the same step. A cell changes
// only when lava enters it (from air or fuel) or when it acts itself (and a
// plug turns it into a plug), so lava present at the start of the step is
// still there, untouched, when its turn comes, and lava that appears during
// the step never acts. The acting cells are exactly the lava cells at the
// start; visiting those alone, in the visiting order and against the live
// grid, has the same effect as visiting every cell, since the other visits
// do nothing.

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

// Where lava sits at the start of the step, one bit square per layer y:
// bit z of lava_at[y][x] is set when (x, y, z) holds lava. The grid is read
// in memory order, a row along x at a time, and each layer holding lava is
// then transposed, so walking x, then y, then the set bits of z gives the
// visiting order directly, at a cost of a few operations per row.
struct LavaAtStart {
  std::array<BitSquare, kGridSize> lava_at;  // [y][x], bits z

  explicit LavaAtStart(const World& world) {
    std::uint64_t layers_with_lava = 0;  // bit y
    for (int z = 0; z < kGridSize; ++z) {
      for (int y = 0; y < kGridSize; ++y) {
        const std::uint64_t xs = row_mask_of(world.blocks.data() + cell_index(0, y, z), kLava);
        lava_at[static_cast<std::size_t>(y)][static_cast<std::size_t>(z)] = xs;  // until transposed
        layers_with_lava |= std::uint64_t{xs != 0} << y;
      }
    }
    for (int y = 0; y < kGridSize; ++y)
      if ((layers_with_lava >> y) & 1) transpose(lava_at[static_cast<std::size_t>(y)]);
  }
};

}  // namespace

void do_lava_stuff(World& world) {
  const bool virus = world.tessmark_virus;
  const auto start = std::make_unique<LavaAtStart>(world);
  for (int x = 0; x < kGridSize; ++x) {
    for (int y = 0; y < kGridSize; ++y) {
      std::uint64_t zs = start->lava_at[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)];
      while (zs != 0) {
        const Cell c{x, y, std::countr_zero(zs)};
        zs &= zs - 1;
        if (virus) {
          act_in_virus_mode(world, c);
        } else {
          act_in_normal_mode(world, c);
        }
      }
    }
  }
}

}  // namespace tessmark
