#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "world/catalogue.hpp"
#include "world/grid.hpp"
#include "world/meshing.hpp"

namespace {

using tessmark::BlockId;
using tessmark::World;

// A busy world: layered rock and ore, carved by caves, with lava pools and a
// scattering of building blocks, gates and plugs. Fixed seed.
World busy_world() {
  std::uint64_t s = 0x9E3779B97F4A7C15ull;
  const auto next = [&s](int n) {
    s ^= s << 13;
    s ^= s >> 7;
    s ^= s << 17;
    return static_cast<int>((s >> 16) % static_cast<std::uint64_t>(n));
  };
  std::vector<BlockId> cells(tessmark::kCellCount);
  const BlockId layers[] = {1, 1, 1, 1, 2, 5, 5, 1, 3, 18};
  for (int z = 0; z < 64; ++z)
    for (int y = 0; y < 64; ++y)
      for (int x = 0; x < 64; ++x) {
        BlockId b = layers[((x / 4) * 7 + (y / 3) * 3 + (z / 5) * 5) % 10];
        if (next(12) == 0) b = layers[next(10)];
        if (!tessmark::is_interior(x, y, z)) b = tessmark::id(tessmark::Block::Bedrock);
        cells[static_cast<std::size_t>(tessmark::cell_index(x, y, z))] = b;
      }
  const auto ball = [&](int cx, int cy, int cz, int r, BlockId b) {
    for (int z = cz - r; z <= cz + r; ++z)
      for (int y = cy - r; y <= cy + r; ++y)
        for (int x = cx - r; x <= cx + r; ++x)
          if (tessmark::is_interior(x, y, z) &&
              (x - cx) * (x - cx) + (y - cy) * (y - cy) + (z - cz) * (z - cz) <= r * r)
            cells[static_cast<std::size_t>(tessmark::cell_index(x, y, z))] = b;
  };
  for (int i = 0; i < 120; ++i) ball(next(64), next(64), next(64), 2 + next(5), 0);
  for (int i = 0; i < 10; ++i) ball(next(64), next(64), next(64), 1 + next(3), 19);
  const BlockId scattered[] = {6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 20, 21};
  for (int i = 0; i < 2000; ++i)
    cells[static_cast<std::size_t>(tessmark::cell_index(1 + next(62), 1 + next(62), 1 + next(62)))] =
        scattered[next(13)];
  World w;
  w.load_blocks(cells);
  return w;
}

const World& bench_world() {
  static const World world = busy_world();
  return world;
}

template <class Build>
void mesh_all_regions(benchmark::State& state, Build build) {
  const World& world = bench_world();
  std::int64_t quads = 0;
  for (auto _ : state) {
    quads = 0;
    for (int r = 0; r < tessmark::kRegionCount; ++r) {
      const tessmark::DebugMeshData mesh = build(world, r);
      quads += static_cast<std::int64_t>(mesh.vertices.size() / 4);
      benchmark::DoNotOptimize(mesh.vertices.data());
    }
  }
  state.counters["quads"] = static_cast<double>(quads);
}

void BM_RenderMeshesAllRegions(benchmark::State& state) {
  mesh_all_regions(state, [](const World& w, int r) { return tessmark::build_region_debug_mesh(w, r); });
}
BENCHMARK(BM_RenderMeshesAllRegions)->Unit(benchmark::kMillisecond);

void BM_CollisionMeshesAllRegions(benchmark::State& state) {
  mesh_all_regions(state,
                   [](const World& w, int r) { return tessmark::build_region_collision_mesh(w, r, 1); });
}
BENCHMARK(BM_CollisionMeshesAllRegions)->Unit(benchmark::kMillisecond);

}  // namespace
