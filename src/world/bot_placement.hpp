#pragma once
// Where a bot may be. A bot is two cells tall: its position names the support
// cell it stands on, and its body fills the two cells above. These tests are
// read-only and are the building blocks of the bot path search, which asks
// them many times per expansion, so they live here inline and look block ids
// up in per-team tables instead of branching on them.
//
// Positions may lie anywhere in the int32 range; coordinates are widened
// before the body and neighbour offsets are added, so nothing overflows.

#include <array>
#include <cstdint>

#include "world/catalogue.hpp"
#include "world/grid.hpp"

namespace tessmark {

// A point in world space; one grid cell is one unit.
struct Point {
  float x = 0.0f, y = 0.0f, z = 0.0f;
  friend constexpr bool operator==(const Point&, const Point&) = default;
};

// A bot's reference point sits over the centre of its support cell, 0.95
// above the support's top face. Paths are reported in these points.
constexpr Point bot_reference_point(Cell support) {
  return {static_cast<float>(support.x) + 0.5f,
          (static_cast<float>(support.y) + 1.0f) + 0.95f,
          static_cast<float>(support.z) + 0.5f};
}

// The support cell under a reference point. Any y in [k + 0.96, k + 1.96)
// maps to support height k, so a point a little off the exact standing height
// still finds its floor.
inline Cell bot_support_of_point(Point p) {
  return cell_of_point(p.x, (p.y + (-0.95f)) + (-0.01f), p.z);
}

namespace bot_cells {

// What each block id is to a bot of one team, from the catalogue's rules.
struct BlockRoles {
  std::array<std::uint8_t, 256> support{};
  std::array<std::uint8_t, 256> passable{};
  std::array<std::uint8_t, 256> passable_or_diggable{};
};

constexpr BlockRoles roles_of_team(std::int32_t team) {
  BlockRoles roles;
  for (int v = 0; v < 256; ++v) {
    const auto b = static_cast<BlockId>(v);
    roles.support[v] = bot_can_stand_on(team, b);
    roles.passable[v] = bot_body_fits(team, b);
    roles.passable_or_diggable[v] = bot_body_fits(team, b) || bot_can_dig(b);
  }
  return roles;
}

// Teams 1 and 2 own a gate each; every other team number owns none, so all
// of them share one table.
inline constexpr std::array<BlockRoles, 3> kRolesByTeam = {roles_of_team(0), roles_of_team(1),
                                                           roles_of_team(2)};
constexpr const BlockRoles& roles(std::int32_t team) {
  return kRolesByTeam[team == 1 ? 1 : team == 2 ? 2 : 0];
}

// Which cells a test may look at. AnyPosition serves positions anywhere in
// the int32 range. NearSearchBox serves only positions inside the bot search
// box (x and z in 2..61, y in 1..61): every cell the tests look at then has x
// and z in 1..62 and y of at least 1, so only the top of the grid is left to
// check. Both give the same answers for those positions.
struct AnyPosition {
  static constexpr bool interior(std::int64_t x, std::int64_t y, std::int64_t z) {
    return x >= 1 && x <= kGridSize - 2 && y >= 1 && y <= kGridSize - 2 && z >= 1 &&
           z <= kGridSize - 2;
  }
};
struct NearSearchBox {
  static constexpr bool interior(std::int64_t, std::int64_t y, std::int64_t) {
    return y <= kGridSize - 2;
  }
};

// Only call on coordinates inside the grid.
inline BlockId read(const World& world, std::int64_t x, std::int64_t y, std::int64_t z) {
  return world.at(static_cast<int>(x), static_cast<int>(y), static_cast<int>(z));
}

// Body cells outside the interior never block a bot.
template <class Reach>
bool body_cell_is_clear(const World& world, std::int64_t x, std::int64_t y, std::int64_t z,
                        const BlockRoles& roles) {
  return !Reach::interior(x, y, z) || roles.passable[read(world, x, y, z)] != 0;
}

template <class Reach>
bool body_is_clear(const World& world, Cell position, const BlockRoles& roles) {
  const std::int64_t x = position.x, y = position.y, z = position.z;
  return body_cell_is_clear<Reach>(world, x, y + 1, z, roles) &
         body_cell_is_clear<Reach>(world, x, y + 2, z, roles);
}

template <class Reach>
bool is_interior_support(const World& world, Cell position, const BlockRoles& roles) {
  return Reach::interior(position.x, position.y, position.z) &&
         roles.support[read(world, position.x, position.y, position.z)] != 0;
}

template <class Reach>
bool surface_is_valid(const World& world, Cell position, const BlockRoles& roles) {
  return is_interior_support<Reach>(world, position, roles) &&
         body_is_clear<Reach>(world, position, roles);
}

template <class Reach>
bool tunnel_touches_lava(const World& world, Cell position) {
  constexpr std::int64_t offsets[6][3] = {{1, 0, 0},  {-1, 0, 0}, {0, 1, 0},
                                          {0, -1, 0}, {0, 0, 1},  {0, 0, -1}};
  bool touches = false;
  for (std::int64_t h = 1; h <= 2; ++h) {
    for (const auto& o : offsets) {
      const std::int64_t x = position.x + o[0];
      const std::int64_t y = position.y + h + o[1];
      const std::int64_t z = position.z + o[2];
      touches |= Reach::interior(x, y, z) && is_lava(read(world, x, y, z));
    }
  }
  return touches;
}

// Body cells at the top of the grid are open sky to a digging bot. The
// position must be interior.
inline BlockId dig_view(const World& world, Cell position, int height) {
  const std::int64_t y = static_cast<std::int64_t>(position.y) + height;
  return y >= kGridSize - 1 ? id(Block::Air) : read(world, position.x, y, position.z);
}

template <class Reach>
bool path_surface_is_valid(const World& world, Cell position, const BlockRoles& roles,
                           bool mining) {
  if (surface_is_valid<Reach>(world, position, roles)) return true;
  if (!mining || !is_interior_support<Reach>(world, position, roles)) return false;
  const BlockId lower = dig_view(world, position, 1);
  const BlockId upper = dig_view(world, position, 2);
  if ((roles.passable_or_diggable[lower] & roles.passable_or_diggable[upper]) == 0) return false;
  if ((roles.passable[lower] & roles.passable[upper]) != 0) return true;
  return !tunnel_touches_lava<Reach>(world, position);
}

// A ladder beside the cell at (x, y, z), at the same height.
template <class Reach>
bool ladder_beside(const World& world, std::int64_t x, std::int64_t y, std::int64_t z) {
  return (Reach::interior(x + 1, y, z) && is_ladder(read(world, x + 1, y, z))) |
         (Reach::interior(x - 1, y, z) && is_ladder(read(world, x - 1, y, z))) |
         (Reach::interior(x, y, z + 1) && is_ladder(read(world, x, y, z + 1))) |
         (Reach::interior(x, y, z - 1) && is_ladder(read(world, x, y, z - 1)));
}

template <class Reach>
bool ladder_position_is_valid(const World& world, Cell position, const BlockRoles& roles) {
  if (!body_is_clear<Reach>(world, position, roles)) return false;
  const std::int64_t x = position.x, y = position.y, z = position.z;
  return ladder_beside<Reach>(world, x, y + 1, z) | ladder_beside<Reach>(world, x, y + 2, z);
}

}  // namespace bot_cells

// Both body cells are free for the team; body cells outside the interior
// count as free.
inline bool bot_body_is_clear(const World& world, Cell position, std::int32_t player_team) {
  return bot_cells::body_is_clear<bot_cells::AnyPosition>(world, position,
                                                          bot_cells::roles(player_team));
}

// Standing here needs no digging.
inline bool bot_surface_is_valid(const World& world, Cell position, std::int32_t player_team) {
  return bot_cells::surface_is_valid<bot_cells::AnyPosition>(world, position,
                                                             bot_cells::roles(player_team));
}

// Lava face-adjacent to either body cell. Lava touching only the support, or
// a body cell only at an edge or corner, does not count; the border is never
// examined.
inline bool bot_tunnel_cell_touches_lava(const World& world, Cell position) {
  return bot_cells::tunnel_touches_lava<bot_cells::AnyPosition>(world, position);
}

// Standing here, or, for a mining bot, standing here once the body cells are
// dug free. A bot never digs a tunnel cell that lava touches, since opening it
// would let the lava in on top of the bot.
inline bool bot_path_surface_is_valid(const World& world, Cell position, std::int32_t player_team,
                                      bool mining) {
  return bot_cells::path_surface_is_valid<bot_cells::AnyPosition>(
      world, position, bot_cells::roles(player_team), mining);
}

// A bot can hang here: its body is clear and a ladder stands beside one of
// its body cells. The support is not looked at, so a bot may hang over air.
inline bool bot_ladder_position_is_valid(const World& world, Cell position,
                                         std::int32_t player_team) {
  return bot_cells::ladder_position_is_valid<bot_cells::AnyPosition>(
      world, position, bot_cells::roles(player_team));
}

}  // namespace tessmark
