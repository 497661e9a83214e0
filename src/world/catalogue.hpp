#pragma once
// The block catalogue: the named ids and, per subsystem, which ids it treats
// specially. Every rule about an id is answered here and nowhere else, so
// "what can the pickaxe mine?" is one function. Ids 22..255 are storable and
// have no rules of their own.

#include <array>
#include <cstddef>
#include <cstdint>

#include "world/grid.hpp"

namespace tessmark {

enum class Block : BlockId {
  Air = 0,
  Dirt = 1,
  Ore = 2,
  PreciousLow = 3,
  PreciousHigh = 4,
  HardRock = 5,
  Ladder = 6,
  Explosive = 7,
  GreenBlock = 8,
  Fuel = 9,
  Team1Armor = 10,
  Team2Armor = 11,
  Team1Wall = 12,
  Team2Wall = 13,
  LavaPlug = 14,
  Team1Block = 15,
  Team2Block = 16,
  Bedrock = 17,
  Rubble = 18,
  Lava = 19,
  Team1Gate = 20,
  Team2Gate = 21,
};

inline constexpr int kNamedBlockCount = 22;

constexpr BlockId id(Block b) { return static_cast<BlockId>(b); }
constexpr bool is(BlockId v, Block b) { return v == id(b); }

// --- Empty and solid ---------------------------------------------------------
constexpr bool is_empty(BlockId v) { return is(v, Block::Air); }
constexpr bool is_solid(BlockId v) { return !is_empty(v); }

// --- Lava --------------------------------------------------------------------
constexpr bool is_lava(BlockId v) { return is(v, Block::Lava); }
// Lava flows into air only.
constexpr bool lava_can_enter(BlockId v) { return is_empty(v); }
// Adjacent lava sets fuel alight (when lava_ignites_fuel is on).
constexpr bool lava_ignites(BlockId v) { return is(v, Block::Fuel); }
// A plug above lava turns it into a plug (when plug_converts_lava is on).
constexpr bool converts_lava_below(BlockId v) { return is(v, Block::LavaPlug); }
// For the fall-or-spread decision everything but air and lava is ground.
constexpr bool is_lava_ground(BlockId v) { return !is_empty(v) && !is_lava(v); }

// --- Pickaxe -----------------------------------------------------------------
// Removed with no yield.
constexpr bool pickaxe_clears_freely(BlockId v) {
  return is(v, Block::Dirt) || is(v, Block::Rubble);
}
constexpr bool pickaxe_yields_ore(BlockId v) { return is(v, Block::Ore); }
// Cash value of a precious block to the pickaxe and the resource search; 0 if not precious.
constexpr std::int64_t precious_cash_value(BlockId v) {
  return is(v, Block::PreciousLow) ? 100 : is(v, Block::PreciousHigh) ? 1000 : 0;
}
constexpr bool is_precious(BlockId v) { return precious_cash_value(v) != 0; }
inline constexpr std::int64_t kPreciousWeight = 1;

// --- Construction gun --------------------------------------------------------
constexpr std::int64_t gun_cost(BlockId v) {
  switch (static_cast<Block>(v)) {
    case Block::Ladder:
    case Block::GreenBlock:
    case Block::Team1Gate:
    case Block::Team2Gate:
      return 25;
    case Block::Explosive:
      return 100;
    case Block::Fuel:
    case Block::Team1Armor:
    case Block::Team2Armor:
    case Block::Team1Wall:
    case Block::Team2Wall:
      return 50;
    case Block::LavaPlug:
    case Block::Team1Block:
    case Block::Team2Block:
      return 10;
    default:
      return 1000;  // Bedrock, Rubble, Lava and every unnamed id
  }
}

// A team may not place the other team's building blocks; gates are free for all.
constexpr bool team_may_place(std::int32_t team, BlockId v) {
  if (team == 1) return !(is(v, Block::Team2Armor) || is(v, Block::Team2Wall) || is(v, Block::Team2Block));
  if (team == 2) return !(is(v, Block::Team1Armor) || is(v, Block::Team1Wall) || is(v, Block::Team1Block));
  return true;
}

// --- Detonation --------------------------------------------------------------
constexpr bool is_explosive(BlockId v) { return is(v, Block::Explosive); }
constexpr bool is_blast_proof(BlockId v) {
  switch (static_cast<Block>(v)) {
    case Block::PreciousLow:
    case Block::PreciousHigh:
    case Block::Team1Armor:
    case Block::Team2Armor:
    case Block::Team1Wall:
    case Block::Team2Wall:
    case Block::Bedrock:
      return true;
    default:
      return false;
  }
}
// Air has nothing to clear, explosives chain instead, unnamed ids are left alone.
constexpr bool is_cleared_by_blast(BlockId v) {
  return v < kNamedBlockCount && !is_empty(v) && !is_explosive(v) && !is_blast_proof(v);
}
// Everything a blast acts on: cleared, or set off in turn.
constexpr bool is_reached_by_blast(BlockId v) { return is_cleared_by_blast(v) || is_explosive(v); }

// --- Prospecting radar -------------------------------------------------------
constexpr std::int64_t radar_value(BlockId v) {
  return is(v, Block::PreciousHigh) ? 1000 : is(v, Block::PreciousLow) ? 200 : 0;
}

// --- Bots --------------------------------------------------------------------
// The gate a team may walk through; other team numbers have none.
constexpr bool is_own_gate(std::int32_t team, BlockId v) {
  return (team == 1 && is(v, Block::Team1Gate)) || (team == 2 && is(v, Block::Team2Gate));
}
constexpr bool bot_can_stand_on(std::int32_t team, BlockId v) {
  return !is_empty(v) && !is_lava(v) && !is_own_gate(team, v);
}
constexpr bool bot_body_fits(std::int32_t team, BlockId v) {
  return is_empty(v) || is_own_gate(team, v);
}
// What a mining bot may dig out of its way.
constexpr bool bot_can_dig(BlockId v) {
  return is(v, Block::Dirt) || is(v, Block::Ore) || is(v, Block::PreciousLow) ||
         is(v, Block::PreciousHigh) || is(v, Block::Rubble);
}
constexpr bool is_ladder(BlockId v) { return is(v, Block::Ladder); }

// --- Resource search ---------------------------------------------------------
constexpr bool is_ore(BlockId v) { return is(v, Block::Ore); }
// The first block a bot mines on its way to a resource.
constexpr bool is_minable_work_cell(BlockId v) { return bot_can_dig(v) || is_lava(v); }

// --- Collision ---------------------------------------------------------------
// In a team's collision mesh its own gate is open; every other non-air id is solid.
constexpr bool collides_for_team(std::int32_t team, BlockId v) {
  return !is_empty(v) && !is_own_gate(team, v);
}

// --- Meshing -----------------------------------------------------------------
// The six directions a cell face can look, in the order meshes list them.
enum class FaceDirection : std::uint8_t { PosX, NegX, PosY, NegY, PosZ, NegZ };
inline constexpr int kFaceDirectionCount = 6;

constexpr bool is_gate(BlockId v) { return is(v, Block::Team1Gate) || is(v, Block::Team2Gate); }

// Render faces. Air, and everything outside the interior, draws nothing and
// hides nothing. Lava shows a face toward anything that is not lava; a gate
// only toward air; every other block (unnamed ids included) also toward lava
// and gates, which it can be seen through. Written over bit masks, one bit per
// cell, so the mesher decides a whole row of cells at once; `Bits` is any
// unsigned integer type, and one-bit values give the rule for a single face.
template <class Bits>
constexpr Bits render_face_bits(Bits solid, Bits lava, Bits gate, Bits next_solid,
                                Bits next_lava, Bits next_gate) {
  const Bits ordinary = static_cast<Bits>(solid & ~lava & ~gate);
  return static_cast<Bits>(solid & (~next_solid | (lava & ~next_lava) |
                                    (ordinary & (next_lava | next_gate))));
}

// Collision faces for a team: a colliding cell (collides_for_team) has a face
// toward every neighbour that does not collide, outside the interior included.
template <class Bits>
constexpr Bits collision_face_bits(Bits collides, Bits next_collides) {
  return static_cast<Bits>(collides & ~next_collides);
}

// Texture of one face of a block. A lava plug's sides look different when a
// block rests on it (`covered`); collision meshes never pass covered.
constexpr std::uint8_t face_texture_id(BlockId v, FaceDirection d, bool covered) {
  using T = std::array<std::uint8_t, kFaceDirectionCount>;  // +X -X +Y -Y +Z -Z
  const auto pick = [d](const T& t) { return t[static_cast<std::size_t>(d)]; };
  switch (static_cast<Block>(v)) {
    case Block::Dirt:
    case Block::Ore:
    case Block::PreciousLow:
    case Block::PreciousHigh:
    case Block::HardRock:
      return v;
    case Block::Ladder:
      return pick(T{8, 8, 9, 9, 8, 8});
    case Block::Explosive:
      return 10;
    case Block::GreenBlock:
      return pick(T{6, 6, 7, 25, 6, 6});
    case Block::Fuel:
      return pick(T{26, 26, 25, 11, 27, 27});
    case Block::Team1Armor:
      return pick(T{16, 22, 14, 14, 18, 20});
    case Block::Team2Armor:
      return pick(T{17, 23, 15, 15, 19, 21});
    case Block::Team1Wall:
      return pick(T{26, 26, 36, 9, 27, 27});
    case Block::Team2Wall:
      return pick(T{26, 26, 37, 9, 27, 27});
    case Block::LavaPlug: {
      const std::uint8_t side = covered ? 35 : 33;
      return pick(T{side, side, 34, 35, side, side});
    }
    case Block::Team1Block:
      return 28;
    case Block::Team2Block:
      return 29;
    case Block::Bedrock:
      return 30;
    case Block::Rubble:
      return 31;
    case Block::Lava:
      return 32;
    case Block::Team1Gate:
      return 38;
    case Block::Team2Gate:
      return 39;
    default:
      return 0;  // air and unnamed ids
  }
}

}  // namespace tessmark
