#include "world/tools.hpp"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

#include "world/catalogue.hpp"

namespace tessmark {
namespace {

// The player stands at (10.5, 10.5, 10.5) looking along +x at (11, 10, 10),
// half a cell away; (10, 10, 10) is the empty cell in front of it.
constexpr Vec3 kEye{10.5f, 10.5f, 10.5f};
constexpr Vec3 kEast{1.0f, 0.0f, 0.0f};
constexpr Cell kTarget{11, 10, 10};
constexpr Cell kFront{10, 10, 10};

World world_with_target(BlockId block) {
  World world;
  world.set_block(kTarget.x, kTarget.y, kTarget.z, block);
  world.take_dirty_regions();
  return world;
}

void expect_nothing_aimed_at(const ToolResult& r) {
  EXPECT_FALSE(r.hit);
  EXPECT_FALSE(r.place);
  EXPECT_FALSE(r.changed);
  EXPECT_EQ(r.block_type, 0);
  EXPECT_EQ(r.ore, 0);
  EXPECT_EQ(r.cash, 0);
  EXPECT_EQ(r.weight, 0);
  EXPECT_EQ(r.cost, 0);
}

TEST(Pickaxe, ByBlockAndCarry) {
  struct Case {
    std::string name;
    BlockId block;
    bool mine_lava;
    std::uint32_t ore, ore_max, weight, weight_max;
    bool removed;
    std::int32_t ore_gain, cash, weight_gain;
  };
  const BlockId dirt = id(Block::Dirt), ore = id(Block::Ore), low = id(Block::PreciousLow),
                high = id(Block::PreciousHigh), lava = id(Block::Lava);
  const Case cases[] = {
      {"dirt", dirt, false, 0, 0, 0, 0, true, 0, 0, 0},
      {"rubble", id(Block::Rubble), false, 0, 0, 0, 0, true, 0, 0, 0},
      {"ore, room for 5", ore, false, 95, 100, 0, 0, true, 5, 0, 0},
      {"ore, full", ore, false, 100, 100, 0, 0, true, 0, 0, 0},
      {"ore, over full", ore, false, 150, 100, 0, 0, true, 0, 0, 0},
      {"ore, plenty of room", ore, false, 0, 1000, 0, 0, true, 20, 0, 0},
      {"ore, room for exactly 20", ore, false, 80, 100, 0, 0, true, 20, 0, 0},
      {"ore, largest amounts", ore, false, 0, std::numeric_limits<std::uint32_t>::max(), 0, 0, true, 20, 0, 0},
      {"precious low", low, false, 0, 0, 0, 3, true, 0, 100, 1},
      {"precious high", high, false, 0, 0, 2, 3, true, 0, 1000, 1},
      {"precious high at weight limit", high, false, 0, 0, 3, 3, false, 0, 0, 0},
      {"precious low over weight limit", low, false, 0, 0, 9, 3, false, 0, 0, 0},
      {"lava, not allowed", lava, false, 0, 0, 0, 0, false, 0, 0, 0},
      {"lava, allowed", lava, true, 0, 0, 0, 0, true, 0, 0, 0},
      {"hard rock", id(Block::HardRock), true, 0, 100, 0, 3, false, 0, 0, 0},
      {"ladder", id(Block::Ladder), true, 0, 100, 0, 3, false, 0, 0, 0},
      {"explosive", id(Block::Explosive), true, 0, 100, 0, 3, false, 0, 0, 0},
      {"bedrock", id(Block::Bedrock), true, 0, 100, 0, 3, false, 0, 0, 0},
      {"team 1 gate", id(Block::Team1Gate), true, 0, 100, 0, 3, false, 0, 0, 0},
      {"team 2 gate", id(Block::Team2Gate), true, 0, 100, 0, 3, false, 0, 0, 0},
      {"unnamed id", 22, true, 0, 100, 0, 3, false, 0, 0, 0},
      {"largest id", 255, true, 0, 100, 0, 3, false, 0, 0, 0},
  };
  for (const Case& c : cases) {
    World world = world_with_target(c.block);
    const std::uint64_t lava_before = world.lava_count;
    const ToolResult r = use_pickaxe(world, kEye, kEast, c.mine_lava, c.ore, c.ore_max, c.weight, c.weight_max);
    EXPECT_EQ(r.hit, kTarget) << c.name;
    EXPECT_EQ(r.place, kFront) << c.name;
    EXPECT_EQ(r.block_type, c.block) << c.name;
    EXPECT_EQ(r.changed, c.removed) << c.name;
    EXPECT_EQ(r.ore, c.ore_gain) << c.name;
    EXPECT_EQ(r.cash, c.cash) << c.name;
    EXPECT_EQ(r.weight, c.weight_gain) << c.name;
    EXPECT_EQ(r.cost, 0) << c.name;
    EXPECT_EQ(world.at(cell_index(kTarget)), c.removed ? id(Block::Air) : c.block) << c.name;
    EXPECT_EQ(world.lava_count, c.removed && c.block == lava ? lava_before - 1 : lava_before) << c.name;
    EXPECT_EQ(world.take_dirty_regions().empty(), !c.removed) << c.name;
  }
}

TEST(Pickaxe, ReachesTwoCells) {
  // The near face of (13, 10, 10) is 2.5 away: beyond the pickaxe, within the gun.
  World world;
  world.set_block(13, 10, 10, id(Block::Dirt));
  expect_nothing_aimed_at(use_pickaxe(world, kEye, kEast, false, 0, 100, 0, 3));
  EXPECT_EQ(world.at(13, 10, 10), id(Block::Dirt));
  const ToolResult gun = use_construction_gun(world, kEye, kEast, id(Block::GreenBlock), 1, 100, 100, false);
  EXPECT_TRUE(gun.changed);
  EXPECT_EQ(world.at(12, 10, 10), id(Block::GreenBlock));
}

TEST(Pickaxe, ClearingOnARegionFaceMarksBothRegions) {
  World world;
  world.set_block(16, 20, 20, id(Block::Dirt));
  world.take_dirty_regions();
  const ToolResult r = use_pickaxe(world, {15.5f, 20.5f, 20.5f}, kEast, false, 0, 0, 0, 0);
  EXPECT_TRUE(r.changed);
  EXPECT_EQ(world.take_dirty_regions(), (std::vector<std::int32_t>{20, 21}));
}

TEST(Tools, AimingAtNothingOrWithBrokenInput) {
  constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
  constexpr float kInf = std::numeric_limits<float>::infinity();
  struct Aim {
    Vec3 origin, direction;
  };
  const Aim aims[] = {
      {kEye, {-1.0f, 0.0f, 0.0f}},  // open air behind the player
      {kEye, {0.0f, 0.0f, 0.0f}},
      {{kNaN, kNaN, kNaN}, kEast},
      {kEye, {kNaN, 0.0f, 0.0f}},
      {{kInf, 10.5f, 10.5f}, {-1.0f, 0.0f, 0.0f}},
      {kEye, {kInf, kInf, 0.0f}},
  };
  for (const Aim& a : aims) {
    World world = world_with_target(id(Block::Dirt));
    expect_nothing_aimed_at(use_pickaxe(world, a.origin, a.direction, true, 0, 100, 0, 3));
    expect_nothing_aimed_at(
        use_construction_gun(world, a.origin, a.direction, id(Block::Ladder), 1, 1000, 1000, true));
    EXPECT_EQ(world.at(cell_index(kTarget)), id(Block::Dirt));
    EXPECT_EQ(world.at(cell_index(kFront)), id(Block::Air));
    EXPECT_TRUE(world.take_dirty_regions().empty());
  }
}

TEST(ConstructionGun, PriceTeamAndPlacement) {
  struct Case {
    std::string name;
    BlockId requested;
    std::int32_t team;
    std::uint32_t ore, ore_max;
    bool sandbox;
    bool placed;
    std::int32_t cost;
  };
  const Case cases[] = {
      {"explosive, one short", id(Block::Explosive), 1, 99, 1000, false, false, 100},
      {"explosive, exactly affordable", id(Block::Explosive), 1, 100, 1000, false, true, 100},
      {"ladder", id(Block::Ladder), 1, 25, 25, false, true, 25},
      {"lava plug", id(Block::LavaPlug), 2, 10, 10, false, true, 10},
      {"sandbox waives an affordable price", id(Block::Explosive), 1, 0, 500, true, true, 0},
      {"sandbox keeps a price above the maximum", id(Block::Bedrock), 1, 0, 500, true, false, 1000},
      {"sandbox price above the maximum, paid", id(Block::Bedrock), 1, 1000, 500, true, true, 1000},
      {"sandbox price equal to the maximum", id(Block::Bedrock), 1, 0, 1000, true, true, 0},
      {"team 1 may not place team 2 armor", id(Block::Team2Armor), 1, 1000, 1000, false, false, 50},
      {"team 1 may not place team 2 wall", id(Block::Team2Wall), 1, 1000, 1000, false, false, 50},
      {"team 1 may not place team 2 block", id(Block::Team2Block), 1, 1000, 1000, false, false, 10},
      {"team 2 may not place team 1 armor", id(Block::Team1Armor), 2, 1000, 1000, false, false, 50},
      {"team 2 may not place team 1 wall", id(Block::Team1Wall), 2, 1000, 1000, false, false, 50},
      {"team 2 may not place team 1 block", id(Block::Team1Block), 2, 1000, 1000, false, false, 10},
      {"team 1 places its own block", id(Block::Team1Block), 1, 1000, 1000, false, true, 10},
      {"team 3 places any team's block", id(Block::Team2Wall), 3, 1000, 1000, false, true, 50},
      {"team 0 places any team's block", id(Block::Team1Armor), 0, 1000, 1000, false, true, 50},
      {"team 1 places the other gate", id(Block::Team2Gate), 1, 1000, 1000, false, true, 25},
      {"unaffordable team block reports its price", id(Block::Team2Block), 1, 0, 0, false, false, 10},
      {"unnamed id", 22, 1, 1000, 1000, false, true, 1000},
      {"air costs 1000", id(Block::Air), 1, 1000, 1000, false, true, 1000},
      {"lava", id(Block::Lava), 1, 1000, 1000, false, true, 1000},
  };
  for (const Case& c : cases) {
    World world = world_with_target(id(Block::Dirt));
    const ToolResult r =
        use_construction_gun(world, kEye, kEast, c.requested, c.team, c.ore, c.ore_max, c.sandbox);
    EXPECT_EQ(r.hit, kTarget) << c.name;
    EXPECT_EQ(r.place, kFront) << c.name;
    EXPECT_EQ(r.block_type, c.requested) << c.name;
    EXPECT_EQ(r.changed, c.placed) << c.name;
    EXPECT_EQ(r.cost, c.cost) << c.name;
    EXPECT_EQ(r.ore + r.cash + r.weight, 0) << c.name;
    EXPECT_EQ(world.at(cell_index(kFront)), c.placed ? c.requested : id(Block::Air)) << c.name;
    EXPECT_EQ(world.at(cell_index(kTarget)), id(Block::Dirt)) << c.name;
    EXPECT_EQ(world.lava_count, c.placed && is_lava(c.requested) ? 1u : 0u) << c.name;
    // Placing Air changes nothing, so nothing needs a new mesh.
    EXPECT_EQ(world.take_dirty_regions().empty(), !c.placed || c.requested == id(Block::Air)) << c.name;
  }
}

TEST(ConstructionGun, NeverPlacesAgainstLavaOrWithoutRoom) {
  World lava = world_with_target(id(Block::Lava));
  ToolResult r = use_construction_gun(lava, kEye, kEast, id(Block::Dirt), 1, 1000, 1000, false);
  EXPECT_FALSE(r.changed);
  EXPECT_EQ(r.hit, kTarget);
  EXPECT_EQ(r.cost, 1000);
  EXPECT_EQ(lava.at(cell_index(kFront)), id(Block::Air));

  // From inside a solid cell there is no empty cell in front of the hit.
  World solid = world_with_target(id(Block::Dirt));
  solid.set_block(kFront.x, kFront.y, kFront.z, id(Block::Rubble));
  r = use_construction_gun(solid, kEye, kEast, id(Block::GreenBlock), 1, 1000, 1000, false);
  EXPECT_FALSE(r.changed);
  EXPECT_EQ(r.hit, kFront);
  EXPECT_FALSE(r.place);
  EXPECT_EQ(r.block_type, id(Block::GreenBlock));
  EXPECT_EQ(r.cost, 25);
  EXPECT_EQ(solid.at(cell_index(kFront)), id(Block::Rubble));
}

}  // namespace
}  // namespace tessmark
