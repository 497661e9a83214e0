// The play methods through the engine, each by pointer call and by variant
// call: the raycast, the pickaxe and construction gun, detonation and the
// prospecting radar, with their dictionaries' exact keys, order and types.

#include <limits>
#include <string>
#include <vector>

#include "host_fixture.hpp"

namespace tessmark::host {
namespace {

using Keys = std::vector<std::string>;

constexpr int kDirt = 1, kOre = 2, kPreciousLow = 3, kPreciousHigh = 4, kExplosive = 7, kLava = 19;

const Keys kToolKeys{"changed", "block_type", "ore", "cash", "weight", "cost"};
Keys with(Keys keys, const Keys& more) {
  keys.insert(keys.end(), more.begin(), more.end());
  return keys;
}

class ToolMethods : public HostTest, public ::testing::WithParamInterface<CallPath> {
 protected:
  Value run(const std::string& method, const std::vector<Value>& args = {}) {
    return invoke(GetParam(), method, args);
  }

  Value pickaxe(Vec3 origin, Vec3 direction, bool mine_lava, int ore, int ore_max, int weight,
                int weight_max) {
    return run("use_pickaxe",
               {Value(origin), Value(direction), Value(mine_lava), ore, ore_max, weight, weight_max});
  }
  Value gun(Vec3 origin, Vec3 direction, int block_type, int team, int ore, int ore_max, bool sandbox) {
    return run("use_construction_gun",
               {Value(origin), Value(direction), block_type, team, ore, ore_max, Value(sandbox)});
  }

  void expect_tool(const Value& d, bool changed, std::int64_t block_type, std::int64_t ore, std::int64_t cash,
                   std::int64_t weight, std::int64_t cost) {
    EXPECT_EQ(d.type(), kDictionary);
    EXPECT_EQ(d.at("changed").type(), kBool);
    EXPECT_EQ(d.at("changed").as_bool(), changed);
    const std::pair<const char*, std::int64_t> numbers[] = {
        {"block_type", block_type}, {"ore", ore}, {"cash", cash}, {"weight", weight}, {"cost", cost}};
    for (const auto& [key, value] : numbers) {
      EXPECT_EQ(d.at(key).type(), kInt) << key;
      EXPECT_EQ(d.at(key).as_int(), value) << key;
    }
  }
};

const Vec3 kEye{10.5f, 10.5f, 10.5f};
const Vec3 kEast{1, 0, 0};

TEST_P(ToolMethods, RaycastHitAndPlace) {
  run("set_block", {13, 10, 10, kDirt});
  const Value hit = run("raycast", {Value(kEye), Value(kEast), Value(6.0)});
  EXPECT_EQ(hit.keys(), (Keys{"hit", "place"}));
  EXPECT_EQ(hit.at("hit").type(), kVector3);
  EXPECT_EQ(hit.at("hit").as_vec3(), (Vec3{13, 10, 10}));
  EXPECT_EQ(hit.at("place").as_vec3(), (Vec3{12, 10, 10}));

  EXPECT_EQ(run("raycast", {Value(kEye), Value(kEast), Value(2.0)}).keys(), Keys{});
  // An int where a float is declared is accepted by the variant call only.
  if (GetParam() == CallPath::kVariant) {
    EXPECT_EQ(run("raycast", {Value(kEye), Value(kEast), 6}).keys(), (Keys{"hit", "place"}));
  }

  run("set_block", {10, 10, 10, kDirt});
  const Value inside = run("raycast", {Value(kEye), Value(kEast), Value(6.0)});
  EXPECT_EQ(inside.keys(), Keys{"hit"});
  EXPECT_EQ(inside.at("hit").as_vec3(), (Vec3{10, 10, 10}));
}

TEST_P(ToolMethods, RaycastWithoutLimitEnds) {
  const double inf = std::numeric_limits<double>::infinity();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  EXPECT_EQ(run("raycast", {Value(kEye), Value(kEast), Value(inf)}).keys(), Keys{});
  EXPECT_EQ(run("raycast", {Value(kEye), Value(kEast), Value(nan)}).keys(), Keys{});
  // A double beyond the float range becomes an infinite float.
  EXPECT_EQ(run("raycast", {Value(kEye), Value(Vec3{0, 0, 0}), Value(1e300)}).keys(), Keys{});
}

TEST_P(ToolMethods, PickaxeDictionary) {
  run("set_block", {11, 10, 10, kOre});
  Value d = pickaxe(kEye, kEast, false, 95, 100, 0, 0);
  EXPECT_EQ(d.keys(), with(kToolKeys, {"hit", "place"}));
  expect_tool(d, true, kOre, 5, 0, 0, 0);
  EXPECT_EQ(d.at("hit").type(), kVector3);
  EXPECT_EQ(d.at("hit").as_vec3(), (Vec3{11, 10, 10}));
  EXPECT_EQ(d.at("place").as_vec3(), (Vec3{10, 10, 10}));
  EXPECT_EQ(run("block_at", {11, 10, 10}).as_int(), 0);

  // Negative amounts count as 0.
  run("set_block", {11, 10, 10, kOre});
  expect_tool(pickaxe(kEye, kEast, false, -50, 1000, 0, 0), true, kOre, 20, 0, 0, 0);
  run("set_block", {11, 10, 10, kPreciousHigh});
  expect_tool(pickaxe(kEye, kEast, false, 0, 0, -3, 0), false, kPreciousHigh, 0, 0, 0, 0);
  expect_tool(pickaxe(kEye, kEast, false, 0, 0, -3, 1), true, kPreciousHigh, 0, 1000, 1, 0);

  run("set_block", {11, 10, 10, kLava});
  EXPECT_EQ(run("lava_count").as_int(), 1);
  expect_tool(pickaxe(kEye, kEast, true, 0, 0, 0, 0), true, kLava, 0, 0, 0, 0);
  EXPECT_EQ(run("lava_count").as_int(), 0);

  const Value nothing = pickaxe(kEye, kEast, true, 0, 0, 0, 0);
  EXPECT_EQ(nothing.keys(), kToolKeys);
  expect_tool(nothing, false, 0, 0, 0, 0, 0);
}

TEST_P(ToolMethods, ConstructionGunDictionary) {
  run("set_block", {13, 10, 10, kDirt});
  Value d = gun(kEye, kEast, kExplosive, 1, 99, 1000, false);
  EXPECT_EQ(d.keys(), with(kToolKeys, {"hit", "place"}));
  expect_tool(d, false, kExplosive, 0, 0, 0, 100);
  EXPECT_EQ(run("block_at", {12, 10, 10}).as_int(), 0);

  d = gun(kEye, kEast, kExplosive, 1, 0, 500, true);
  expect_tool(d, true, kExplosive, 0, 0, 0, 0);
  EXPECT_EQ(d.at("place").as_vec3(), (Vec3{12, 10, 10}));
  EXPECT_EQ(run("block_at", {12, 10, 10}).as_int(), kExplosive);

  // The block id keeps its low 8 bits: 275 is Lava.
  run("set_block", {12, 10, 10, 0});
  expect_tool(gun(kEye, kEast, 275, 1, 1000, 1000, false), true, kLava, 0, 0, 0, 1000);
  EXPECT_EQ(run("lava_count").as_int(), 1);

  // Negative ore is 0 ore; a team number passes unchanged.
  run("set_block", {12, 10, 10, 0});
  expect_tool(gun(kEye, kEast, 16, 1, -5, 1000, false), false, 16, 0, 0, 0, 10);
  expect_tool(gun(kEye, kEast, 16, -7, 10, 1000, false), true, 16, 0, 0, 0, 10);

  const Value nothing = gun(kEye, Vec3{-1, 0, 0}, kDirt, 1, 1000, 1000, false);
  EXPECT_EQ(nothing.keys(), kToolKeys);
  expect_tool(nothing, false, 0, 0, 0, 0, 0);
}

TEST_P(ToolMethods, DetonationDictionary) {
  run("set_block", {20, 20, 20, kExplosive});
  run("set_block", {19, 20, 20, kDirt});
  run("set_block", {20, 21, 20, kDirt});
  run("set_block", {21, 20, 20, kExplosive});
  run("set_block", {22, 20, 20, kDirt});
  const Value d = run("detonate_at", {20, 20, 20, 1});
  EXPECT_EQ(d.keys(), (Keys{"changed", "changed_count", "changed_cells"}));
  EXPECT_EQ(d.at("changed").type(), kBool);
  EXPECT_TRUE(d.at("changed").as_bool());
  EXPECT_EQ(d.at("changed_count").type(), kInt);
  EXPECT_EQ(d.at("changed_count").as_int(), 5);
  EXPECT_EQ(d.at("changed_cells").type(), kPackedVector3Array);
  EXPECT_EQ(d.at("changed_cells").vec3_values(),
            (std::vector<Vec3>{{20, 20, 20}, {19, 20, 20}, {20, 21, 20}, {21, 20, 20}, {22, 20, 20}}));

  const Value none = run("detonate_at", {20, 20, 20, 1});
  EXPECT_EQ(none.keys(), (Keys{"changed", "changed_count", "changed_cells"}));
  EXPECT_FALSE(none.at("changed").as_bool());
  EXPECT_EQ(none.at("changed_count").as_int(), 0);
  EXPECT_EQ(none.at("changed_cells").type(), kPackedVector3Array);
  EXPECT_EQ(none.at("changed_cells").vec3_values(), std::vector<Vec3>{});
}

TEST_P(ToolMethods, DetonationChainThroughTheWholeGrid) {
  run("reset_empty", {kExplosive});
  const Value d = run("detonate_at", {31, 31, 31, 2147483647});
  EXPECT_EQ(d.at("changed_count").as_int(), 62 * 62 * 62);
  EXPECT_EQ(d.at("changed_cells").vec3_values().size(), 62u * 62u * 62u);
  EXPECT_EQ(run("block_at", {1, 1, 1}).as_int(), 0);
}

TEST_P(ToolMethods, RadarFindsNothing) {
  const Value d = run("scan_prospecting_radar", {Value(Vec3{20.5f, 20.5f, 20.5f}), Value(Vec3{0, 0, -1})});
  EXPECT_EQ(d.keys(), (Keys{"found", "value", "distance"}));
  EXPECT_EQ(d.at("found").type(), kBool);
  EXPECT_FALSE(d.at("found").as_bool());
  EXPECT_EQ(d.at("value").type(), kInt);
  EXPECT_EQ(d.at("value").as_int(), 0);
  EXPECT_EQ(d.at("distance").type(), kFloat);
  EXPECT_EQ(d.at("distance").as_float(), 30.0);
}

TEST_P(ToolMethods, RadarReportsTheBestBlockAndTheNearestDistance) {
  run("set_block", {20, 20, 15, kPreciousLow});
  run("set_block", {20, 20, 10, kPreciousHigh});
  run("set_block", {20, 20, 18, kDirt});
  const Value d = run("scan_prospecting_radar", {Value(Vec3{20.5f, 20.5f, 20.5f}), Value(Vec3{0, 0, -1})});
  EXPECT_EQ(d.keys(), (Keys{"found", "value", "distance", "position", "block_type"}));
  EXPECT_TRUE(d.at("found").as_bool());
  EXPECT_EQ(d.at("value").as_int(), 1000);
  EXPECT_EQ(d.at("distance").type(), kFloat);
  EXPECT_EQ(d.at("distance").as_float(), 5.0);
  EXPECT_EQ(d.at("position").type(), kVector3i);
  EXPECT_EQ(d.at("position").as_vec3i(), (Vec3i{20, 20, 10}));
  EXPECT_EQ(d.at("block_type").type(), kInt);
  EXPECT_EQ(d.at("block_type").as_int(), kPreciousHigh);

  // A zero look vector scans along -z; a NaN one samples only the origin's cell.
  EXPECT_EQ(run("scan_prospecting_radar", {Value(Vec3{20.5f, 20.5f, 20.5f}), Value(Vec3{0, 0, 0})})
                .at("value")
                .as_int(),
            1000);
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const Value blind = run("scan_prospecting_radar", {Value(Vec3{20.5f, 20.5f, 20.5f}), Value(Vec3{nan, 0, -1})});
  EXPECT_EQ(blind.keys(), (Keys{"found", "value", "distance"}));
  EXPECT_EQ(blind.at("distance").as_float(), 30.0);
}

INSTANTIATE_TEST_SUITE_P(BothCallPaths, ToolMethods, ::testing::ValuesIn(kBothPaths), call_path_name);

}  // namespace
}  // namespace tessmark::host
