// Bot path and resource searches on a world with caves. Bots ask for paths
// and targets every few frames on the main thread, so each call must fit
// well inside a frame.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "cave/generator.hpp"
#include "world/bot_paths.hpp"
#include "world/catalogue.hpp"
#include "world/resources.hpp"

namespace {

using namespace tessmark;

// The generated world the game starts with, with ore_factor 12.
const World& cave_world() {
  static const World world = [] {
    World w;
    generate_cave_map(w, true, 12, 424242);
    return w;
  }();
  return world;
}

void fill(World& world, Cell a, Cell b, Block block) {
  for (int z = a.z; z <= b.z; ++z)
    for (int y = a.y; y <= b.y; ++y)
      for (int x = a.x; x <= b.x; ++x) world.write_cell(x, y, z, id(block));
}

// A standing place sealed in HardRock near a corner of the world: a goal no
// search reaches, so the search runs until its budget or its cave runs out.
constexpr Cell kSealedGoal{3, 3, 3};
void seal_goal(World& world) {
  fill(world, {2, 2, 2}, {4, 6, 4}, Block::HardRock);
  fill(world, {3, 4, 3}, {3, 5, 3}, Block::Air);
}

// Generated caves hold a few thousand standing places per cave at most, so a
// walking search there ends when its cave is used up. Player-built levels are
// what fill a walking bot's budget: floors every three cells, joined either
// by staircases or by ladders.
World levels(bool ladders) {
  World world;
  for (int y = 3; y <= 60; y += 3) fill(world, {2, y, 2}, {61, y, 61}, Block::HardRock);
  for (int y = 3; y + 3 <= 60; y += 3) {
    for (int x0 : {10, 40}) {
      if (ladders) {
        fill(world, {x0, y + 1, 30}, {x0, y + 3, 30}, Block::Air);
        fill(world, {x0 - 1, y + 1, 30}, {x0 - 1, y + 3, 30}, Block::Ladder);
      } else {
        world.write_cell(x0, y + 1, 30, id(Block::HardRock));
        world.write_cell(x0 + 1, y + 2, 30, id(Block::HardRock));
        fill(world, {x0, y + 3, 30}, {x0 + 1, y + 3, 30}, Block::Air);
      }
    }
  }
  seal_goal(world);
  return world;
}

void run_path_search(benchmark::State& state, const World& world, Cell start, bool mining) {
  const Point origin = bot_reference_point(start);
  const Point destination = bot_reference_point(kSealedGoal);
  if (!bot_surface_is_valid(world, start, 1) || !bot_surface_is_valid(world, kSealedGoal, 1)) {
    state.SkipWithError("start or goal is not a standing place");
    return;
  }
  for (auto _ : state) {
    auto path = find_bot_path(world, origin, destination, 1, kBotPathMaxNodes, mining);
    benchmark::DoNotOptimize(path);
  }
}

// Digging through the generated world until the budget runs out.
void BM_BotMiningPathBudgetExhausted(benchmark::State& state) {
  static const World world = [] {
    World w = cave_world();
    seal_goal(w);
    return w;
  }();
  run_path_search(state, world, {44, 57, 38}, true);
}
BENCHMARK(BM_BotMiningPathBudgetExhausted)->Unit(benchmark::kMicrosecond);

// Walking over the largest surface cave of the generated world, to its end.
void BM_BotSurfacePathWholeCave(benchmark::State& state) {
  static const World world = [] {
    World w = cave_world();
    seal_goal(w);
    return w;
  }();
  run_path_search(state, world, {2, 54, 2}, false);
}
BENCHMARK(BM_BotSurfacePathWholeCave)->Unit(benchmark::kMicrosecond);

void BM_BotSurfacePathBudgetExhaustedStairs(benchmark::State& state) {
  static const World world = levels(false);
  run_path_search(state, world, {30, 3, 40}, false);
}
BENCHMARK(BM_BotSurfacePathBudgetExhaustedStairs)->Unit(benchmark::kMicrosecond);

void BM_BotSurfacePathBudgetExhaustedLadders(benchmark::State& state) {
  static const World world = levels(true);
  run_path_search(state, world, {30, 3, 40}, false);
}
BENCHMARK(BM_BotSurfacePathBudgetExhaustedLadders)->Unit(benchmark::kMicrosecond);

void run_resource_search(benchmark::State& state, bool search_ore, std::size_t limit) {
  const World& world = cave_world();
  const Point origin{31.5f, 40.95f, 31.5f};
  const std::vector<Point> avoid{
      {10.5f, 30.0f, 10.5f}, {50.5f, 20.0f, 45.5f}, {31.5f, 55.0f, 5.5f}};
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
