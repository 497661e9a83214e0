// Turning finished meshes into the engine dictionaries scripts receive: the
// main thread's share of every region mesh. Runs the binding layer against
// the stand-in engine, without loading the library.

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "cave/generator.hpp"
#include "engine/engine_host.hpp"
#include "engine/interface_functions.hpp"
#include "godot/engine.hpp"
#include "tessmark_world.hpp"
#include "world/meshing.hpp"

namespace {

using tessmark::DebugMeshData;

std::vector<DebugMeshData> meshes_of_generated_world(bool render) {
  tessmark::World world;
  tessmark::generate_cave_map(world, true, 12, 424242);
  std::vector<DebugMeshData> meshes;
  for (int r = 0; r < tessmark::kRegionCount; ++r)
    meshes.push_back(render ? tessmark::build_region_debug_mesh(world, r)
                            : tessmark::build_region_collision_mesh(world, r, 1));
  return meshes;
}

void convert_all(benchmark::State& state, bool render) {
  tessmark::host::EngineHost engine;
  std::string missing;
  if (!tessmark::godot::bind_engine(&tessmark::host::get_proc_address, engine.library_token(),
                                    missing)) {
    state.SkipWithError(("engine lacks " + missing).c_str());
    return;
  }
  const std::vector<DebugMeshData> meshes = meshes_of_generated_world(render);
  for (auto _ : state) {
    for (const DebugMeshData& mesh : meshes) {
      const tessmark::godot::Dictionary dictionary = tessmark::TessmarkWorld::mesh_to_dictionary(mesh);
      benchmark::DoNotOptimize(dictionary.raw());
    }
  }
}

void BM_MeshToDictionaryRenderAllRegions(benchmark::State& state) { convert_all(state, true); }
BENCHMARK(BM_MeshToDictionaryRenderAllRegions)->Unit(benchmark::kMillisecond);

void BM_MeshToDictionaryCollisionAllRegions(benchmark::State& state) { convert_all(state, false); }
BENCHMARK(BM_MeshToDictionaryCollisionAllRegions)->Unit(benchmark::kMillisecond);

}  // namespace
