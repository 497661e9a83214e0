#pragma once
// The player's hand tools. The pickaxe removes the block the player points at
// and reports what it yields; the construction gun places a block in front of
// the block the player points at and reports its price. Neither changes the
// player's amounts: they come in as arguments, and gains and costs go out in
// the result for the game to apply.

#include <cstdint>
#include <optional>

#include "world/basis.hpp"
#include "world/grid.hpp"

namespace tessmark {

inline constexpr float kPickaxeReach = 2.0f;
inline constexpr float kConstructionGunReach = 6.0f;
// Mining one ore block yields at most this much ore.
inline constexpr std::uint32_t kOrePerBlock = 20;

struct ToolResult {
  std::optional<Cell> hit;    // the cell the tool was aimed at
  std::optional<Cell> place;  // the empty cell in front of the hit face
  std::int32_t ore = 0;       // pickaxe: ore gained
  std::int32_t cash = 0;      // pickaxe: cash value gained
  std::int32_t weight = 0;    // pickaxe: carried weight gained
  std::int32_t cost = 0;      // gun: ore price of the placement
  bool changed = false;       // the grid changed (gun: or already held the requested block)
  BlockId block_type = 0;     // pickaxe: the hit block; gun: the requested block
};

ToolResult use_pickaxe(World& world, Vec3 origin, Vec3 direction, bool mine_lava,
                       std::uint32_t player_ore, std::uint32_t player_ore_max,
                       std::uint32_t player_weight, std::uint32_t player_weight_max);

ToolResult use_construction_gun(World& world, Vec3 origin, Vec3 direction, BlockId block_type,
                                std::int32_t player_team, std::uint32_t player_ore,
                                std::uint32_t player_ore_max, bool sandbox);

}  // namespace tessmark
