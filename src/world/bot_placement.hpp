#pragma once
// Where a bot may be. A bot is two cells tall: its position names the support
// cell it stands on, and its body fills the two cells above. These tests are
// read-only and are the building blocks of the bot path search, which calls
// them many times per expansion, so they live here inline.
//
// Positions may lie anywhere in the int32 range; coordinates are widened
// before the body and neighbour offsets are added, so nothing overflows.

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

constexpr bool interior(std::int64_t x, std::int64_t y, std::int64_t z) {
  return x >= 1 && x <= kGridSize - 2 && y >= 1 && y <= kGridSize - 2 && z >= 1 &&
         z <= kGridSize - 2;
}

// Only call after an interior (or in-grid) check of the same coordinates.
inline BlockId read(const World& world, std::int64_t x, std::int64_t y, std::int64_t z) {
  return world.at(static_cast<int>(x), static_cast<int>(y), static_cast<int>(z));
}

// Body cells outside the interior never block a bot.
inline bool body_cell_is_clear(const World& world, std::int64_t x, std::int64_t y,
                               std::int64_t z, std::int32_t player_team) {
  return !interior(x, y, z) || bot_body_fits(player_team, read(world, x, y, z));
}

inline bool is_interior_support(const World& world, Cell position, std::int32_t player_team) {
  return is_interior(position) && bot_can_stand_on(player_team, world.at(cell_index(position)));
}

// Body cells at the top of the grid are open sky to a digging bot.
inline BlockId dig_view(const World& world, std::int64_t x, std::int64_t y, std::int64_t z) {
  return y >= kGridSize - 1 ? id(Block::Air) : read(world, x, y, z);
}

// Any of the four horizontal neighbours of (x, y, z) that is interior and
// holds a ladder.
inline bool ladder_beside(const World& world, std::int64_t x, std::int64_t y, std::int64_t z) {
  const std::int64_t dx[4] = {1, -1, 0, 0};
  const std::int64_t dz[4] = {0, 0, 1, -1};
  for (int d = 0; d < 4; ++d) {
    const std::int64_t nx = x + dx[d], nz = z + dz[d];
    if (interior(nx, y, nz) && is_ladder(read(world, nx, y, nz))) return true;
  }
  return false;
}

}  // namespace bot_cells

inline bool bot_body_is_clear(const World& world, Cell position, std::int32_t player_team) {
  const std::int64_t y = position.y;
  return bot_cells::body_cell_is_clear(world, position.x, y + 1, position.z, player_team) &&
         bot_cells::body_cell_is_clear(world, position.x, y + 2, position.z, player_team);
}

// Standing here needs no digging.
inline bool bot_surface_is_valid(const World& world, Cell position, std::int32_t player_team) {
  return bot_cells::is_interior_support(world, position, player_team) &&
         bot_body_is_clear(world, position, player_team);
}

// Lava face-adjacent to either body cell; lava touching only the support, or
// a body cell only at an edge or corner, does not count. The border is never
// examined.
inline bool bot_tunnel_cell_touches_lava(const World& world, Cell position) {
  const std::int64_t offsets[6][3] = {{1, 0, 0}, {-1, 0, 0}, {0, 1, 0},
                                      {0, -1, 0}, {0, 0, 1}, {0, 0, -1}};
  for (std::int64_t h = 1; h <= 2; ++h) {
    for (const auto& o : offsets) {
      const std::int64_t x = position.x + o[0];
      const std::int64_t y = position.y + h + o[1];
      const std::int64_t z = position.z + o[2];
      if (bot_cells::interior(x, y, z) && is_lava(bot_cells::read(world, x, y, z))) return true;
    }
  }
  return false;
}

// Standing here, or, for a mining bot, standing here once the body cells are
// dug free. A bot never digs a tunnel cell that lava touches, since opening it
// would let the lava in on top of the bot.
inline bool bot_path_surface_is_valid(const World& world, Cell position, std::int32_t player_team,
                                      bool mining) {
  if (bot_surface_is_valid(world, position, player_team)) return true;
  if (!mining) return false;
  if (!bot_cells::is_interior_support(world, position, player_team)) return false;
  const BlockId lower = bot_cells::dig_view(world, position.x, position.y + 1, position.z);
  const BlockId upper = bot_cells::dig_view(world, position.x, position.y + 2, position.z);
  const bool lower_fits = bot_body_fits(player_team, lower);
  const bool upper_fits = bot_body_fits(player_team, upper);
  if (!(lower_fits || bot_can_dig(lower)) || !(upper_fits || bot_can_dig(upper))) return false;
  if (lower_fits && upper_fits) return true;
  return !bot_tunnel_cell_touches_lava(world, position);
}

// A bot can hang here: its body is clear and a ladder stands beside one of
// its body cells. The support is not looked at, so a bot may hang over air.
inline bool bot_ladder_position_is_valid(const World& world, Cell position,
                                         std::int32_t player_team) {
  if (!bot_body_is_clear(world, position, player_team)) return false;
  const std::int64_t y = position.y;
  return bot_cells::ladder_beside(world, position.x, y + 1, position.z) ||
         bot_cells::ladder_beside(world, position.x, y + 2, position.z);
}

}  // namespace tessmark
