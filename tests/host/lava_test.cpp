// The lava step through the engine, by pointer call and by variant call.

#include <cstdint>
#include <vector>

#include "host_fixture.hpp"

namespace tessmark::host {
namespace {

constexpr std::int64_t kLava = 19;

class LavaMethods : public HostTest, public ::testing::WithParamInterface<CallPath> {
 protected:
  Value run(const std::string& method, const std::vector<Value>& args = {}) {
    return invoke(GetParam(), method, args);
  }
};

TEST_F(HostTest, LavaStepTakesNothingAndReturnsNothing) {
  const MethodRecord& step = host.method("TessmarkWorld", "do_lava_stuff");
  EXPECT_EQ(step.flags, 1u) << "a normal method: it writes the world";
  EXPECT_FALSE(step.has_return);
  EXPECT_TRUE(step.arguments.empty());
}

TEST_P(LavaMethods, StepMovesLavaAndMarksItsRegion) {
  run("take_dirty_regions");
  EXPECT_TRUE(run("set_block", {10, 20, 10, kLava}).as_bool());
  run("take_dirty_regions");
  EXPECT_TRUE(run("do_lava_stuff").is_nil());
  EXPECT_EQ(run("block_at", {10, 19, 10}).as_int(), kLava);
  EXPECT_EQ(run("block_at", {10, 20, 10}).as_int(), kLava);
  EXPECT_EQ(run("lava_count").as_int(), 2);
  EXPECT_EQ(run("take_dirty_regions").int32_values(), std::vector<std::int32_t>{4});
}

TEST_P(LavaMethods, VirusSwitchesTheRulesFromTheNextStep) {
  EXPECT_TRUE(run("set_block", {10, 10, 10, kLava}).as_bool());
  run("set_tessmark_virus", {Value(true)});
  run("do_lava_stuff");
  EXPECT_EQ(run("lava_count").as_int(), 7) << "grown into all six neighbours";
  EXPECT_EQ(run("block_at", {10, 11, 10}).as_int(), kLava);

  run("set_tessmark_virus", {Value(false)});
  run("do_lava_stuff");
  // Back to falling: the five cells with air below drop, nothing rises.
  EXPECT_EQ(run("lava_count").as_int(), 12);
  EXPECT_EQ(run("block_at", {9, 9, 10}).as_int(), kLava);
  EXPECT_EQ(run("block_at", {10, 12, 10}).as_int(), 0);
}

INSTANTIATE_TEST_SUITE_P(BothCallPaths, LavaMethods, ::testing::ValuesIn(kBothPaths),
                         call_path_name);

}  // namespace
}  // namespace tessmark::host
