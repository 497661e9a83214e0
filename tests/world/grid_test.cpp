#include "world/grid.hpp"

#include <gtest/gtest.h>

#include <vector>

#include "world/catalogue.hpp"

namespace tessmark {
namespace {

using Regions = std::vector<std::int32_t>;

World collected_world() {
  World w;
  w.take_dirty_regions();
  return w;
}

int count_lava(const World& w) {
  int n = 0;
  for (BlockId b : w.blocks) n += is_lava(b);
  return n;
}

TEST(Grid, NewWorldIsAirWithEveryRegionDirtyOnce) {
  World w;
  EXPECT_EQ(w.lava_count, 0u);
  EXPECT_FALSE(w.tessmark_virus);
  EXPECT_TRUE(w.lava_ignites_fuel);
  EXPECT_TRUE(w.plug_converts_lava);
  EXPECT_FALSE(w.lava_spreads_on_lava);
  for (int i = 0; i < kCellCount; ++i) ASSERT_EQ(w.at(i), 0);
  Regions all(64);
  for (int r = 0; r < 64; ++r) all[static_cast<std::size_t>(r)] = r;
  EXPECT_EQ(w.take_dirty_regions(), all);
  EXPECT_EQ(w.take_dirty_regions(), Regions{});
}

TEST(Grid, IndexAndRegionNumbering) {
  EXPECT_EQ(cell_index(1, 2, 3), 1 + 64 * 2 + 4096 * 3);
  EXPECT_EQ(cell_at_index(cell_index(7, 63, 12)), (Cell{7, 63, 12}));
  EXPECT_EQ(region_of(15, 15, 15), 0);
  EXPECT_EQ(region_of(16, 0, 0), 1);
  EXPECT_EQ(region_of(0, 16, 0), 4);
  EXPECT_EQ(region_of(0, 0, 16), 16);
  EXPECT_EQ(region_of(63, 63, 63), 63);
  for (int r = 0; r < kRegionCount; ++r) {
    const Cell o = region_origin(r);
    EXPECT_EQ(region_of(o.x, o.y, o.z), r);
    EXPECT_EQ(region_of(o.x + 15, o.y + 15, o.z + 15), r);
  }
}

// A change marks its own region and the face-adjacent regions across each
// region face the cell touches, never diagonal ones.
TEST(Grid, SetBlockMarksOwnAndFaceAdjacentRegions) {
  struct Case {
    Cell cell;
    Regions expected;
  };
  const Case cases[] = {
      {{1, 1, 1}, {0}},
      {{15, 1, 1}, {0, 1}},
      {{16, 1, 1}, {0, 1}},
      {{15, 15, 15}, {0, 1, 4, 16}},
      {{62, 62, 62}, {63}},
      {{48, 32, 31}, {23, 26, 27, 43}},
  };
  for (const Case& c : cases) {
    World w = collected_world();
    EXPECT_TRUE(w.set_block(c.cell.x, c.cell.y, c.cell.z, id(Block::HardRock)));
    EXPECT_EQ(w.take_dirty_regions(), c.expected) << c.cell.x << "," << c.cell.y << "," << c.cell.z;
  }
}

TEST(Grid, MarkingSkipsNeighboursOutsideTheGrid) {
  World w = collected_world();
  w.mark_cell_and_neighbors_dirty(0, 0, 0);
  EXPECT_EQ(w.take_dirty_regions(), Regions{0});
  w.mark_cell_and_neighbors_dirty(-1, 5, 5);  // only (0, 5, 5) is inside
  EXPECT_EQ(w.take_dirty_regions(), Regions{0});
  w.mark_cell_and_neighbors_dirty(2147483647, -2147483647 - 1, 5);
  EXPECT_EQ(w.take_dirty_regions(), Regions{});
}

TEST(Grid, OutOfRangeCellsAreNeitherWrittenNorRead) {
  const Cell outside[] = {{0, 5, 5},  {63, 5, 5},  {5, 5, -1}, {5, 0, 5},
                          {5, 63, 5}, {5, 5, 64},  {-2147483647 - 1, 5, 5}, {5, 2147483647, 5}};
  World w = collected_world();
  w.reset_empty(id(Block::Dirt));
  w.take_dirty_regions();
  const World before = w;
  for (const Cell& c : outside) {
    EXPECT_FALSE(w.set_block(c.x, c.y, c.z, id(Block::Lava)));
    EXPECT_EQ(w.block_at(c.x, c.y, c.z), 0) << "border cells read as air";
  }
  EXPECT_EQ(w.blocks, before.blocks);
  EXPECT_EQ(w.lava_count, before.lava_count);
  EXPECT_EQ(w.take_dirty_regions(), Regions{});
}

TEST(Grid, LavaCounterFollowsWrites) {
  World w = collected_world();
  EXPECT_TRUE(w.set_block(5, 5, 5, id(Block::Lava)));
  EXPECT_EQ(w.lava_count, 1u);
  EXPECT_EQ(w.block_at(5, 5, 5), id(Block::Lava));
  w.take_dirty_regions();

  // Rewriting the same value changes nothing, but still counts as a write.
  EXPECT_TRUE(w.set_block(5, 5, 5, id(Block::Lava)));
  EXPECT_EQ(w.lava_count, 1u);
  EXPECT_EQ(w.take_dirty_regions(), Regions{});

  EXPECT_TRUE(w.set_block(5, 5, 5, id(Block::Air)));
  EXPECT_EQ(w.lava_count, 0u);

  // A counter already at zero does not wrap when lava placed behind its back goes.
  w.blocks[static_cast<std::size_t>(cell_index(6, 6, 6))] = id(Block::Lava);
  w.write_cell(6, 6, 6, id(Block::Dirt));
  EXPECT_EQ(w.lava_count, 0u);
}

TEST(Grid, AnyByteCanBeStored) {
  World w;
  for (int v : {22, 200, 255}) {
    EXPECT_TRUE(w.set_block(3, 4, 5, static_cast<BlockId>(v)));
    EXPECT_EQ(w.block_at(3, 4, 5), v);
  }
}

TEST(Grid, ResetEmptyFillsBorderAndRestatesCounter) {
  World w = collected_world();
  w.tessmark_virus = true;
  w.reset_empty(id(Block::Lava));
  EXPECT_EQ(w.lava_count, 262144u);
  EXPECT_EQ(w.take_dirty_regions().size(), 64u);
  EXPECT_TRUE(w.tessmark_virus) << "reset leaves the mode alone";

  w.reset_empty(id(Block::Dirt));
  EXPECT_EQ(w.lava_count, 0u);
  EXPECT_EQ(w.at(0, 0, 0), id(Block::Dirt));
  EXPECT_EQ(w.block_at(0, 0, 0), 0);
  EXPECT_EQ(w.block_at(1, 1, 1), id(Block::Dirt));
}

TEST(Grid, LoadBlocksRefusesWrongLengths) {
  World w = collected_world();
  w.set_block(9, 9, 9, id(Block::Lava));
  w.take_dirty_regions();
  const World before = w;
  for (std::size_t n : {std::size_t{0}, std::size_t{262143}, std::size_t{262145}}) {
    std::vector<BlockId> data(n, id(Block::Dirt));
    EXPECT_FALSE(w.load_blocks(data)) << n;
  }
  EXPECT_EQ(w.blocks, before.blocks);
  EXPECT_EQ(w.lava_count, 1u);
  EXPECT_EQ(w.take_dirty_regions(), Regions{});
}

TEST(Grid, LoadBlocksMarksOnlyChangedCells) {
  World w = collected_world();
  std::vector<BlockId> data(w.blocks);
  EXPECT_TRUE(w.load_blocks(data));
  EXPECT_EQ(w.take_dirty_regions(), Regions{}) << "identical data marks nothing";

  data[static_cast<std::size_t>(cell_index(15, 15, 15))] = id(Block::Ore);
  EXPECT_TRUE(w.load_blocks(data));
  EXPECT_EQ(w.take_dirty_regions(), (Regions{0, 1, 4, 16}));
}

TEST(Grid, LoadBlocksStoresBorderAndUnnamedIdsAndCountsAllLava) {
  World w = collected_world();
  std::vector<BlockId> data(kCellCount, 0);
  data[static_cast<std::size_t>(cell_index(0, 0, 0))] = id(Block::Lava);
  data[static_cast<std::size_t>(cell_index(63, 10, 10))] = 250;
  data[static_cast<std::size_t>(cell_index(30, 30, 30))] = id(Block::Lava);
  EXPECT_TRUE(w.load_blocks(data));
  EXPECT_EQ(w.blocks, data);
  EXPECT_EQ(w.lava_count, 2u);
  EXPECT_EQ(w.lava_count, static_cast<std::uint64_t>(count_lava(w)));
  EXPECT_EQ(w.take_dirty_regions(), (Regions{0, 3, 21}));
}

TEST(Grid, VirusFlagTouchesNoCellOrFlag) {
  World w = collected_world();
  const World before = w;
  w.tessmark_virus = true;
  EXPECT_EQ(w.blocks, before.blocks);
  EXPECT_EQ(w.take_dirty_regions(), Regions{});
}

TEST(Grid, WorldIsAnIndependentCopy) {
  World a;
  World b = a;
  a.set_block(5, 5, 5, id(Block::Lava));
  EXPECT_EQ(b.block_at(5, 5, 5), 0);
  EXPECT_EQ(b.lava_count, 0u);
}

TEST(Grid, CellOfPointFloorsAndSaturates) {
  const float inf = std::numeric_limits<float>::infinity();
  const float nan = std::numeric_limits<float>::quiet_NaN();
  EXPECT_EQ(cell_of_point(1.5f, -0.5f, 0.0f), (Cell{1, -1, 0}));
  EXPECT_EQ(cell_of_point(nan, inf, -inf), (Cell{0, 2147483647, -2147483647 - 1}));
  EXPECT_EQ(cell_of_point(3e9f, -3e9f, -2147483648.0f), (Cell{2147483647, -2147483647 - 1, -2147483647 - 1}));
  EXPECT_EQ(trunc_sat_usize(-1.0f), 0u);
  EXPECT_EQ(trunc_sat_usize(nan), 0u);
  EXPECT_EQ(trunc_sat_usize(7.9f), 7u);
}

}  // namespace
}  // namespace tessmark
