#include <benchmark/benchmark.h>

#include "world/catalogue.hpp"
#include "world/detonation.hpp"
#include "world/radar.hpp"
#include "world/tools.hpp"

namespace {

using namespace tessmark;

// A chain reaction through a solid 30^3 block of explosives in a dirt world.
void BM_DetonationChain30Cubed(benchmark::State& state) {
  const int radius = static_cast<int>(state.range(0));
  World primed;
  primed.reset_empty(id(Block::Dirt));
  for (int z = 17; z < 47; ++z)
    for (int y = 17; y < 47; ++y)
      for (int x = 17; x < 47; ++x) primed.set_block(x, y, z, id(Block::Explosive));
  std::size_t cleared = 0;
  for (auto _ : state) {
    state.PauseTiming();
    World world = primed;
    state.ResumeTiming();
    cleared = detonate_at_cells(world, 32, 32, 32, radius).size();
    benchmark::DoNotOptimize(cleared);
  }
  state.counters["cleared"] = static_cast<double>(cleared);
}
BENCHMARK(BM_DetonationChain30Cubed)->Arg(1)->Arg(2)->Arg(8)->Arg(200)->Unit(benchmark::kMicrosecond);

// A full radar scan, fan included, in a world with a few precious blocks.
void BM_RadarScan(benchmark::State& state) {
  World world;
  world.reset_empty(id(Block::Dirt));
  world.set_block(28, 31, 10, id(Block::PreciousLow));
  world.set_block(33, 30, 14, id(Block::PreciousHigh));
  const Vec3 origin{32.5f, 32.5f, 40.5f};
  for (auto _ : state) {
    const auto fan = radar_fan({0.1f, -0.05f, -1.0f});
    benchmark::DoNotOptimize(scan_prospecting_radar(world, origin, fan, kRadarMaxDistance, kRadarStep));
  }
}
BENCHMARK(BM_RadarScan)->Unit(benchmark::kMicrosecond);

// Mining a dirt block half a cell away. Timing pauses cost more than a tool
// use, so the block is put back inside the timed loop: the figure includes
// one set_block.
void BM_PickaxeUse(benchmark::State& state) {
  World world;
  for (auto _ : state) {
    world.set_block(31, 32, 32, id(Block::Dirt));
    benchmark::DoNotOptimize(use_pickaxe(world, {32.5f, 32.7f, 32.4f}, {-1.0f, -0.2f, 0.1f}, false, 0, 100, 0, 10));
  }
}
BENCHMARK(BM_PickaxeUse);

// Placing a ladder against a block five cells away; the ladder is removed
// again inside the timed loop (one set_block).
void BM_ConstructionGunUse(benchmark::State& state) {
  World world;
  world.set_block(27, 32, 32, id(Block::Dirt));
  for (auto _ : state) {
    benchmark::DoNotOptimize(use_construction_gun(world, {32.5f, 32.7f, 32.4f}, {-1.0f, -0.05f, 0.02f},
                                                  id(Block::Ladder), 1, 100, 100, false));
    world.set_block(28, 32, 32, id(Block::Air));
  }
}
BENCHMARK(BM_ConstructionGunUse);

}  // namespace
