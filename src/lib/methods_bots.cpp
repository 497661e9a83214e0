// The bot methods: paths for walking and digging bots, and the best
// reachable ore or precious blocks as result dictionaries.

#include <algorithm>
#include <cstdint>
#include <optional>
#include <vector>

#include "tessmark_world.hpp"
#include "world/bot_paths.hpp"
#include "world/resources.hpp"

namespace tessmark {
namespace {

Point to_point(godot::Vector3 v) { return {v.x, v.y, v.z}; }

godot::Vector3i to_vector3i(Cell c) { return {c.x, c.y, c.z}; }

std::vector<Point> to_points(const godot::PackedVector3Array& array) {
  const auto view = array.view();
  std::vector<Point> points;
  points.reserve(view.size());
  for (const godot::Vector3& v : view) points.push_back(to_point(v));
  return points;
}

godot::PackedVector3Array to_packed(const std::vector<Point>& points) {
  std::vector<godot::Vector3> vectors;
  vectors.reserve(points.size());
  for (const Point& p : points) vectors.push_back({p.x, p.y, p.z});
  return godot::PackedVector3Array::from(vectors);
}

// "found" first; a missing target has no other key.
godot::Dictionary resource_target_to_dictionary(
    const std::optional<AccessibleResourceTarget>& target) {
  godot::Dictionary d;
  d.set("found", target.has_value());
  if (!target) return d;
  d.set("resource_position", to_vector3i(target->resource_position));
  d.set("work_position", to_vector3i(target->work_position));
  d.set("approach_position",
        godot::Vector3{target->approach_position.x, target->approach_position.y,
                       target->approach_position.z});
  d.set("block_type", std::int64_t{target->block_type});
  d.set("cash_value", std::int64_t{target->cash_value});
  d.set("distance", static_cast<double>(target->distance));
  return d;
}

std::vector<AccessibleResourceTarget> find_resources(const World& world, godot::Vector3 origin,
                                                     const godot::PackedVector3Array& avoid,
                                                     float avoid_radius, float max_vertical_delta,
                                                     bool search_ore, std::size_t limit) {
  if (limit == 0) return {};
  return find_accessible_resources(world, to_point(origin), to_points(avoid), avoid_radius,
                                   max_vertical_delta, search_ore, limit);
}

godot::Dictionary best_resource(const World& world, godot::Vector3 origin,
                                const godot::PackedVector3Array& avoid, float avoid_radius,
                                float max_vertical_delta, bool search_ore) {
  const auto found =
      find_resources(world, origin, avoid, avoid_radius, max_vertical_delta, search_ore, 1);
  return resource_target_to_dictionary(found.empty() ? std::nullopt : std::optional(found.front()));
}

// Scripts may ask for any budget; below 1 counts as 1.
godot::PackedVector3Array bot_path(const World& world, godot::Vector3 origin,
                                   godot::Vector3 destination, std::int32_t player_team,
                                   std::int32_t max_nodes, bool mining) {
  return to_packed(find_bot_path(world, to_point(origin), to_point(destination), player_team,
                                 static_cast<std::uint32_t>(std::max(max_nodes, 1)), mining));
}

}  // namespace

godot::Dictionary TessmarkWorld::find_accessible_precious_resource(
    godot::Vector3 origin, const godot::PackedVector3Array& avoid_positions, float avoid_radius,
    float max_vertical_delta) const {
  return best_resource(world, origin, avoid_positions, avoid_radius, max_vertical_delta, false);
}

godot::DictionaryArray TessmarkWorld::find_accessible_precious_resources(
    godot::Vector3 origin, const godot::PackedVector3Array& avoid_positions, float avoid_radius,
    float max_vertical_delta, std::int32_t limit) const {
  const auto found =
      find_resources(world, origin, avoid_positions, avoid_radius, max_vertical_delta, false,
                     static_cast<std::size_t>(std::max(limit, 0)));
  godot::DictionaryArray targets;
  for (const AccessibleResourceTarget& target : found) {
    targets.push_back(resource_target_to_dictionary(target));
  }
  return targets;
}

godot::Dictionary TessmarkWorld::find_accessible_ore_resource(
    godot::Vector3 origin, const godot::PackedVector3Array& avoid_positions, float avoid_radius,
    float max_vertical_delta) const {
  return best_resource(world, origin, avoid_positions, avoid_radius, max_vertical_delta, true);
}

godot::PackedVector3Array TessmarkWorld::find_bot_surface_path(godot::Vector3 origin,
                                                               godot::Vector3 destination,
                                                               std::int32_t player_team,
                                                               std::int32_t max_nodes) const {
  return bot_path(world, origin, destination, player_team, max_nodes, false);
}

godot::PackedVector3Array TessmarkWorld::find_bot_mining_path(godot::Vector3 origin,
                                                              godot::Vector3 destination,
                                                              std::int32_t player_team,
                                                              std::int32_t max_nodes) const {
  return bot_path(world, origin, destination, player_team, max_nodes, true);
}

}  // namespace tessmark
