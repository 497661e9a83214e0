#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <ctime>
#include <random>
#include <vector>

#include "world/catalogue.hpp"
#include "world/grid.hpp"
#include "world/lava.hpp"

namespace {

using tessmark::Block;
using tessmark::BlockId;
using tessmark::id;
using tessmark::World;

// A dirt world hollowed into caves (random boxes), with lava poured into the
// bottoms of the caves until about `lava_cells` cells hold it, and stepped
// until nothing moves: lava lakes at rest, which the game steps every few
// frames all the same.
World settled_lava_caves(std::uint64_t lava_cells) {
  std::mt19937 rng(64);
  auto roll = [&rng](int lo, int hi) {
    return lo + static_cast<int>(rng() % static_cast<unsigned>(hi - lo + 1));
  };
  std::vector<BlockId> grid(tessmark::kCellCount, id(Block::Dirt));
  auto at = [&grid](int x, int y, int z) -> BlockId& {
    return grid[static_cast<std::size_t>(tessmark::cell_index(x, y, z))];
  };
  struct Cave {
    int x0, y0, z0, x1, y1, z1;
  };
  std::vector<Cave> caves;
  for (int i = 0; i < 400; ++i) {
    const int x0 = roll(1, 50), y0 = roll(1, 54), z0 = roll(1, 50);
    caves.push_back({x0, y0, z0, std::min(62, x0 + roll(4, 14)), std::min(62, y0 + roll(3, 8)),
                     std::min(62, z0 + roll(4, 14))});
  }
  for (const Cave& c : caves)
    for (int z = c.z0; z <= c.z1; ++z)
      for (int y = c.y0; y <= c.y1; ++y)
        for (int x = c.x0; x <= c.x1; ++x) at(x, y, z) = id(Block::Air);
  // Fill the caves from the bottom layer up, one layer at a time.
  std::uint64_t poured = 0;
  for (int y = 1; y <= 62 && poured < lava_cells; ++y)
    for (int z = 1; z <= 62 && poured < lava_cells; ++z)
      for (int x = 1; x <= 62 && poured < lava_cells; ++x)
        if (at(x, y, z) == id(Block::Air)) {
          at(x, y, z) = id(Block::Lava);
          ++poured;
        }
  World world;
  world.load_blocks(grid);
  for (int i = 0; i < 200; ++i) {
    const std::uint64_t before = world.lava_count;
    tessmark::do_lava_stuff(world);
    if (world.lava_count == before) break;
  }
  return world;
}

// Lava lakes at rest: the step still visits every lava cell.
void BM_LavaStepSettled(benchmark::State& state) {
  World world = settled_lava_caves(static_cast<std::uint64_t>(state.range(0)));
  for (auto _ : state) {
    tessmark::do_lava_stuff(world);
    benchmark::DoNotOptimize(world.lava_count);
  }
  state.counters["lava_cells"] = static_cast<double>(world.lava_count);
}
BENCHMARK(BM_LavaStepSettled)->Arg(1000)->Arg(100000)->Unit(benchmark::kMicrosecond);

// Lava raining into a large open cavern with ledges of dirt: every lava cell
// falls or spreads, so the step writes about as many cells as there is lava.
World cavern_with_falling_lava(std::uint64_t lava_cells) {
  std::mt19937 rng(7);
  auto roll = [&rng](int lo, int hi) {
    return lo + static_cast<int>(rng() % static_cast<unsigned>(hi - lo + 1));
  };
  World world;
  world.reset_empty(id(Block::Dirt));
  for (int z = 1; z <= 62; ++z)
    for (int y = 2; y <= 62; ++y)
      for (int x = 1; x <= 62; ++x) world.set_block(x, y, z, id(Block::Air));
  for (int ledge = 0; ledge < 60; ++ledge) {
    const int y = roll(2, 60), x0 = roll(1, 50), z0 = roll(1, 50), size = roll(4, 12);
    for (int z = z0; z < z0 + size; ++z)
      for (int x = x0; x < x0 + size; ++x) world.set_block(x, y, z, id(Block::Dirt));
  }
  while (world.lava_count < lava_cells) {
    const int x = roll(1, 62), y = roll(2, 62), z = roll(1, 62);
    if (world.at(x, y, z) == id(Block::Air)) world.set_block(x, y, z, id(Block::Lava));
  }
  return world;
}

// Each timed step runs on a fresh copy of the same world (copied outside the
// timing), so every step writes as much as the first. The time taken is the
// thread's CPU time: the build machine is shared, and wall time would also
// count the time other processes hold the core.
double thread_seconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + 1e-9 * static_cast<double>(now.tv_nsec);
}

void time_one_step_on_copies(benchmark::State& state, const World& start) {
  for (auto _ : state) {
    World world = start;
    const double begin = thread_seconds();
    tessmark::do_lava_stuff(world);
    const double end = thread_seconds();
    benchmark::DoNotOptimize(world.lava_count);
    state.SetIterationTime(end - begin);
  }
  state.counters["lava_cells"] = static_cast<double>(start.lava_count);
}

void BM_LavaStepFlowing(benchmark::State& state) {
  World start = cavern_with_falling_lava(static_cast<std::uint64_t>(state.range(0)));
  time_one_step_on_copies(state, start);
}
BENCHMARK(BM_LavaStepFlowing)
    ->Arg(1000)
    ->Arg(100000)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);

// Virus lava growing through open caves.
void BM_LavaStepVirus(benchmark::State& state) {
  World start = settled_lava_caves(static_cast<std::uint64_t>(state.range(0)));
  start.tessmark_virus = true;
  time_one_step_on_copies(state, start);
}
BENCHMARK(BM_LavaStepVirus)->Arg(1000)->UseManualTime()->Unit(benchmark::kMicrosecond);

}  // namespace
