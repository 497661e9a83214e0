#include "world/raycast.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "world/catalogue.hpp"

namespace tessmark {
namespace {

constexpr float kInf = std::numeric_limits<float>::infinity();
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

struct Case {
  std::string name;
  Vec3 origin;
  Vec3 direction;
  float max_distance;
  std::vector<Cell> solid;  // interior cells set to Dirt
  std::optional<Cell> hit;
  std::optional<Cell> place;
};

void expect_cast(const Case& c) {
  World world;
  for (const Cell& s : c.solid) world.set_block(s.x, s.y, s.z, id(Block::Dirt));
  const std::optional<RaycastHit> got = raycast(world, c.origin, c.direction, c.max_distance);
  ASSERT_EQ(got.has_value(), c.hit.has_value()) << c.name;
  if (!got) return;
  EXPECT_EQ(got->cell, *c.hit) << c.name;
  EXPECT_EQ(got->previous, c.place) << c.name;
}

TEST(Raycast, FiniteCasts) {
  const Vec3 mid{10.5f, 10.5f, 10.5f};
  const Vec3 east{1.0f, 0.0f, 0.0f};
  const std::vector<Cell> wall{{13, 10, 10}};
  const Case cases[] = {
      {"all air", mid, east, 6.0f, {}, std::nullopt, std::nullopt},
      {"hit with place", mid, east, 6.0f, wall, Cell{13, 10, 10}, Cell{12, 10, 10}},
      {"boundary beyond reach", mid, east, 2.0f, wall, std::nullopt, std::nullopt},
      {"boundary exactly at reach", mid, east, 2.5f, wall, Cell{13, 10, 10}, Cell{12, 10, 10}},
      {"direction length ignored", mid, {40.0f, 0.0f, 0.0f}, 6.0f, wall, Cell{13, 10, 10}, Cell{12, 10, 10}},
      {"zero direction", mid, {0.0f, 0.0f, 0.0f}, 6.0f, {{10, 10, 10}}, std::nullopt, std::nullopt},
      {"tiny direction", mid, {1e-8f, 0.0f, 0.0f}, 6.0f, {{10, 10, 10}}, std::nullopt, std::nullopt},
      {"zero distance", mid, east, 0.0f, {{10, 10, 10}}, std::nullopt, std::nullopt},
      {"negative distance", mid, east, -1.0f, {{10, 10, 10}}, std::nullopt, std::nullopt},
      {"NaN distance", mid, east, kNaN, {{10, 10, 10}}, std::nullopt, std::nullopt},
      {"origin inside solid", mid, east, 6.0f, {{10, 10, 10}}, Cell{10, 10, 10}, std::nullopt},
      {"enters the grid straight into a solid cell", {-3.5f, 10.5f, 10.5f}, east, 20.0f, {{1, 10, 10}},
       Cell{1, 10, 10}, std::nullopt},
      {"enters the grid through air", {-3.5f, 10.5f, 10.5f}, east, 20.0f, {{3, 10, 10}}, Cell{3, 10, 10},
       Cell{2, 10, 10}},
      {"negative direction", mid, {-1.0f, 0.0f, 0.0f}, 6.0f, {{7, 10, 10}}, Cell{7, 10, 10}, Cell{8, 10, 10}},
      {"downward", mid, {0.0f, -1.0f, 0.0f}, 6.0f, {{10, 5, 10}}, Cell{10, 5, 10}, Cell{10, 6, 10}},
      // Equal crossing distances step x, then y, then z.
      {"diagonal steps x first", mid, {1.0f, 1.0f, 1.0f}, 6.0f, {{11, 10, 10}}, Cell{11, 10, 10},
       Cell{10, 10, 10}},
      {"diagonal steps y before z", mid, {1.0f, 1.0f, 1.0f}, 6.0f, {{11, 11, 10}, {11, 10, 11}},
       Cell{11, 11, 10}, Cell{11, 10, 10}},
      {"diagonal then z", mid, {1.0f, 1.0f, 1.0f}, 6.0f, {{11, 11, 11}}, Cell{11, 11, 11}, Cell{11, 11, 10}},
      {"NaN direction, solid origin", mid, {kNaN, 1.0f, 0.0f}, 6.0f, {{10, 10, 10}}, Cell{10, 10, 10},
       std::nullopt},
      {"NaN direction, air origin", mid, {1.0f, kNaN, 0.0f}, 6.0f, {{11, 10, 10}, {10, 9, 10}}, std::nullopt,
       std::nullopt},
      {"infinite direction", mid, {kInf, 0.0f, 0.0f}, 6.0f, {{11, 10, 10}, {9, 10, 10}}, std::nullopt,
       std::nullopt},
      {"NaN origin", {kNaN, 10.5f, 10.5f}, east, 6.0f, {{1, 10, 10}, {2, 10, 10}}, std::nullopt, std::nullopt},
      {"infinite origin", {-kInf, 10.5f, 10.5f}, east, 1e30f, {{1, 10, 10}}, std::nullopt, std::nullopt},
  };
  for (const Case& c : cases) expect_cast(c);
}

TEST(Raycast, BorderCellsAreNeverHit) {
  World world;
  world.reset_empty(id(Block::Dirt));  // fills the border too
  std::vector<BlockId> blocks(world.blocks);
  for (int i = 0; i < kCellCount; ++i) {
    if (is_interior(cell_at_index(i))) blocks[static_cast<std::size_t>(i)] = id(Block::Air);
  }
  world.load_blocks(blocks);
  for (const Vec3 dir : {Vec3{1, 0, 0}, Vec3{-1, 0, 0}, Vec3{0.3f, 1, -0.2f}}) {
    EXPECT_FALSE(raycast(world, {32.5f, 32.5f, 32.5f}, dir, 100.0f)) << dir.x;
    EXPECT_FALSE(raycast(world, {32.5f, 32.5f, 32.5f}, dir, kInf)) << dir.x;
  }
  // Running along the x = 63 border plane, full of Dirt.
  EXPECT_FALSE(raycast(world, {63.5f, 10.5f, 10.5f}, {0, 0, 1}, 100.0f));
}

// With no distance limit a walk must still end, and it must find exactly what
// a long enough finite walk finds.
TEST(Raycast, UnboundedDistanceEndsWithTheFiniteResult) {
  const Vec3 mid{10.5f, 10.5f, 10.5f};
  const Case cases[] = {
      {"all air, axis", mid, {1, 0, 0}, kInf, {}, std::nullopt, std::nullopt},
      {"all air, diagonal", mid, {-0.3f, 0.7f, 0.1f}, kInf, {}, std::nullopt, std::nullopt},
      {"all air, nearly axis", mid, {1.0f, 1e-7f, 0.0f}, kInf, {}, std::nullopt, std::nullopt},
      {"all air, huge distance", mid, {0, 0, -1}, 3e38f, {}, std::nullopt, std::nullopt},
      {"hit far inside", mid, {1, 0, 0}, kInf, {{60, 10, 10}}, Cell{60, 10, 10}, Cell{59, 10, 10}},
      {"moving away from a solid", mid, {1, 0, 0}, kInf, {{5, 10, 10}}, std::nullopt, std::nullopt},
      // The squared length overflows, so the ray has no direction: only the
      // origin's own cell counts.
      {"direction too long to measure", mid, {1e30f, 0, 0}, kInf, {{9, 10, 10}, {11, 10, 10}}, std::nullopt,
       std::nullopt},
      {"from far outside", {-1e6f, 10.5f, 10.5f}, {1, 0, 0}, kInf, {{5, 10, 10}}, Cell{5, 10, 10},
       Cell{4, 10, 10}},
      // Crossing distances this large no longer grow when stepped.
      {"from the float range's edge", {-1e30f, 10.5f, 10.5f}, {1, 0, 0}, kInf, {{5, 10, 10}},
       Cell{5, 10, 10}, Cell{4, 10, 10}},
      {"from the far positive side", {1e30f, 10.5f, 10.5f}, {-1, 0, 0}, kInf, {{58, 10, 10}},
       Cell{58, 10, 10}, Cell{59, 10, 10}},
      {"far outside on two axes", {-1e30f, 1e30f, 10.5f}, {1, 0, 0}, kInf, {{5, 10, 10}}, std::nullopt,
       std::nullopt},
      {"far outside, short reach", {-1e30f, 10.5f, 10.5f}, {1, 0, 0}, 1e29f, {{5, 10, 10}}, std::nullopt,
       std::nullopt},
  };
  for (const Case& c : cases) expect_cast(c);

  Case finite = cases[4];
  finite.max_distance = 1000.0f;
  expect_cast(finite);
}

// Crossing distances keep growing for millions of steps before they stall;
// the walk from there must still reach the grid.
TEST(Raycast, FarOriginWithGrowingCrossingsEnds) {
  expect_cast({"far", {-3e7f, 20.5f, 20.5f}, {1, 0, 0}, kInf, {{30, 20, 20}}, Cell{30, 20, 20},
               Cell{29, 20, 20}});
}

// The walk exactly as the game states it, with no shortcut of any kind; it
// ends only because the distance is finite.
std::optional<RaycastHit> literal_walk(const World& w, Vec3 o, Vec3 dir, float max_distance) {
  if (max_distance <= 0.0f) return std::nullopt;
  const float len = std::sqrt(dir.x * dir.x + dir.y * dir.y + dir.z * dir.z);
  if (len <= 1.1920929e-07f) return std::nullopt;
  const float d[3] = {dir.x / len, dir.y / len, dir.z / len};
  const float org[3] = {o.x, o.y, o.z};
  const Cell start = cell_of_point(o.x, o.y, o.z);
  int cell[3] = {start.x, start.y, start.z};
  int step[3];
  float t_max[3], t_delta[3];
  for (int a = 0; a < 3; ++a) {
    step[a] = d[a] > 0.0f ? 1 : -1;
    if (std::fabs(d[a]) <= 1.1920929e-07f) {
      t_max[a] = t_delta[a] = kInf;
    } else {
      t_max[a] = (static_cast<float>(d[a] > 0.0f ? cell[a] + 1 : cell[a]) - org[a]) / d[a];
      t_delta[a] = 1.0f / std::fabs(d[a]);
    }
  }
  std::optional<Cell> previous;
  for (;;) {
    if (is_interior(cell[0], cell[1], cell[2])) {
      const Cell here{cell[0], cell[1], cell[2]};
      if (w.at(cell_index(here)) != 0) return RaycastHit{here, previous};
      previous = here;
    }
    const int a = t_max[0] <= t_max[1] && t_max[0] <= t_max[2] ? 0 : t_max[2] < t_max[1] ? 2 : 1;
    if (t_max[a] > max_distance) return std::nullopt;
    cell[a] += step[a];
    t_max[a] += t_delta[a];
  }
}

TEST(Raycast, MatchesTheLiteralWalkWithOrWithoutALimit) {
  std::mt19937 rng(7);
  std::uniform_real_distribution<float> coord(-20.0f, 84.0f), axis(-1.0f, 1.0f);
  World w;
  for (int i = 0; i < 2500; ++i) {
    w.set_block(static_cast<int>(1 + rng() % 62), static_cast<int>(1 + rng() % 62), static_cast<int>(1 + rng() % 62),
                static_cast<BlockId>(1 + rng() % 255));
  }
  for (int round = 0; round < 3000; ++round) {
    Vec3 origin{coord(rng), coord(rng), coord(rng)};
    Vec3 dir{axis(rng), axis(rng), axis(rng)};
    if (round % 4 == 1) dir.y = 0.0f;                                      // flat rays
    if (round % 4 == 2) origin.z = static_cast<float>(rng() % 70) - 3.0f;  // on a cell face
    if (round % 8 == 3) dir = {1.0f, 1.0f, -1.0f};                         // ties
    const float reach = round % 2 == 0 ? 6.0f : 1000.0f;
    const auto want = literal_walk(w, origin, dir, reach);
    const auto got = raycast(w, origin, dir, reach);
    ASSERT_EQ(got.has_value(), want.has_value()) << round;
    if (want) {
      ASSERT_EQ(got->cell, want->cell) << round;
      ASSERT_EQ(got->previous, want->previous) << round;
    }
    if (reach > 500.0f) {
      const auto unbounded = raycast(w, origin, dir, kInf);
      ASSERT_EQ(unbounded.has_value(), want.has_value()) << round;
      if (want) {
        ASSERT_EQ(unbounded->cell, want->cell) << round;
      }
    }
  }
}

}  // namespace
}  // namespace tessmark
