#pragma once
// TessmarkWorld, the one object game scripts hold: a World plus the
// bookkeeping of background mesh jobs. Each script method is an ordinary
// member function; its engine glue is derived from its signature when it is
// registered in tessmark_world.cpp.

#include <cstdint>
#include <memory>

#include "godot/access.hpp"
#include "godot/dictionary.hpp"
#include "godot/dictionary_array.hpp"
#include "godot/packed_arrays.hpp"
#include "godot/values.hpp"
#include "mesh_jobs.hpp"
#include "world/grid.hpp"
#include "world/meshing.hpp"

namespace tessmark {

class TessmarkWorld {
 public:
  static constexpr const char* kClassName = "TessmarkWorld";
  static constexpr const char* kParentClassName = "RefCounted";

  World world;

  // Shared access for const methods, exclusive for the others.
  godot::AccessTracker access;

  // Grid (methods_grid.cpp).
  void reset_empty(std::int32_t fill_type);
  bool load_blocks(const godot::PackedByteArray& blocks);
  void set_tessmark_virus(bool enabled);
  bool set_block(std::int32_t x, std::int32_t y, std::int32_t z, std::int32_t block_type);
  std::int32_t block_at(std::int32_t x, std::int32_t y, std::int32_t z) const;
  std::int32_t lava_count() const;
  godot::PackedInt32Array take_dirty_regions();

  // Region meshes (methods_meshing.cpp).
  godot::Dictionary build_region_debug_mesh(std::int32_t region) const;
  godot::Dictionary build_region_collision_mesh(std::int32_t region, std::int32_t player_team) const;
  std::int64_t start_region_mesh_job(std::int32_t region, std::int32_t player_team);
  godot::Dictionary take_region_mesh_job_result();

  // The seven-key mesh dictionary scripts draw and collide with.
  static godot::Dictionary mesh_to_dictionary(const DebugMeshData& mesh);

  // Finished background mesh jobs, shared with the jobs still running, and
  // the id the next job gets.
  std::shared_ptr<MeshJobQueue> mesh_job_results = std::make_shared<MeshJobQueue>();
  std::int64_t next_mesh_job_id = 1;

  // Generation (methods_generation.cpp).
  bool generate_cave_map(bool include_lava, std::int32_t ore_factor, std::int32_t seed);

  // Play: the raycast, the radar, the player's tools and detonation (methods_play.cpp).
  godot::Dictionary raycast(godot::Vector3 origin, godot::Vector3 direction, float max_distance) const;
  godot::Dictionary scan_prospecting_radar(godot::Vector3 origin, godot::Vector3 look_vector) const;
  godot::Dictionary use_pickaxe(godot::Vector3 origin, godot::Vector3 direction, bool mine_lava,
                                std::int32_t player_ore, std::int32_t player_ore_max,
                                std::int32_t player_weight, std::int32_t player_weight_max);
  godot::Dictionary use_construction_gun(godot::Vector3 origin, godot::Vector3 direction,
                                         std::int32_t block_type, std::int32_t player_team,
                                         std::int32_t player_ore, std::int32_t player_ore_max,
                                         bool sandbox);
  godot::Dictionary detonate_at(std::int32_t x, std::int32_t y, std::int32_t z, std::int32_t radius);

  // Lava (methods_lava.cpp).
  void do_lava_stuff();

 private:
  // Reused by the immediate mesh methods so that meshing region after region
  // does not allocate and free the arrays every time. Main thread only.
  mutable DebugMeshData mesh_scratch;
};

// Announces TessmarkWorld and its script methods to the engine, and takes
// them back.
void register_tessmark_world();
void unregister_tessmark_world();

}  // namespace tessmark
