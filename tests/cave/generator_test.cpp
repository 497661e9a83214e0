#include "cave/generator.hpp"

#include <gtest/gtest.h>

#include <array>

#include "world/catalogue.hpp"

namespace tessmark {
namespace {

std::array<std::size_t, 256> block_counts(const std::vector<BlockId>& blocks) {
  std::array<std::size_t, 256> n{};
  for (BlockId b : blocks) ++n[b];
  return n;
}

TEST(CaveMap, KnownBlockCounts) {
  struct Case {
    std::int32_t ore_factor, seed;
    std::size_t air, dirt, ore, low, high, rock, lava;
  };
  const Case cases[] = {
      {0, 1, 81231, 163566, 0, 472, 10, 16838, 27},
      {12, 424242, 76547, 155070, 14252, 351, 9, 15896, 19},
  };
  for (const Case& c : cases) {
    World w;
    EXPECT_TRUE(generate_cave_map(w, true, c.ore_factor, c.seed));
    const auto n = block_counts(w.blocks);
    EXPECT_EQ(n[id(Block::Air)], c.air);
    EXPECT_EQ(n[id(Block::Dirt)], c.dirt);
    EXPECT_EQ(n[id(Block::Ore)], c.ore);
    EXPECT_EQ(n[id(Block::PreciousLow)], c.low);
    EXPECT_EQ(n[id(Block::PreciousHigh)], c.high);
    EXPECT_EQ(n[id(Block::HardRock)], c.rock);
    EXPECT_EQ(n[id(Block::Lava)], c.lava);
    EXPECT_EQ(w.lava_count, c.lava);
  }
}

TEST(CaveMap, SameArgumentsSameWorld) {
  const auto a = generate_world_blocks(64, true, 3, 99);
  EXPECT_EQ(generate_world_blocks(64, true, 3, 99), a);
  EXPECT_EQ(generate_world_blocks(64, true, 3, -99), a);
  EXPECT_NE(generate_world_blocks(64, true, 3, 98), a);
  // Ore walks draw from the sequence, so every later pass moves too.
  EXPECT_NE(generate_world_blocks(64, true, 4, 99), a);
}

TEST(CaveMap, NonPositiveOreFactorMeansNoOre) {
  const auto none = generate_world_blocks(64, true, 0, 5);
  for (std::int32_t ore_factor : {0, -1, -2147483647 - 1}) {
    World w;
    generate_cave_map(w, true, ore_factor, 5);
    EXPECT_EQ(w.blocks, none) << ore_factor;
  }
}

TEST(CaveMap, WorldFrameTurnsDepthIntoHeight) {
  const auto cave = generate_cave_system(64, false, 2, 17);
  const auto world = generate_world_blocks(64, false, 2, 17);
  for (int z = 0; z < 64; ++z)
    for (int y = 0; y < 64; ++y)
      for (int x = 0; x < 64; ++x)
        ASSERT_EQ(world[static_cast<std::size_t>(cell_index(x, y, z))],
                  cave[static_cast<std::size_t>(x + 64 * z + 4096 * (63 - y))]);
}

// Lava is the last pass: without it the world is the same except for the
// lava sources and the hard-rock caps over them.
TEST(CaveMap, LavaSourcesSitUnderCapsAboveTheBottomLayer) {
  for (std::int32_t seed : {1, 424242, -77, 2024}) {
    const auto dry = generate_world_blocks(64, false, 1, seed);
    const auto wet = generate_world_blocks(64, true, 1, seed);
    EXPECT_EQ(block_counts(dry)[id(Block::Lava)], 0u);
    std::size_t lava = 0;
    for (int i = 0; i < kCellCount; ++i) {
      const auto u = static_cast<std::size_t>(i);
      const Cell c = cell_at_index(i);
      if (is_lava(wet[u])) {
        ++lava;
        EXPECT_GT(c.y, 0) << seed;
      }
      if (dry[u] == wet[u]) continue;
      const bool cap = is(wet[u], Block::HardRock) && c.y > 0 &&
                       is_lava(wet[static_cast<std::size_t>(cell_index(c.x, c.y - 1, c.z))]);
      EXPECT_TRUE(is_lava(wet[u]) || cap) << seed << " at " << c.x << "," << c.y << "," << c.z;
    }
    EXPECT_GE(lava, 1u) << seed;
    EXPECT_LE(lava, 32u) << seed;
  }
}

// A spread of seeds, including the sign and range extremes, through both lava
// settings: only generator ids come out (the sanitizer build checks bounds).
TEST(CaveMap, OnlyGeneratorBlocksForASpreadOfSeeds) {
  for (std::int32_t seed : {0, 3, 161803398, 200000000, 2147483647, -2147483647 - 1}) {
    for (bool lava : {false, true}) {
      const auto n = block_counts(generate_world_blocks(64, lava, 2, seed));
      std::size_t known = 0;
      for (Block b : {Block::Air, Block::Dirt, Block::Ore, Block::PreciousLow, Block::PreciousHigh,
                      Block::HardRock, Block::Lava})
        known += n[id(b)];
      EXPECT_EQ(known, static_cast<std::size_t>(kCellCount)) << seed;
    }
  }
}

TEST(CaveMap, RegeneratingTheSameWorldLeavesNothingDirty) {
  World w;
  generate_cave_map(w, true, 2, 8);
  w.take_dirty_regions();
  EXPECT_TRUE(generate_cave_map(w, true, 2, 8));
  EXPECT_TRUE(w.take_dirty_regions().empty());
  EXPECT_TRUE(generate_cave_map(w, true, 2, 9));
  EXPECT_FALSE(w.take_dirty_regions().empty());
}

}  // namespace
}  // namespace tessmark
