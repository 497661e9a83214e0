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

void BM_SetBlock(benchmark::State& state) {
  World world;
  int v = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(world.set_block(20, 20, 20, static_cast<tessmark::BlockId>(++v & 3)));
  }
}
BENCHMARK(BM_SetBlock);

}  // namespace
