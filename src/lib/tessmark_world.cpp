#include "tessmark_world.hpp"

#include "godot/class_binding.hpp"
#include "godot/method_binding.hpp"

namespace tessmark {

using godot::bind_method;

// The script API of TessmarkWorld, in the order scripts see it.
void register_tessmark_world() {
  godot::ClassBinding<TessmarkWorld>::register_class();
  bind_method<&TessmarkWorld::reset_empty>("reset_empty", {"fill_type"});
  bind_method<&TessmarkWorld::load_blocks>("load_blocks", {"blocks"});
  bind_method<&TessmarkWorld::generate_cave_map>("generate_cave_map",
                                                 {"include_lava", "ore_factor", "seed"});
  bind_method<&TessmarkWorld::set_tessmark_virus>("set_tessmark_virus", {"enabled"});
  bind_method<&TessmarkWorld::set_block>("set_block", {"x", "y", "z", "block_type"});
  bind_method<&TessmarkWorld::block_at>("block_at", {"x", "y", "z"});
  bind_method<&TessmarkWorld::lava_count>("lava_count", {});
  bind_method<&TessmarkWorld::take_dirty_regions>("take_dirty_regions", {});
  bind_method<&TessmarkWorld::build_region_debug_mesh>("build_region_debug_mesh", {"region"});
  bind_method<&TessmarkWorld::build_region_collision_mesh>("build_region_collision_mesh",
                                                           {"region", "player_team"});
  bind_method<&TessmarkWorld::start_region_mesh_job>("start_region_mesh_job",
                                                     {"region", "player_team"});
  bind_method<&TessmarkWorld::take_region_mesh_job_result>("take_region_mesh_job_result", {});
  bind_method<&TessmarkWorld::raycast>("raycast", {"origin", "direction", "max_distance"});
  bind_method<&TessmarkWorld::scan_prospecting_radar>("scan_prospecting_radar", {"origin", "look_vector"});
  bind_method<&TessmarkWorld::use_pickaxe>("use_pickaxe", {"origin", "direction", "mine_lava", "player_ore",
                                                          "player_ore_max", "player_weight", "player_weight_max"});
  bind_method<&TessmarkWorld::use_construction_gun>("use_construction_gun",
                                                    {"origin", "direction", "block_type", "player_team",
                                                     "player_ore", "player_ore_max", "sandbox"});
  bind_method<&TessmarkWorld::detonate_at>("detonate_at", {"x", "y", "z", "radius"});
  bind_method<&TessmarkWorld::do_lava_stuff>("do_lava_stuff", {});
}

void unregister_tessmark_world() { godot::ClassBinding<TessmarkWorld>::unregister_class(); }

}  // namespace tessmark
