// Bot path and resource searches on a world with caves. Bots ask for paths
// and targets every few frames on the main thread, so each call must fit
// well inside a frame.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "world/bot_paths.hpp"
#include "world/catalogue.hpp"
#include "world/resources.hpp"

namespace {

using namespace tessmark;

// A fixed-seed cave world in the generator's spirit: Dirt with an open sky
// over rolling ground, wandering caves, ore tangles, precious veins and gems,
// HardRock blobs and capped lava.
class CaveWorldBuilder {
 public:
  World build() {
    World world;
    world.reset_empty(id(Block::Dirt));
    for (int z = 0; z < kGridSize; ++z)
      for (int x = 0; x < kGridSize; ++x) {
        const int ground = 53 + static_cast<int>(next(3)) + ((x / 8 + z / 8) % 2);
        for (int y = ground + 1; y < kGridSize; ++y) world.blocks[cell_index(x, y, z)] = 0;
      }
    for (int i = 0; i < 12; ++i) walk(world, 120, 1, Block::Ore);
    for (int i = 0; i < 16; ++i) walk(world, 21 + static_cast<int>(next(43)), 0, Block::PreciousLow);
    for (int i = 0; i < 16; ++i) paint(world, random_cell(), 0, Block::PreciousHigh);
    for (int i = 0; i < 20; ++i) walk(world, 8 + static_cast<int>(next(24)), 1, Block::Air, true);
    for (int i = 0; i < 40; ++i) walk(world, 60 + static_cast<int>(next(200)), 1, Block::Air, true);
    for (int i = 0; i < 90; ++i) {
      Cell c = random_cell();
      c.y = 1 + static_cast<int>(next(30));
      paint(world, c, 2, Block::HardRock);
    }
    for (int placed = 0, tries = 0; placed < 19 && tries < 100000; ++tries) {
      const Cell c = random_cell();
      if (c.y < 2 || c.y > 60 || world.at(cell_index(c)) != 0) continue;
      world.blocks[cell_index(c)] = id(Block::Lava);
      world.blocks[cell_index(c.x, c.y + 1, c.z)] = id(Block::HardRock);
      ++placed;
    }
    world.load_blocks(std::vector<BlockId>(world.blocks));  // restates the lava counter
    return world;
  }

 private:
  std::uint64_t next(std::uint64_t bound) {
    state_ += 0x9E3779B97F4A7C15ull;
    std::uint64_t z = state_;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return (z ^ (z >> 31)) % bound;
  }
  Cell random_cell() {
    return {1 + static_cast<int>(next(62)), 1 + static_cast<int>(next(54)),
            1 + static_cast<int>(next(62))};
  }
  static void paint(World& world, Cell c, int radius, Block block) {
    for (int dz = -radius; dz <= radius; ++dz)
      for (int dy = -radius; dy <= radius; ++dy)
        for (int dx = -radius; dx <= radius; ++dx) {
          const int x = c.x + dx, y = c.y + dy, z = c.z + dz;
          if (is_interior(x, y, z) && dx * dx + dy * dy + dz * dz <= radius * radius + 1) {
            world.blocks[cell_index(x, y, z)] = id(block);
          }
        }
  }
  void walk(World& world, int steps, int radius, Block block, bool drift_down = false) {
    Cell c = random_cell();
    if (drift_down) c.y = 20 + static_cast<int>(next(40));
    for (int s = 0; s < steps; ++s) {
      paint(world, c, radius, block);
      switch (next(drift_down ? 7 : 6)) {
        case 0: ++c.x; break;
        case 1: --c.x; break;
        case 2: ++c.z; break;
        case 3: --c.z; break;
        case 4: ++c.y; break;
        default: --c.y; break;
      }
      c.x = std::clamp(c.x, 1, 62);
      c.y = std::clamp(c.y, 1, 62);
      c.z = std::clamp(c.z, 1, 62);
    }
  }

  std::uint64_t state_ = 424242;
};

const World& cave_world() {
  static const World world = CaveWorldBuilder{}.build();
  return world;
}

struct BudgetSearch {
  Point origin, destination;
  bool ok = false;
};

// A start and a goal the search does not reach within its budget, where the
// budget, not the size of the cave, ends the search: a goal exists that is
// found with the full budget but not with 90% of it.
BudgetSearch budget_exhausting_search(const World& world, bool mining) {
  std::vector<Cell> standing;
  for (int z = 2; z <= 61; ++z)
    for (int y = 1; y <= 61; ++y)
      for (int x = 2; x <= 61; ++x)
        if (bot_surface_is_valid(world, {x, y, z}, 1)) standing.push_back({x, y, z});
  const std::size_t stride = standing.size() / 97 + 1;
  for (std::size_t s = 0; s < standing.size(); s += stride) {
    const Point origin = bot_reference_point(standing[s]);
    bool budget_bites = false;
    const Point* unreachable = nullptr;
    Point far{};
    for (std::size_t g = s % 89; g < standing.size() && !(budget_bites && unreachable); g += 89) {
      const Point goal = bot_reference_point(standing[g]);
      if (find_bot_path(world, origin, goal, 1, kBotPathMaxNodes, mining).empty()) {
        far = goal;
        unreachable = &far;
      } else if (find_bot_path(world, origin, goal, 1, kBotPathMaxNodes * 9 / 10, mining).empty()) {
        budget_bites = true;
      }
    }
    if (budget_bites && unreachable) return {origin, far, true};
  }
  return {};
}

void run_path_search(benchmark::State& state, bool mining) {
  const World& world = cave_world();
  const BudgetSearch search = budget_exhausting_search(world, mining);
  if (!search.ok) {
    state.SkipWithError("no budget-exhausting search in this world");
    return;
  }
  for (auto _ : state) {
    auto path = find_bot_path(world, search.origin, search.destination, 1, kBotPathMaxNodes, mining);
    benchmark::DoNotOptimize(path);
  }
}

void BM_BotSurfacePathBudgetExhausted(benchmark::State& state) { run_path_search(state, false); }
BENCHMARK(BM_BotSurfacePathBudgetExhausted)->Unit(benchmark::kMicrosecond);

void BM_BotMiningPathBudgetExhausted(benchmark::State& state) { run_path_search(state, true); }
BENCHMARK(BM_BotMiningPathBudgetExhausted)->Unit(benchmark::kMicrosecond);

void run_resource_search(benchmark::State& state, bool search_ore, std::size_t limit) {
  const World& world = cave_world();
  const Point origin{31.5f, 40.95f, 31.5f};
  const std::vector<Point> avoid{{10.5f, 30.0f, 10.5f}, {50.5f, 20.0f, 45.5f}, {31.5f, 55.0f, 5.5f}};
  std::size_t found = 0;
  for (auto _ : state) {
    auto targets = find_accessible_resources(world, origin, avoid, 3.0f, 16.0f, search_ore, limit);
    found = targets.size();
    benchmark::DoNotOptimize(targets);
  }
  state.counters["targets"] = static_cast<double>(found);
}

void BM_OreResourceSearch(benchmark::State& state) { run_resource_search(state, true, 1); }
BENCHMARK(BM_OreResourceSearch)->Unit(benchmark::kMicrosecond);

void BM_PreciousResourceSearch(benchmark::State& state) { run_resource_search(state, false, 1); }
BENCHMARK(BM_PreciousResourceSearch)->Unit(benchmark::kMicrosecond);

void BM_PreciousResourcesList(benchmark::State& state) { run_resource_search(state, false, 32); }
BENCHMARK(BM_PreciousResourcesList)->Unit(benchmark::kMicrosecond);

}  // namespace
