// The bot methods through the engine, each by pointer call and by variant
// call: paths as packed vectors, resource targets as dictionaries with their
// keys in order and an Array[Dictionary] for the list.

#include <cstdint>
#include <string>
#include <vector>

#include "host_fixture.hpp"

namespace tessmark::host {
namespace {

constexpr std::uint8_t kDirt = 1, kOre = 2, kPreciousLow = 3, kPreciousHigh = 4, kHardRock = 5;

int cell(int x, int y, int z) { return x + 64 * y + 4096 * z; }

// A HardRock floor at y = 9 and a Dirt wall two cells high across the whole
// world at x = 20, with an ore block and two precious blocks on the floor.
std::vector<std::uint8_t> walled_floor() {
  std::vector<std::uint8_t> grid(64 * 64 * 64, 0);
  for (int z = 1; z <= 62; ++z) {
    for (int x = 1; x <= 62; ++x) grid[static_cast<std::size_t>(cell(x, 9, z))] = kHardRock;
    grid[static_cast<std::size_t>(cell(20, 10, z))] = kDirt;
    grid[static_cast<std::size_t>(cell(20, 11, z))] = kDirt;
  }
  grid[static_cast<std::size_t>(cell(10, 10, 30))] = kOre;
  grid[static_cast<std::size_t>(cell(10, 10, 10))] = kPreciousLow;
  grid[static_cast<std::size_t>(cell(40, 10, 10))] = kPreciousHigh;
  return grid;
}

// Where a bot standing on (x, 9, z) has its reference point.
Vec3 standing(int x, int z) {
  return {static_cast<float>(x) + 0.5f, (9.0f + 1.0f) + 0.95f, static_cast<float>(z) + 0.5f};
}

const std::vector<std::string> kTargetKeys{"found",         "resource_position", "work_position",
                                           "approach_position", "block_type",  "cash_value",
                                           "distance"};

class BotMethods : public HostTest, public ::testing::WithParamInterface<CallPath> {
 protected:
  void SetUp() override {
    HostTest::SetUp();
    const std::vector<std::uint8_t> grid = walled_floor();
    ASSERT_TRUE(run("load_blocks", {Value::bytes(grid)}).as_bool());
  }

  Value run(const std::string& method, const std::vector<Value>& args = {}) {
    return invoke(GetParam(), method, args);
  }

  Value resources(const std::string& method, Vec3 origin, std::vector<Vec3> avoid,
                  std::vector<Value> extra = {}) {
    std::vector<Value> args{Value(origin), Value::vector3s(avoid), Value(1.0), Value(2.0)};
    args.insert(args.end(), extra.begin(), extra.end());
    return run(method, args);
  }

  static void expect_target(const Value& d, Vec3i resource, Vec3 approach, std::int64_t block,
                            std::int64_t cash, double distance) {
    ASSERT_EQ(d.type(), kDictionary);
    EXPECT_EQ(d.keys(), kTargetKeys);
    EXPECT_EQ(d.at("found").type(), kBool);
    EXPECT_TRUE(d.at("found").as_bool());
    EXPECT_EQ(d.at("resource_position").as_vec3i(), resource);
    EXPECT_EQ(d.at("work_position").as_vec3i(), resource);
    EXPECT_EQ(d.at("approach_position").as_vec3(), approach);
    EXPECT_EQ(d.at("block_type").as_int(), block);
    EXPECT_EQ(d.at("cash_value").as_int(), cash);
    EXPECT_EQ(d.at("distance").as_float(), distance);
  }
};

TEST_P(BotMethods, PathsAsPackedVectors) {
  const Vec3 from = standing(15, 30);
  const Vec3 to{25.2f, 10.5f, 30.9f};  // off the centre of (25, 9, 30)
  EXPECT_EQ(run("find_bot_surface_path", {Value(from), Value(to), 1, 1000}).vec3_values(),
            std::vector<Vec3>{});
  std::vector<Vec3> through_the_wall;
  for (int x = 15; x < 25; ++x) through_the_wall.push_back(standing(x, 30));
  through_the_wall.push_back(to);
  EXPECT_EQ(run("find_bot_mining_path", {Value(from), Value(to), 1, 1000}).vec3_values(),
            through_the_wall);
  // A budget below 1 counts as 1: only the start's own cell is answered.
  EXPECT_EQ(run("find_bot_mining_path", {Value(from), Value(to), 1, -5}).vec3_values(),
            std::vector<Vec3>{});
  EXPECT_EQ(run("find_bot_surface_path", {Value(from), Value(from), 2, -5}).vec3_values(),
            std::vector<Vec3>{from});
}

TEST_P(BotMethods, BestTargetDictionaries) {
  // PreciousHigh 9 away outscores PreciousLow 19 away: 81 / 1000 < 361 / 100.
  expect_target(resources("find_accessible_precious_resource", standing(30, 10), {}),
                {40, 10, 10}, standing(39, 10), kPreciousHigh, 1000, 9.0);
  expect_target(resources("find_accessible_ore_resource", standing(30, 30), {}), {10, 10, 30},
                standing(11, 30), kOre, 0, 19.0);
  // Avoiding the ore block's centre leaves no ore at all.
  const Value none =
      resources("find_accessible_ore_resource", standing(30, 30), {{10.5f, 10.5f, 30.5f}});
  EXPECT_EQ(none.keys(), std::vector<std::string>{"found"});
  EXPECT_FALSE(none.at("found").as_bool());
}

TEST_P(BotMethods, TargetListIsATypedArrayBestFirst) {
  const Value list = resources("find_accessible_precious_resources", standing(30, 10), {}, {5});
  ASSERT_EQ(list.type(), kArray);
  EXPECT_EQ(list.element_type(), kDictionary);
  ASSERT_EQ(list.size(), 2u);
  expect_target(list.item(0), {40, 10, 10}, standing(39, 10), kPreciousHigh, 1000, 9.0);
  expect_target(list.item(1), {10, 10, 10}, standing(11, 10), kPreciousLow, 100, 19.0);

  for (int limit : {0, -3}) {
    const Value empty =
        resources("find_accessible_precious_resources", standing(30, 10), {}, {limit});
    ASSERT_EQ(empty.type(), kArray);
    EXPECT_EQ(empty.element_type(), kDictionary);
    EXPECT_EQ(empty.size(), 0u);
  }
}

INSTANTIATE_TEST_SUITE_P(BothCallPaths, BotMethods, ::testing::ValuesIn(kBothPaths),
                         call_path_name);

}  // namespace
}  // namespace tessmark::host
