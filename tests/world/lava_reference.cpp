#include "world/lava_reference.hpp"

#include <vector>

namespace tessmark::testing {
namespace {

// Ids written out on purpose: this version must not share the catalogue's
// answers with the code it checks.
constexpr BlockId kAir = 0;
constexpr BlockId kFuel = 9;
constexpr BlockId kPlug = 14;
constexpr BlockId kLava = 19;

bool interior(int x, int y, int z) {
  return x >= 1 && x <= 62 && y >= 1 && y <= 62 && z >= 1 && z <= 62;
}

struct Step {
  World& world;
  std::vector<std::uint8_t> fresh_lava = std::vector<std::uint8_t>(262144, 0);

  BlockId& block(int x, int y, int z) {
    return world.blocks[static_cast<std::size_t>(x + 64 * y + 4096 * z)];
  }

  // Spelled out rather than through write_cell, so the check also covers
  // the claim that entering lava is the same as the cell-write rule.
  void enter(int x, int y, int z) {
    block(x, y, z) = kLava;
    ++world.lava_count;
    fresh_lava[static_cast<std::size_t>(x + 64 * y + 4096 * z)] = 1;
    world.mark_cell_and_neighbors_dirty(x, y, z);
  }

  void enter_if(int x, int y, int z, BlockId holding) {
    if (interior(x, y, z) && block(x, y, z) == holding) enter(x, y, z);
  }

  void visit_virus(int x, int y, int z) {
    enter_if(x - 1, y, z, kAir);
    enter_if(x + 1, y, z, kAir);
    enter_if(x, y - 1, z, kAir);
    enter_if(x, y + 1, z, kAir);
    enter_if(x, y, z - 1, kAir);
    enter_if(x, y, z + 1, kAir);
  }

  void visit_normal(int x, int y, int z) {
    if (world.lava_ignites_fuel) {
      enter_if(x - 1, y, z, kFuel);
      enter_if(x, y, z - 1, kFuel);
      enter_if(x + 1, y, z, kFuel);
      enter_if(x, y, z + 1, kFuel);
      enter_if(x, y + 1, z, kFuel);
    }
    if (world.plug_converts_lava && interior(x, y, z) && interior(x, y + 1, z) &&
        block(x, y + 1, z) == kPlug) {
      world.write_cell(x, y, z, kPlug);
    }
    if (y == 0) return;
    if (!interior(x, y - 1, z)) return;
    const BlockId below = block(x, y - 1, z);
    if (below == kAir) {
      enter(x, y - 1, z);
      return;
    }
    if (below != kLava || world.lava_spreads_on_lava) {
      enter_if(x - 1, y, z, kAir);
      enter_if(x, y, z - 1, kAir);
      enter_if(x + 1, y, z, kAir);
      enter_if(x, y, z + 1, kAir);
    }
  }

  void run() {
    const bool virus = world.tessmark_virus;
    for (int x = 0; x < 64; ++x) {
      for (int y = 0; y < 64; ++y) {
        for (int z = 0; z < 64; ++z) {
          if (block(x, y, z) != kLava) continue;
          if (fresh_lava[static_cast<std::size_t>(x + 64 * y + 4096 * z)] != 0) continue;
          if (virus) {
            visit_virus(x, y, z);
          } else {
            visit_normal(x, y, z);
          }
        }
      }
    }
  }
};

}  // namespace

void do_lava_stuff_by_visiting_every_cell(World& world) { Step{world}.run(); }

}  // namespace tessmark::testing
