#include "world/tools.hpp"

#include <algorithm>

#include "world/catalogue.hpp"
#include "world/raycast.hpp"

namespace tessmark {

namespace {

ToolResult aimed_at(const RaycastHit& hit) {
  ToolResult result;
  result.hit = hit.cell;
  result.place = hit.previous;
  return result;
}

void clear(World& world, Cell c) { world.write_cell(c.x, c.y, c.z, id(Block::Air)); }

}  // namespace

ToolResult use_pickaxe(World& world, Vec3 origin, Vec3 direction, bool mine_lava,
                       std::uint32_t player_ore, std::uint32_t player_ore_max,
                       std::uint32_t player_weight, std::uint32_t player_weight_max) {
  const std::optional<RaycastHit> hit = raycast(world, origin, direction, kPickaxeReach);
  if (!hit) return {};
  ToolResult result = aimed_at(*hit);
  const BlockId block = world.at(cell_index(hit->cell));
  result.block_type = block;

  if (pickaxe_clears_freely(block)) {
    clear(world, hit->cell);
    result.changed = true;
  } else if (pickaxe_yields_ore(block)) {
    // The block goes even when the player has no room for its ore.
    clear(world, hit->cell);
    result.changed = true;
    if (player_ore_max > player_ore) {
      result.ore = static_cast<std::int32_t>(std::min(player_ore_max - player_ore, kOrePerBlock));
    }
  } else if (is_precious(block)) {
    if (player_weight < player_weight_max) {
      clear(world, hit->cell);
      result.changed = true;
      result.cash = static_cast<std::int32_t>(precious_cash_value(block));
      result.weight = static_cast<std::int32_t>(kPreciousWeight);
    }
  } else if (is_lava(block)) {
    if (mine_lava) {
      clear(world, hit->cell);  // the cell-write rule lowers the lava counter
      result.changed = true;
    }
  }
  return result;
}

ToolResult use_construction_gun(World& world, Vec3 origin, Vec3 direction, BlockId block_type,
                                std::int32_t player_team, std::uint32_t player_ore,
                                std::uint32_t player_ore_max, bool sandbox) {
  const std::optional<RaycastHit> hit = raycast(world, origin, direction, kConstructionGunReach);
  if (!hit) return {};
  ToolResult result = aimed_at(*hit);
  result.block_type = block_type;

  std::int64_t cost = gun_cost(block_type);
  // Sandbox play waives every price the player could ever afford.
  if (sandbox && cost <= std::int64_t{player_ore_max}) cost = 0;
  result.cost = static_cast<std::int32_t>(cost);

  if (cost > std::int64_t{player_ore}) return result;
  if (!team_may_place(player_team, block_type)) return result;
  if (is_lava(world.at(cell_index(hit->cell))) || !hit->previous) return result;

  const Cell place = *hit->previous;
  world.write_cell(place.x, place.y, place.z, block_type);
  result.changed = true;
  return result;
}

}  // namespace tessmark
