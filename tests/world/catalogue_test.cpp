#include "world/catalogue.hpp"

#include <gtest/gtest.h>

namespace tessmark {
namespace {

TEST(Catalogue, NamesAndValues) {
  EXPECT_EQ(id(Block::Air), 0);
  EXPECT_EQ(id(Block::HardRock), 5);
  EXPECT_EQ(id(Block::Explosive), 7);
  EXPECT_EQ(id(Block::LavaPlug), 14);
  EXPECT_EQ(id(Block::Bedrock), 17);
  EXPECT_EQ(id(Block::Lava), 19);
  EXPECT_EQ(id(Block::Team2Gate), 21);
  EXPECT_EQ(kNamedBlockCount, 22);
}

TEST(Catalogue, GunCostsForEveryId) {
  for (int v = 0; v < 256; ++v) {
    std::int64_t expected = 1000;
    if (v == 6 || v == 8 || v == 20 || v == 21) expected = 25;
    if (v == 7) expected = 100;
    if (v >= 9 && v <= 13) expected = 50;
    if (v >= 14 && v <= 16) expected = 10;
    EXPECT_EQ(gun_cost(static_cast<BlockId>(v)), expected) << v;
  }
}

TEST(Catalogue, TeamPlacementRestrictions) {
  for (int v = 0; v < 256; ++v) {
    const auto b = static_cast<BlockId>(v);
    EXPECT_EQ(team_may_place(1, b), v != 11 && v != 13 && v != 16) << v;
    EXPECT_EQ(team_may_place(2, b), v != 10 && v != 12 && v != 15) << v;
    EXPECT_TRUE(team_may_place(0, b));
    EXPECT_TRUE(team_may_place(3, b));
    EXPECT_TRUE(team_may_place(-1, b));
  }
}

TEST(Catalogue, BlastSetsPartitionTheNamedIds) {
  const int cleared[] = {1, 2, 5, 6, 8, 9, 14, 15, 16, 18, 19, 20, 21};
  const int proof[] = {3, 4, 10, 11, 12, 13, 17};
  for (int v : cleared) EXPECT_TRUE(is_cleared_by_blast(static_cast<BlockId>(v))) << v;
  for (int v : proof) {
    EXPECT_TRUE(is_blast_proof(static_cast<BlockId>(v))) << v;
    EXPECT_FALSE(is_cleared_by_blast(static_cast<BlockId>(v))) << v;
  }
  for (int v : {0, 7, 22, 255}) EXPECT_FALSE(is_cleared_by_blast(static_cast<BlockId>(v))) << v;
  EXPECT_TRUE(is_explosive(7));
}

TEST(Catalogue, ValuesDifferBetweenPickaxeAndRadar) {
  EXPECT_EQ(precious_cash_value(id(Block::PreciousLow)), 100);
  EXPECT_EQ(precious_cash_value(id(Block::PreciousHigh)), 1000);
  EXPECT_EQ(radar_value(id(Block::PreciousLow)), 200);
  EXPECT_EQ(radar_value(id(Block::PreciousHigh)), 1000);
  EXPECT_EQ(radar_value(id(Block::Ore)), 0);
  EXPECT_EQ(precious_cash_value(id(Block::Ore)), 0);
}

TEST(Catalogue, GatesByTeam) {
  const BlockId gate1 = id(Block::Team1Gate), gate2 = id(Block::Team2Gate);
  EXPECT_FALSE(bot_can_stand_on(1, gate1));
  EXPECT_TRUE(bot_can_stand_on(2, gate1));
  EXPECT_TRUE(bot_body_fits(1, gate1));
  EXPECT_FALSE(bot_body_fits(2, gate1));
  EXPECT_TRUE(bot_body_fits(2, gate2));
  EXPECT_FALSE(collides_for_team(1, gate1));
  EXPECT_TRUE(collides_for_team(2, gate1));
  EXPECT_TRUE(collides_for_team(0, gate1));
  EXPECT_TRUE(collides_for_team(1, id(Block::Lava)));
  EXPECT_FALSE(bot_can_stand_on(1, id(Block::Lava)));
  EXPECT_FALSE(bot_can_stand_on(1, id(Block::Air)));
  EXPECT_TRUE(bot_can_stand_on(1, 22));
  EXPECT_FALSE(bot_body_fits(1, 22));
}

TEST(Catalogue, DiggingAndWorkCells) {
  for (int v = 0; v < 256; ++v) {
    const auto b = static_cast<BlockId>(v);
    const bool dig = v == 1 || v == 2 || v == 3 || v == 4 || v == 18;
    EXPECT_EQ(bot_can_dig(b), dig) << v;
    EXPECT_EQ(is_minable_work_cell(b), dig || v == 19) << v;
  }
}

}  // namespace
}  // namespace tessmark
