// The region mesh methods: meshes built at once from the live world, and
// background jobs that build them from a copy and are collected later.

#include <span>
#include <system_error>
#include <type_traits>

#include "godot/method_failure.hpp"
#include "mesh_jobs.hpp"
#include "tessmark_world.hpp"
#include "world/meshing.hpp"

namespace tessmark {
namespace {

// The mesh element types have the engine's layouts, so each array goes into
// its packed array as one block copy.
template <class EngineType, class MeshType>
std::span<const EngineType> as_engine(const MeshArray<MeshType>& items) {
  static_assert(sizeof(EngineType) == sizeof(MeshType) && alignof(EngineType) == alignof(MeshType));
  static_assert(std::is_trivially_copyable_v<EngineType> && std::is_trivially_copyable_v<MeshType>);
  return {reinterpret_cast<const EngineType*>(items.data()), items.size()};
}

}  // namespace

godot::Dictionary TessmarkWorld::mesh_to_dictionary(const DebugMeshData& mesh) {
  godot::Dictionary out;
  out.set("vertices", godot::PackedVector3Array::from(as_engine<godot::Vector3>(mesh.vertices)));
  out.set("normals", godot::PackedVector3Array::from(as_engine<godot::Vector3>(mesh.normals)));
  out.set("uvs", godot::PackedVector2Array::from(as_engine<godot::Vector2>(mesh.uvs)));
  out.set("colors", godot::PackedColorArray::from(as_engine<godot::Color>(mesh.colors)));
  out.set("shade_colors",
          godot::PackedColorArray::from(as_engine<godot::Color>(mesh.shade_colors)));
  out.set("texture_ids", godot::PackedInt32Array::from(mesh.texture_ids));
  out.set("indices", godot::PackedInt32Array::from(mesh.indices));
  return out;
}

godot::Dictionary TessmarkWorld::build_region_debug_mesh(std::int32_t region) const {
  tessmark::build_region_debug_mesh(world, region, mesh_scratch);
  return mesh_to_dictionary(mesh_scratch);
}

godot::Dictionary TessmarkWorld::build_region_collision_mesh(std::int32_t region,
                                                             std::int32_t player_team) const {
  tessmark::build_region_collision_mesh(world, region, player_team, mesh_scratch);
  return mesh_to_dictionary(mesh_scratch);
}

std::int64_t TessmarkWorld::start_region_mesh_job(std::int32_t region, std::int32_t player_team) {
  if (!is_region(region)) return 0;
  const std::int64_t job_id = next_mesh_job_id++;
  try {
    start_region_mesh_thread(world, mesh_job_results, job_id, region, player_team);
  } catch (const std::system_error&) {
    throw godot::MethodFailure("failed to spawn thread");
  }
  return job_id;
}

godot::Dictionary TessmarkWorld::take_region_mesh_job_result() {
  godot::Dictionary out;
  const std::optional<RegionMeshJobResult> result = mesh_job_results->pop();
  if (!result) return out;
  out.set("job_id", result->job_id);
  out.set("region", static_cast<std::int64_t>(result->region));
  out.set("render", mesh_to_dictionary(result->render));
  out.set("collision", mesh_to_dictionary(result->collision));
  return out;
}

}  // namespace tessmark
