// generate_cave_map through the engine, by pointer call and by variant call.

#include <array>
#include <cstdint>
#include <vector>

#include "host_fixture.hpp"

namespace tessmark::host {
namespace {

class GenerationMethods : public HostTest, public ::testing::WithParamInterface<CallPath> {
 protected:
  Value run(const std::string& method, const std::vector<Value>& args = {}) {
    return invoke(GetParam(), method, args);
  }

  // Scripts read interior cells only, so these are the counts of the 62^3
  // interior of the world.
  std::array<int, 256> interior_counts() {
    std::array<int, 256> n{};
    for (int z = 1; z < 63; ++z)
      for (int y = 1; y < 63; ++y)
        for (int x = 1; x < 63; ++x)
          ++n[static_cast<std::size_t>(run("block_at", {x, y, z}).as_int())];
    return n;
  }
};

TEST_P(GenerationMethods, ReplacesTheWorldWithTheSeededCave) {
  run("take_dirty_regions");
  EXPECT_TRUE(run("generate_cave_map", {Value(true), 12, 424242}).as_bool());
  EXPECT_EQ(run("lava_count").as_int(), 19);
  EXPECT_EQ(run("take_dirty_regions").int32_values().size(), 64u);
  std::array<int, 256> expected{};
  expected[0] = 67687;   // Air
  expected[1] = 141171;  // Dirt
  expected[2] = 14059;   // Ore
  expected[3] = 324;     // PreciousLow
  expected[4] = 8;       // PreciousHigh
  expected[5] = 15062;   // HardRock
  expected[19] = 17;     // Lava
  EXPECT_EQ(interior_counts(), expected);
}

TEST_P(GenerationMethods, SameArgumentsLeaveTheWorldAsItWas) {
  EXPECT_TRUE(run("generate_cave_map", {Value(false), -4, 7}).as_bool());
  run("take_dirty_regions");
  EXPECT_TRUE(run("generate_cave_map", {Value(false), 0, -7}).as_bool());
  EXPECT_EQ(run("take_dirty_regions").int32_values(), std::vector<std::int32_t>{});
  EXPECT_EQ(run("lava_count").as_int(), 0);
  EXPECT_TRUE(run("generate_cave_map", {Value(true), 0, 1}).as_bool());
  EXPECT_EQ(run("lava_count").as_int(), 27);
}

INSTANTIATE_TEST_SUITE_P(BothCallPaths, GenerationMethods, ::testing::ValuesIn(kBothPaths),
                         call_path_name);

TEST_F(HostTest, GenerateCaveMapRefusesMissingArguments) {
  CallError error;
  host.call(world, "generate_cave_map", {Value(true), 3}, &error);
  EXPECT_EQ(error.error, kCallTooFewArguments);
  EXPECT_EQ(host.ptrcall(world, "lava_count", {}).as_int(), 0);
}

}  // namespace
}  // namespace tessmark::host
