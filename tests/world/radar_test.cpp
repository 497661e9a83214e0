#include "world/radar.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "world/catalogue.hpp"

namespace tessmark {
namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();
constexpr float kPi = 3.1415927f;

void expect_near(Vec3 got, Vec3 want, const std::string& what) {
  EXPECT_NEAR(got.x, want.x, 1e-6f) << what;
  EXPECT_NEAR(got.y, want.y, 1e-6f) << what;
  EXPECT_NEAR(got.z, want.z, 1e-6f) << what;
}

TEST(Basis, RightHandedRotationsAndProducts) {
  const Vec3 x{1, 0, 0}, y{0, 1, 0}, z{0, 0, 1};
  const Basis about_x = Basis::from_axis_angle(x, kPi / 2);
  const Basis about_y = Basis::from_axis_angle(y, kPi / 2);
  const Basis about_z = Basis::from_axis_angle(z, kPi / 2);
  expect_near(about_x * y, z, "x turns y into z");
  expect_near(about_y * z, x, "y turns z into x");
  expect_near(about_z * x, y, "z turns x into y");
  // The product applies its right factor first.
  expect_near((about_x * about_y) * z, x, "y first, then x");
  expect_near((about_y * about_x) * y, x, "x first, then y");
  EXPECT_EQ(Basis::from_axis_angle(x, 0.0f), Basis{});
  // A general axis: a third of a turn about the diagonal cycles the axes.
  const float k = 1.0f / std::sqrt(3.0f);
  expect_near(Basis::from_axis_angle({k, k, k}, 2 * kPi / 3) * x, y, "diagonal axis");
}

TEST(RadarFan, RaysAroundTheLookVector) {
  const std::array<Vec3, kRadarRayCount> fan = radar_fan({0, 0, -4});
  EXPECT_EQ(fan[24], (Vec3{0, 0, -1}));
  const float step = kPi * 0.0078125f;
  // i steps about world X (tilting the view up for positive i), j about world Y.
  expect_near(fan[24 + 7], {0, std::sin(step), -std::cos(step)}, "i = 1");
  expect_near(fan[24 + 1], {-std::sin(step), 0, -std::cos(step)}, "j = 1");
  expect_near(fan[0], Basis::from_axis_angle({1, 0, 0}, -3 * step) * Vec3{std::sin(3 * step), 0, -std::cos(3 * step)},
              "i = j = -3");
  for (const Vec3& d : fan) EXPECT_NEAR(std::sqrt(dot(d, d)), 1.0f, 1e-6f);
}

TEST(RadarFan, ShortOrBrokenLookVectors) {
  const std::array<Vec3, kRadarRayCount> down_z = radar_fan({0, 0, -1});
  EXPECT_EQ(radar_fan({0, 0, 0}), down_z);
  EXPECT_EQ(radar_fan({1e-4f, 0, 0}), down_z);  // squared length below 2^-23
  for (const Vec3& d : radar_fan({kNaN, 0, 1})) EXPECT_TRUE(std::isnan(d.x) || std::isnan(d.y) || std::isnan(d.z));
}

struct Scan {
  std::string name;
  std::vector<std::pair<Cell, Block>> blocks;
  Vec3 origin;
  Vec3 look;
  bool found;
  std::int32_t value;
  float distance;
  Cell position;
  BlockId block;
};

void expect_scan(const Scan& s) {
  World w;
  for (const auto& [cell, block] : s.blocks) w.set_block(cell.x, cell.y, cell.z, id(block));
  const std::array<Vec3, kRadarRayCount> fan = radar_fan(s.look);
  const RadarScanResult r = scan_prospecting_radar(w, s.origin, fan, kRadarMaxDistance, kRadarStep);
  EXPECT_EQ(r.found, s.found) << s.name;
  EXPECT_EQ(r.value, s.value) << s.name;
  EXPECT_EQ(r.distance, s.distance) << s.name;
  EXPECT_EQ(r.block, s.block) << s.name;
  if (s.found) {
    EXPECT_EQ(r.position, s.position) << s.name;
  }
}

TEST(Radar, ScansTheFan) {
  const Vec3 o{20.5f, 20.5f, 20.5f};
  const Vec3 ahead{0, 0, -1};
  const Cell low{20, 20, 15}, high{20, 20, 10};
  const Scan scans[] = {
      {"nothing", {}, o, ahead, false, 0, 30.0f, {}, 0},
      {"precious low", {{low, Block::PreciousLow}}, o, ahead, true, 200, 5.0f, low, 3},
      {"high beats a nearer low", {{low, Block::PreciousLow}, {high, Block::PreciousHigh}}, o, ahead, true, 1000,
       5.0f, high, 4},
      {"seen through solid blocks",
       {{{20, 20, 18}, Block::Bedrock}, {{20, 20, 17}, Block::Dirt}, {low, Block::PreciousLow}}, o, ahead, true,
       200, 5.0f, low, 3},
      {"in the origin's own cell", {{{20, 20, 20}, Block::PreciousHigh}}, o, ahead, true, 1000, 0.0f,
       {20, 20, 20}, 4},
      {"last sample reaches", {{{20, 20, 11}, Block::PreciousLow}}, {20.5f, 20.5f, 40.5f}, ahead, true, 200, 29.0f,
       {20, 20, 11}, 3},
      {"just out of range", {{{20, 20, 10}, Block::PreciousLow}}, {20.5f, 20.5f, 40.5f}, ahead, false, 0, 30.0f,
       {}, 0},
      {"behind the player", {{{20, 20, 25}, Block::PreciousHigh}}, o, ahead, false, 0, 30.0f, {}, 0},
      {"ore is invisible", {{low, Block::Ore}}, o, ahead, false, 0, 30.0f, {}, 0},
      {"zero look scans along -z", {{low, Block::PreciousLow}}, o, {0, 0, 0}, true, 200, 5.0f, low, 3},
      {"other look direction", {{{26, 20, 20}, Block::PreciousHigh}}, o, {3, 0, 0}, true, 1000, 5.5f,
       {26, 20, 20}, 4},
      {"NaN look samples only the origin", {{{20, 20, 20}, Block::PreciousLow}, {low, Block::PreciousHigh}}, o,
       {kNaN, 0, -1}, true, 200, 0.0f, {20, 20, 20}, 3},
      {"infinite look samples only the origin", {{low, Block::PreciousHigh}}, o, {0, 0, -kInf}, false, 0, 30.0f,
       {}, 0},
      {"NaN origin", {{{1, 1, 1}, Block::PreciousHigh}, {low, Block::PreciousHigh}}, {kNaN, kNaN, kNaN}, ahead,
       false, 0, 30.0f, {}, 0},
      {"origin outside the grid", {{{1, 20, 20}, Block::PreciousHigh}}, {-10.5f, 20.5f, 20.5f}, {1, 0, 0}, true,
       1000, 11.5f, {1, 20, 20}, 4},
  };
  for (const Scan& s : scans) expect_scan(s);
}

TEST(Radar, BorderCellsAreSkipped) {
  World w;
  w.reset_empty(id(Block::PreciousHigh));
  std::vector<BlockId> blocks(w.blocks);
  for (int i = 0; i < kCellCount; ++i) {
    if (is_interior(cell_at_index(i))) blocks[static_cast<std::size_t>(i)] = 0;
  }
  w.load_blocks(blocks);
  const RadarScanResult r =
      scan_prospecting_radar(w, {5.5f, 5.5f, 5.5f}, radar_fan({0, 0, -1}), kRadarMaxDistance, kRadarStep);
  EXPECT_FALSE(r.found);
  EXPECT_EQ(r.distance, 30.0f);
}

TEST(Radar, FirstBlockInRayOrderNearestDistanceOverall) {
  World w;
  w.set_block(20, 20, 15, id(Block::PreciousLow));
  w.set_block(22, 20, 20, id(Block::PreciousLow));
  const std::vector<Vec3> rays{{0, 0, -1}, {1, 0, 0}};
  const RadarScanResult r = scan_prospecting_radar(w, {20.5f, 20.5f, 20.5f}, rays, 30.0f, 0.5f);
  EXPECT_TRUE(r.found);
  EXPECT_EQ(r.position, (Cell{20, 20, 15}));
  EXPECT_EQ(r.value, 200);
  EXPECT_EQ(r.distance, 1.5f);
}

TEST(Radar, DegenerateRangeAndStep) {
  World w;
  w.set_block(20, 20, 20, id(Block::PreciousHigh));
  const std::vector<Vec3> rays{{0, 0, -1}, {0, 0, 0}, {kNaN, 0, 0}};
  const Vec3 o{20.5f, 20.5f, 20.5f};
  struct Case {
    float max_distance, step;
    bool found;
    float distance;
  };
  const Case cases[] = {
      {0.0f, 0.5f, false, 0.0f},   {-3.0f, 0.5f, false, -3.0f}, {30.0f, 0.0f, false, 30.0f},
      {30.0f, -1.0f, false, 30.0f}, {kNaN, 0.5f, false, kNaN},  {30.0f, kNaN, false, 30.0f},
      // Unbounded scans end once every ray has left the grid or stopped moving.
      {kInf, 0.5f, true, 0.0f},    {1e30f, 0.01f, true, 0.0f},
  };
  for (const Case& c : cases) {
    const RadarScanResult r = scan_prospecting_radar(w, o, rays, c.max_distance, c.step);
    EXPECT_EQ(r.found, c.found) << c.max_distance << ' ' << c.step;
    if (std::isnan(c.distance)) {
      EXPECT_TRUE(std::isnan(r.distance));
    } else {
      EXPECT_EQ(r.distance, c.distance) << c.max_distance << ' ' << c.step;
    }
  }
}

// The scan as the game states it, sample by sample with the cell of each
// point, against random worlds, origins (inside, on and beyond the grid's
// edges) and look vectors.
RadarScanResult reference_scan(const World& w, Vec3 origin, std::span<const Vec3> rays, float max_distance,
                               float step) {
  RadarScanResult r;
  r.distance = max_distance;
  const std::size_t n = trunc_sat_usize(std::ceil(max_distance / step));
  for (const Vec3& d : rays) {
    Vec3 p = origin;
    for (std::size_t k = 0; k < n; ++k) {
      const Cell c = cell_of_point(p.x, p.y, p.z);
      const std::int32_t value = is_interior(c) ? static_cast<std::int32_t>(radar_value(w.at(cell_index(c)))) : 0;
      if (value > r.value) {
        r.found = true;
        r.position = c;
        r.block = w.at(cell_index(c));
        r.value = value;
      }
      if (value != 0) r.distance = std::min(r.distance, static_cast<float>(k) * step);
      p = {p.x + d.x * step, p.y + d.y * step, p.z + d.z * step};
    }
  }
  return r;
}

TEST(Radar, MatchesTheSampleBySampleRule) {
  std::mt19937 rng(99);
  std::uniform_real_distribution<float> coord(-8.0f, 72.0f), axis(-1.0f, 1.0f);
  World w;
  for (int i = 0; i < 3000; ++i) {
    w.set_block(static_cast<int>(1 + rng() % 62), static_cast<int>(1 + rng() % 62), static_cast<int>(1 + rng() % 62),
                rng() % 4 == 0 ? id(Block::PreciousHigh) : id(Block::PreciousLow));
  }
  for (int round = 0; round < 300; ++round) {
    Vec3 origin{coord(rng), coord(rng), coord(rng)};
    if (round % 3 == 0) origin.x = static_cast<float>(rng() % 65);  // exactly on a cell face
    const auto fan = radar_fan({axis(rng), axis(rng), axis(rng)});
    const RadarScanResult got = scan_prospecting_radar(w, origin, fan, kRadarMaxDistance, kRadarStep);
    const RadarScanResult want = reference_scan(w, origin, fan, kRadarMaxDistance, kRadarStep);
    ASSERT_EQ(got.found, want.found) << round;
    ASSERT_EQ(got.value, want.value) << round;
    ASSERT_EQ(got.distance, want.distance) << round;
    ASSERT_EQ(got.block, want.block) << round;
    ASSERT_EQ(got.position, want.position) << round;
  }
}

}  // namespace
}  // namespace tessmark
