// Script methods of play: the voxel raycast, the prospecting radar, the
// pickaxe and the construction gun, and detonation.

#include <vector>

#include "conversions.hpp"
#include "tessmark_world.hpp"
#include "world/detonation.hpp"
#include "world/radar.hpp"
#include "world/raycast.hpp"
#include "world/tools.hpp"

namespace tessmark {

namespace {

Vec3 to_model(godot::Vector3 v) { return {v.x, v.y, v.z}; }

godot::Dictionary tool_result_to_dictionary(const ToolResult& result) {
  godot::Dictionary d;
  d.set("changed", result.changed);
  d.set("block_type", std::int32_t{result.block_type});
  d.set("ore", result.ore);
  d.set("cash", result.cash);
  d.set("weight", result.weight);
  d.set("cost", result.cost);
  if (result.hit) d.set("hit", cell_to_vector(*result.hit));
  if (result.place) d.set("place", cell_to_vector(*result.place));
  return d;
}

}  // namespace

godot::Dictionary TessmarkWorld::raycast(godot::Vector3 origin, godot::Vector3 direction,
                                         float max_distance) const {
  godot::Dictionary d;
  const std::optional<RaycastHit> hit =
      tessmark::raycast(world, to_model(origin), to_model(direction), max_distance);
  if (hit) {
    d.set("hit", cell_to_vector(hit->cell));
    if (hit->previous) d.set("place", cell_to_vector(*hit->previous));
  }
  return d;
}

godot::Dictionary TessmarkWorld::scan_prospecting_radar(godot::Vector3 origin,
                                                        godot::Vector3 look_vector) const {
  const std::array<Vec3, kRadarRayCount> fan = radar_fan(to_model(look_vector));
  const RadarScanResult scan =
      tessmark::scan_prospecting_radar(world, to_model(origin), fan, kRadarMaxDistance, kRadarStep);
  godot::Dictionary d;
  d.set("found", scan.found);
  d.set("value", scan.value);
  d.set("distance", scan.distance);
  if (scan.found) {
    d.set("position", godot::Vector3i{scan.position.x, scan.position.y, scan.position.z});
    d.set("block_type", std::int32_t{scan.block});
  }
  return d;
}

godot::Dictionary TessmarkWorld::use_pickaxe(godot::Vector3 origin, godot::Vector3 direction,
                                             bool mine_lava, std::int32_t player_ore,
                                             std::int32_t player_ore_max, std::int32_t player_weight,
                                             std::int32_t player_weight_max) {
  return tool_result_to_dictionary(tessmark::use_pickaxe(
      world, to_model(origin), to_model(direction), mine_lava, clamp_amount(player_ore),
      clamp_amount(player_ore_max), clamp_amount(player_weight), clamp_amount(player_weight_max)));
}

godot::Dictionary TessmarkWorld::use_construction_gun(godot::Vector3 origin, godot::Vector3 direction,
                                                      std::int32_t block_type, std::int32_t player_team,
                                                      std::int32_t player_ore,
                                                      std::int32_t player_ore_max, bool sandbox) {
  return tool_result_to_dictionary(tessmark::use_construction_gun(
      world, to_model(origin), to_model(direction), low_byte(block_type), player_team,
      clamp_amount(player_ore), clamp_amount(player_ore_max), sandbox));
}

godot::Dictionary TessmarkWorld::detonate_at(std::int32_t x, std::int32_t y, std::int32_t z,
                                             std::int32_t radius) {
  const std::vector<Cell> cleared = detonate_at_cells(world, x, y, z, radius);
  std::vector<godot::Vector3> cells;
  cells.reserve(cleared.size());
  for (const Cell& c : cleared) cells.push_back(cell_to_vector(c));
  godot::Dictionary d;
  d.set("changed", !cleared.empty());
  d.set("changed_count", static_cast<std::int64_t>(cleared.size()));
  d.set("changed_cells", godot::PackedVector3Array::from(cells));
  return d;
}

}  // namespace tessmark
