#include <benchmark/benchmark.h>

#include <vector>

#include "world/grid.hpp"

namespace {

using tessmark::World;

void BM_LoadBlocksOneCellChanged(benchmark::State& state) {
  World world;
  std::vector<tessmark::BlockId> data(world.blocks);
  int flip = 0;
  for (auto _ : state) {
    data[tessmark::cell_index(30, 30, 30)] = static_cast<tessmark::BlockId>(++flip & 1);
    benchmark::DoNotOptimize(world.load_blocks(data));
  }
}
BENCHMARK(BM_LoadBlocksOneCellChanged);

// A whole new world over a collected one: every cell differs, every region
// ends up dirty (loading a generated world after play).
void BM_LoadBlocksEveryCellChanged(benchmark::State& state) {
  World world;
  std::vector<tessmark::BlockId> data(tessmark::kCellCount);
  for (int i = 0; i < tessmark::kCellCount; ++i) data[i] = static_cast<tessmark::BlockId>(1 + i % 5);
  for (auto _ : state) {
    state.PauseTiming();
    world.reset_empty(0);
    world.take_dirty_regions();
    state.ResumeTiming();
    benchmark::DoNotOptimize(world.load_blocks(data));
  }
}
BENCHMARK(BM_LoadBlocksEveryCellChanged)->Unit(benchmark::kMicrosecond);

void BM_SetBlock(benchmark::State& state) {
  World world;
  int v = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(world.set_block(20, 20, 20, static_cast<tessmark::BlockId>(++v & 3)));
  }
}
BENCHMARK(BM_SetBlock);

}  // namespace
