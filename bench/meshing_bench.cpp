#include <benchmark/benchmark.h>

#include <cstdint>

#include "cave/generator.hpp"
#include "world/grid.hpp"
#include "world/meshing.hpp"

namespace {

using tessmark::World;

// A busy generated world: caves, tunnels, ore, rock and lava.
const World& bench_world() {
  static const World world = [] {
    World w;
    tessmark::generate_cave_map(w, true, 12, 424242);
    return w;
  }();
  return world;
}

// One record reused region after region, as the game's main thread does.
template <class Build>
void mesh_all_regions(benchmark::State& state, Build build) {
  const World& world = bench_world();
  tessmark::DebugMeshData mesh;
  std::int64_t quads = 0;
  for (auto _ : state) {
    quads = 0;
    for (int r = 0; r < tessmark::kRegionCount; ++r) {
      build(world, r, mesh);
      quads += static_cast<std::int64_t>(mesh.vertices.size() / 4);
      benchmark::DoNotOptimize(mesh.vertices.data());
    }
  }
  state.counters["quads"] = static_cast<double>(quads);
}

void BM_RenderMeshesAllRegions(benchmark::State& state) {
  mesh_all_regions(state, [](const World& w, int r, tessmark::DebugMeshData& mesh) {
    tessmark::build_region_debug_mesh(w, r, mesh);
  });
}
BENCHMARK(BM_RenderMeshesAllRegions)->Unit(benchmark::kMillisecond);

void BM_CollisionMeshesAllRegions(benchmark::State& state) {
  mesh_all_regions(state, [](const World& w, int r, tessmark::DebugMeshData& mesh) {
    tessmark::build_region_collision_mesh(w, r, 1, mesh);
  });
}
BENCHMARK(BM_CollisionMeshesAllRegions)->Unit(benchmark::kMillisecond);

// A fresh record per region, as a background job builds them: includes
// allocating and freeing the arrays.
void BM_RenderMeshesAllRegionsFreshRecords(benchmark::State& state) {
  const World& world = bench_world();
  for (auto _ : state) {
    for (int r = 0; r < tessmark::kRegionCount; ++r) {
      const tessmark::DebugMeshData mesh = tessmark::build_region_debug_mesh(world, r);
      benchmark::DoNotOptimize(mesh.vertices.data());
    }
  }
}
BENCHMARK(BM_RenderMeshesAllRegionsFreshRecords)->Unit(benchmark::kMillisecond);

}  // namespace
