#include <benchmark/benchmark.h>

#include "cave/generator.hpp"

namespace {

void BM_GenerateCaveMap(benchmark::State& state) {
  tessmark::World world;
  for (auto _ : state) {
    benchmark::DoNotOptimize(tessmark::generate_cave_map(world, true, 12, 424242));
  }
}
BENCHMARK(BM_GenerateCaveMap)->Unit(benchmark::kMillisecond);

}  // namespace
