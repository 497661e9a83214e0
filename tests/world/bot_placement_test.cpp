#include "world/bot_placement.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "world/bot_test_worlds.hpp"

namespace tessmark {
namespace {

using test::Placements;

// A bot at P stands on (10, 10, 10); its body cells are (10, 11, 10) and (10, 12, 10).
constexpr Cell P{10, 10, 10};
constexpr Cell Lower{10, 11, 10};
constexpr Cell Upper{10, 12, 10};

struct PlacementCase {
  const char* name;
  Placements blocks;  // on an all-air world
  Cell position;
  std::int32_t team;
  bool surface;         // bot_surface_is_valid
  bool mining_surface;  // bot_path_surface_is_valid with mining
  bool ladder;          // bot_ladder_position_is_valid
};

TEST(BotPlacement, PredicatesOnSmallWorlds) {
  const PlacementCase cases[] = {
      {"dirt floor, open body", {{P, Block::Dirt}}, P, 1, true, true, false},
      {"air support", {}, P, 1, false, false, false},
      {"lava support, any team, any mode", {{P, Block::Lava}}, P, 0, false, false, false},
      {"lava support, team 2", {{P, Block::Lava}}, P, 2, false, false, false},
      {"unnamed id is ground", {{P, static_cast<Block>(22)}}, P, 1, true, true, false},
      {"unnamed id blocks the body", {{P, Block::Dirt}, {Lower, static_cast<Block>(22)}}, P, 1,
       false, false, false},
      // Team gates: open to their own team, solid to everyone else.
      {"team 1 cannot stand on its gate", {{P, Block::Team1Gate}}, P, 1, false, false, false},
      {"team 2 stands on team 1's gate", {{P, Block::Team1Gate}}, P, 2, true, true, false},
      {"team 0 stands on either gate", {{P, Block::Team2Gate}}, P, 0, true, true, false},
      {"team 1 walks through its gate",
       {{P, Block::Dirt}, {Lower, Block::Team1Gate}, {Upper, Block::Team1Gate}}, P, 1, true, true,
       false},
      {"team 2 is blocked by team 1's gate", {{P, Block::Dirt}, {Upper, Block::Team1Gate}}, P, 2,
       false, false, false},
      {"team 0 is blocked by either gate", {{P, Block::Dirt}, {Lower, Block::Team2Gate}}, P, 0,
       false, false, false},
      // Digging.
      {"dig through precious", {{P, Block::Dirt}, {Lower, Block::PreciousLow}}, P, 1, false, true,
       false},
      {"dig through dirt, ore, rubble",
       {{P, Block::Dirt}, {Lower, Block::Ore}, {Upper, Block::Rubble}}, P, 1, false, true, false},
      {"lava beside the lower body cell stops digging",
       {{P, Block::Dirt}, {Lower, Block::PreciousLow}, {{11, 11, 10}, Block::Lava}}, P, 1, false,
       false, false},
      {"lava above the upper body cell stops digging",
       {{P, Block::Dirt}, {Upper, Block::Dirt}, {{10, 13, 10}, Block::Lava}}, P, 1, false, false,
       false},
      {"lava beside the support only is harmless",
       {{P, Block::Dirt}, {Lower, Block::PreciousLow}, {{11, 10, 10}, Block::Lava}}, P, 1, false,
       true, false},
      {"lava at a body cell's edge is harmless",
       {{P, Block::Dirt}, {Lower, Block::Dirt}, {{11, 12, 11}, Block::Lava}}, P, 1, false, true,
       false},
      {"never dig a ladder", {{P, Block::Dirt}, {Lower, Block::Ladder}}, P, 1, false, false, false},
      {"never dig hard rock", {{P, Block::Dirt}, {Upper, Block::HardRock}}, P, 1, false, false,
       false},
      {"never dig lava", {{P, Block::Dirt}, {Upper, Block::Lava}}, P, 1, false, false, false},
      {"own gate in the body needs no lava test",
       {{P, Block::Dirt}, {Lower, Block::Team2Gate}, {{11, 11, 10}, Block::Lava}}, P, 2, true, true,
       false},
      // Ladders.
      {"ladder beside the upper body cell, hanging over air", {{{10, 12, 9}, Block::Ladder}}, P, 1,
       false, false, true},
      {"ladder beside the lower body cell", {{P, Block::Dirt}, {{9, 11, 10}, Block::Ladder}}, P, 1,
       true, true, true},
      {"ladder beside the support only", {{{11, 10, 10}, Block::Ladder}}, P, 1, false, false,
       false},
      {"ladder above the body only", {{{11, 13, 10}, Block::Ladder}}, P, 1, false, false, false},
      {"ladder needs a clear body",
       {{{10, 12, 9}, Block::Ladder}, {Lower, Block::Dirt}}, P, 1, false, false, false},
      // The grid's edge.
      {"top height: the upper body cell is the border", {{{10, 61, 10}, Block::Dirt}}, {10, 61, 10},
       1, true, true, false},
      {"support in the top interior layer", {{{10, 62, 10}, Block::Dirt}}, {10, 62, 10}, 1, true,
       true, false},
      {"support in the border layer y 0", {}, {10, 0, 10}, 1, false, false, false},
      {"ladder in the border is never seen", {{{63, 11, 10}, Block::Ladder}}, {62, 10, 10}, 1,
       false, false, false},
  };
  for (const auto& c : cases) {
    World world;
    test::place(world, c.blocks);
    EXPECT_EQ(bot_surface_is_valid(world, c.position, c.team), c.surface) << c.name;
    EXPECT_EQ(bot_path_surface_is_valid(world, c.position, c.team, false), c.surface) << c.name;
    EXPECT_EQ(bot_path_surface_is_valid(world, c.position, c.team, true), c.mining_surface)
        << c.name;
    EXPECT_EQ(bot_ladder_position_is_valid(world, c.position, c.team), c.ladder) << c.name;
  }
}

// The grid border holds blocks only through bulk writes; a bot never stands on one.
TEST(BotPlacement, BorderSupportsAreNeverValid) {
  World world;
  world.reset_empty(id(Block::Dirt));
  test::fill(world, {1, 1, 1}, {62, 62, 62}, Block::Air);
  for (Cell c : {Cell{10, 0, 10}, Cell{10, 63, 10}, Cell{0, 10, 10}, Cell{63, 10, 10},
                 Cell{10, 10, 0}, Cell{10, 10, 63}}) {
    EXPECT_FALSE(bot_surface_is_valid(world, c, 1)) << c.x << ' ' << c.y << ' ' << c.z;
    EXPECT_FALSE(bot_path_surface_is_valid(world, c, 1, true)) << c.x << ' ' << c.y << ' ' << c.z;
  }
}

TEST(BotPlacement, TunnelLavaLooksAtFaceNeighboursOfBothBodyCells) {
  struct Case {
    Cell lava;
    bool touches;
  };
  const Case cases[] = {
      {{11, 11, 10}, true}, {{9, 12, 10}, true},  {{10, 13, 10}, true},  {{10, 11, 11}, true},
      {{10, 12, 9}, true},
      {{10, 10, 10}, true},  // the support cell is the lower body cell's neighbour below
      {{11, 10, 10}, false}, {{11, 12, 11}, false},
      {{10, 14, 10}, false}, {{11, 13, 10}, false},
  };
  for (const auto& c : cases) {
    World world;
    world.write_cell(c.lava.x, c.lava.y, c.lava.z, id(Block::Lava));
    EXPECT_EQ(bot_tunnel_cell_touches_lava(world, P), c.touches)
        << c.lava.x << ' ' << c.lava.y << ' ' << c.lava.z;
  }
  // Lava in the border beside a body cell is never examined.
  World world;
  world.write_cell(10, 11, 63, id(Block::Lava));
  EXPECT_FALSE(bot_tunnel_cell_touches_lava(world, {10, 10, 62}));
}

// Positions far outside the grid, even at the ends of the int32 range, are
// answered without reading outside it.
TEST(BotPlacement, FarPositionsAreHandled) {
  World world;
  world.reset_empty(id(Block::Lava));
  constexpr std::int32_t lo = std::numeric_limits<std::int32_t>::min();
  constexpr std::int32_t hi = std::numeric_limits<std::int32_t>::max();
  for (Cell c : {Cell{lo, lo, lo}, Cell{hi, hi, hi}, Cell{10, hi, 10}, Cell{10, hi - 1, 10},
                 Cell{10, lo, 10}, Cell{hi, 10, lo}}) {
    EXPECT_TRUE(bot_body_is_clear(world, c, 1));
    EXPECT_FALSE(bot_surface_is_valid(world, c, 1));
    EXPECT_FALSE(bot_path_surface_is_valid(world, c, 1, true));
    EXPECT_FALSE(bot_ladder_position_is_valid(world, c, 1));
    EXPECT_FALSE(bot_tunnel_cell_touches_lava(world, c));
  }
}

TEST(BotPlacement, ReferencePointAndItsSupport) {
  EXPECT_EQ(bot_reference_point({3, 9, 7}), (Point{3.5f, (9.0f + 1.0f) + 0.95f, 7.5f}));
  struct Case {
    float y;
    std::int32_t support_y;
  };
  const Case cases[] = {
      {9.0f + 1.95f, 9},   // the reference height itself
      {9.0f + 0.96f, 9},   // lowest height that still maps to 9
      {9.0f + 0.955f, 8},  // a little lower belongs to the support below
      {9.0f + 1.97f, 10},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(bot_support_of_point({2.5f, c.y, 3.5f}), (Cell{2, c.support_y, 3})) << c.y;
  }
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  EXPECT_EQ(bot_support_of_point({nan, nan, nan}), (Cell{0, 0, 0}));
  EXPECT_EQ(bot_support_of_point({inf, -inf, -1.5f}),
            (Cell{std::numeric_limits<std::int32_t>::max(),
                  std::numeric_limits<std::int32_t>::min(), -2}));
}

}  // namespace
}  // namespace tessmark

namespace tessmark {
namespace {

// The path search asks the placement tests in their search-box form, which
// skips the side checks that cannot fail there. On random worlds, borders
// included, both forms must agree for every position in the box.
TEST(BotPlacement, SearchBoxFormAgreesEverywhereInTheBox) {
  using bot_cells::AnyPosition;
  using bot_cells::NearSearchBox;
  const Block mix[] = {Block::Air,      Block::Air,       Block::Air,    Block::Air,
                       Block::Dirt,     Block::Dirt,      Block::Ore,    Block::PreciousLow,
                       Block::HardRock, Block::Ladder,    Block::Ladder, Block::Lava,
                       Block::Rubble,   Block::Team1Gate, Block::Team2Gate, static_cast<Block>(22)};
  std::uint32_t seed = 12345;
  World world;
  for (BlockId& b : world.blocks) {
    seed = seed * 1664525u + 1013904223u;
    b = id(mix[(seed >> 24) % std::size(mix)]);
  }
  {
    for (std::int32_t team : {0, 1, 2}) {
      const auto& roles = bot_cells::roles(team);
      for (int z = 2; z <= 61; ++z)
        for (int y = 1; y <= 61; ++y)
          for (int x = 2; x <= 61; ++x) {
            const Cell c{x, y, z};
            ASSERT_EQ(bot_cells::surface_is_valid<NearSearchBox>(world, c, roles),
                      bot_cells::surface_is_valid<AnyPosition>(world, c, roles));
            for (bool mining : {false, true}) {
              ASSERT_EQ(bot_cells::path_surface_is_valid<NearSearchBox>(world, c, roles, mining),
                        bot_cells::path_surface_is_valid<AnyPosition>(world, c, roles, mining));
            }
            ASSERT_EQ(bot_cells::ladder_position_is_valid<NearSearchBox>(world, c, roles),
                      bot_cells::ladder_position_is_valid<AnyPosition>(world, c, roles));
            ASSERT_EQ(bot_cells::tunnel_touches_lava<NearSearchBox>(world, c),
                      bot_cells::tunnel_touches_lava<AnyPosition>(world, c));
          }
    }
  }
}

}  // namespace
}  // namespace tessmark
