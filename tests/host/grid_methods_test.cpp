// The seven grid methods through the engine, each by pointer call and by
// variant call.

#include <cstdint>
#include <vector>

#include "host_fixture.hpp"

namespace tessmark::host {
namespace {

constexpr std::int64_t kLava = 19;
constexpr int kCells = 64 * 64 * 64;

std::vector<std::int32_t> all_regions() {
  std::vector<std::int32_t> regions;
  for (int r = 0; r < 64; ++r) regions.push_back(r);
  return regions;
}

class GridMethods : public HostTest, public ::testing::WithParamInterface<CallPath> {
 protected:
  Value run(const std::string& method, const std::vector<Value>& args = {}) {
    return invoke(GetParam(), method, args);
  }
};

TEST_P(GridMethods, FreshWorldHasNoLavaAndEveryRegionDirtyOnce) {
  EXPECT_EQ(run("lava_count").as_int(), 0);
  EXPECT_EQ(run("take_dirty_regions").int32_values(), all_regions());
  EXPECT_EQ(run("take_dirty_regions").int32_values(), std::vector<std::int32_t>{});
  EXPECT_EQ(run("block_at", {5, 5, 5}).as_int(), 0);
}

TEST_P(GridMethods, BlockIdsKeepTheLowEightBits) {
  EXPECT_TRUE(run("set_block", {5, 5, 5, 257}).as_bool());
  EXPECT_EQ(run("block_at", {5, 5, 5}).as_int(), 1);
  EXPECT_TRUE(run("set_block", {5, 5, 5, 275}).as_bool());
  EXPECT_EQ(run("block_at", {5, 5, 5}).as_int(), kLava);
  EXPECT_EQ(run("lava_count").as_int(), 1);
  EXPECT_TRUE(run("set_block", {5, 5, 5, -1}).as_bool());
  EXPECT_EQ(run("block_at", {5, 5, 5}).as_int(), 255);
  EXPECT_EQ(run("lava_count").as_int(), 0);
}

TEST_P(GridMethods, BorderAndOutsideCellsAreNotWritten) {
  EXPECT_FALSE(run("set_block", {0, 5, 5, 1}).as_bool());
  EXPECT_FALSE(run("set_block", {5, 5, -1, 1}).as_bool());
  EXPECT_FALSE(run("set_block", {5, 63, 5, 1}).as_bool());
  run("reset_empty", {1});
  EXPECT_EQ(run("block_at", {0, 5, 5}).as_int(), 0);
  EXPECT_EQ(run("block_at", {1, 5, 5}).as_int(), 1);
}

TEST_P(GridMethods, ResetEmptyFillsWithTheLowByte) {
  run("take_dirty_regions");
  run("reset_empty", {275});
  EXPECT_EQ(run("lava_count").as_int(), kCells);
  EXPECT_EQ(run("block_at", {30, 30, 30}).as_int(), kLava);
  EXPECT_EQ(run("take_dirty_regions").int32_values(), all_regions());
}

TEST_P(GridMethods, LoadBlocksTakesExactlyOneGrid) {
  std::vector<std::uint8_t> grid(kCells, 0);
  grid[5 + 64 * 5 + 4096 * 5] = 19;
  grid[0] = 19;  // border bytes are stored and counted
  run("take_dirty_regions");
  EXPECT_TRUE(run("load_blocks", {Value::bytes(grid)}).as_bool());
  EXPECT_EQ(run("block_at", {5, 5, 5}).as_int(), kLava);
  EXPECT_EQ(run("lava_count").as_int(), 2);
  EXPECT_EQ(run("take_dirty_regions").int32_values(), std::vector<std::int32_t>{0});

  grid.pop_back();
  EXPECT_FALSE(run("load_blocks", {Value::bytes(grid)}).as_bool());
  EXPECT_FALSE(run("load_blocks", {Value::bytes({})}).as_bool());
  EXPECT_EQ(run("lava_count").as_int(), 2);
  EXPECT_EQ(run("take_dirty_regions").int32_values(), std::vector<std::int32_t>{});
}

TEST_P(GridMethods, VirusFlagChangesNoCellAndNoDirtyFlag) {
  run("take_dirty_regions");
  run("set_tessmark_virus", {true});
  EXPECT_EQ(run("take_dirty_regions").int32_values(), std::vector<std::int32_t>{});
  EXPECT_EQ(run("lava_count").as_int(), 0);
}

INSTANTIATE_TEST_SUITE_P(BothCallPaths, GridMethods, ::testing::ValuesIn(kBothPaths),
                         call_path_name);

}  // namespace
}  // namespace tessmark::host
