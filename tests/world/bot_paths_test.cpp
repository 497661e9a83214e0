#include "world/bot_paths.hpp"

#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <vector>

#include "world/bot_test_worlds.hpp"

namespace tessmark {
namespace {

using Cells = std::vector<Cell>;

Point stand(Cell c) { return bot_reference_point(c); }

// A point in the goal's standing space but off its centre point: paths must
// end on it exactly.
Point off_centre(Cell c) {
  return {static_cast<float>(c.x) + 0.3f, static_cast<float>(c.y) + 1.55f,
          static_cast<float>(c.z) + 0.8f};
}

std::vector<Point> expected_path(const Cells& cells, Point destination) {
  std::vector<Point> points;
  for (Cell c : cells) points.push_back(stand(c));
  if (!points.empty()) points.back() = destination;
  return points;
}

// A corridor along x at z = 10 with a HardRock floor at y = 9 and three
// cells of headroom, from x = 5 to x = 15, in solid HardRock.
World corridor() {
  World world = test::rock_world();
  test::fill(world, {5, 10, 10}, {15, 12, 10}, Block::Air);
  return world;
}

World corridor_with(test::Placements blocks) {
  World world = corridor();
  test::place(world, blocks);
  return world;
}

Cells corridor_cells(int from_x, int to_x) {
  Cells cells;
  for (int x = from_x; x <= to_x; ++x) cells.push_back({x, 9, 10});
  return cells;
}

// A wall two cells high across the corridor at x = 10.
World corridor_wall(Block block) {
  return corridor_with({{{10, 10, 10}, block}, {{10, 11, 10}, block}});
}

// The corridor's floor drops by `drop` cells after x = 10.
World drop_world(int drop) {
  World world = corridor();
  test::fill(world, {11, 10 - drop, 10}, {15, 9, 10}, Block::Air);
  return world;
}

// A lower corridor (floor 9, x 5..10), a shaft at x = 10 up to an upper
// corridor (floor 20, x 4..9), and a ladder at x = 11 beside the shaft.
World ladder_shaft() {
  World world = test::rock_world();
  test::fill(world, {5, 10, 10}, {10, 11, 10}, Block::Air);
  test::fill(world, {10, 10, 10}, {10, 22, 10}, Block::Air);
  test::fill(world, {4, 21, 10}, {9, 22, 10}, Block::Air);
  test::fill(world, {11, 10, 10}, {11, 22, 10}, Block::Ladder);
  return world;
}

Cells shaft_climb() {
  Cells cells = corridor_cells(5, 10);
  for (int y = 10; y <= 20; ++y) cells.push_back({10, y, 10});
  for (int x = 9; x >= 5; --x) cells.push_back({x, 20, 10});
  return cells;
}

Cells reversed(Cells cells) { return Cells(cells.rbegin(), cells.rend()); }

struct PathCase {
  const char* name;
  std::function<World()> world;
  Cell start;
  Cell goal;
  std::int32_t team;
  bool mining;
  Cells path;  // empty: no path
};

TEST(BotPaths, MovesOnSmallWorlds) {
  const auto open = [] { return test::floor_world(9); };
  const PathCase cases[] = {
      {"one walk step", open, {10, 9, 10}, {11, 9, 10}, 1, false, {{10, 9, 10}, {11, 9, 10}}},
      {"equally short paths take +x before +z", open, {10, 9, 10}, {12, 9, 12}, 1, false,
       {{10, 9, 10}, {11, 9, 10}, {12, 9, 10}, {12, 9, 11}, {12, 9, 12}}},
      {"walk the corridor", corridor, {5, 9, 10}, {15, 9, 10}, 1, false, corridor_cells(5, 15)},
      {"destination over air", open, {10, 9, 10}, {12, 10, 10}, 1, false, {}},
      // A wall of diggable blocks: a mining bot goes through, a walking bot cannot.
      {"dirt wall, walking", [] { return corridor_wall(Block::Dirt); }, {5, 9, 10}, {15, 9, 10}, 1,
       false, {}},
      {"dirt wall, mining", [] { return corridor_wall(Block::Dirt); }, {5, 9, 10}, {15, 9, 10}, 1,
       true, corridor_cells(5, 15)},
      {"ore wall, mining", [] { return corridor_wall(Block::Ore); }, {5, 9, 10}, {15, 9, 10}, 1,
       true, corridor_cells(5, 15)},
      {"precious wall, mining", [] { return corridor_wall(Block::PreciousHigh); }, {5, 9, 10},
       {15, 9, 10}, 1, true, corridor_cells(5, 15)},
      {"rubble wall, mining", [] { return corridor_wall(Block::Rubble); }, {5, 9, 10}, {15, 9, 10},
       1, true, corridor_cells(5, 15)},
      {"bedrock wall, mining", [] { return corridor_wall(Block::Bedrock); }, {5, 9, 10},
       {15, 9, 10}, 1, true, {}},
      {"lava beside a tunnel cell, mining",
       [] {
         World w = corridor_wall(Block::Dirt);
         w.write_cell(10, 11, 11, id(Block::Lava));
         return w;
       },
       {5, 9, 10}, {15, 9, 10}, 1, true, {}},
      // A wall one cell high is a step up and down; for a mining bot the
      // level dig hides the step.
      {"low wall, walking", [] { return corridor_with({{{10, 10, 10}, Block::Dirt}}); }, {8, 9, 10},
       {12, 9, 10}, 1, false, {{8, 9, 10}, {9, 9, 10}, {10, 10, 10}, {11, 9, 10}, {12, 9, 10}}},
      {"low wall, mining", [] { return corridor_with({{{10, 10, 10}, Block::Dirt}}); }, {8, 9, 10},
       {12, 9, 10}, 1, true, corridor_cells(8, 12)},
      // Drops.
      {"one-cell step down", [] { return drop_world(1); }, {8, 9, 10}, {12, 8, 10}, 1, false,
       {{8, 9, 10}, {9, 9, 10}, {10, 9, 10}, {11, 8, 10}, {12, 8, 10}}},
      {"two-cell drop, walking", [] { return drop_world(2); }, {8, 9, 10}, {12, 7, 10}, 1, false,
       {}},
      {"two-cell drop, mining", [] { return drop_world(2); }, {8, 9, 10}, {12, 7, 10}, 1, true, {}},
      // Ladders.
      {"climb the shaft", ladder_shaft, {5, 9, 10}, {5, 20, 10}, 1, false, shaft_climb()},
      {"climb down the shaft", ladder_shaft, {5, 20, 10}, {5, 9, 10}, 1, false,
       reversed(shaft_climb())},
      {"a mining bot never climbs", ladder_shaft, {5, 9, 10}, {5, 20, 10}, 1, true, {}},
      // Gates.
      {"team 1 walks through its gate",
       [] { return corridor_with({{{10, 10, 10}, Block::Team1Gate}, {{10, 11, 10}, Block::Team1Gate}}); },
       {5, 9, 10}, {15, 9, 10}, 1, false, corridor_cells(5, 15)},
      {"team 2 cannot pass or dig team 1's gate",
       [] { return corridor_with({{{10, 10, 10}, Block::Team1Gate}, {{10, 11, 10}, Block::Team1Gate}}); },
       {5, 9, 10}, {15, 9, 10}, 2, true, {}},
  };
  for (const auto& c : cases) {
    const World world = c.world();
    const Point destination = off_centre(c.goal);
    EXPECT_EQ(find_bot_path(world, stand(c.start), destination, c.team, kBotPathMaxNodes, c.mining),
              expected_path(c.path, destination))
        << c.name;
  }
}

// Start and goal must be standing places that need no digging, in every mode.
TEST(BotPaths, StartAndGoalMustBeStandingPlaces) {
  const World wall = corridor_wall(Block::Dirt);
  EXPECT_TRUE(find_bot_path(wall, stand({5, 9, 10}), stand({10, 9, 10}), 1, 100, true).empty());
  EXPECT_TRUE(find_bot_path(wall, stand({10, 9, 10}), stand({5, 9, 10}), 1, 100, true).empty());
}

TEST(BotPaths, SameCellReturnsTheDestinationAsPassed) {
  const World world = test::floor_world(9);
  const Point destination{10.9f, 10.0f, 10.1f};  // support (10, 9, 10)
  for (std::uint32_t budget : {0u, 1u, 12288u}) {
    EXPECT_EQ(find_bot_path(world, stand({10, 9, 10}), destination, 1, budget, false),
              std::vector<Point>{destination});
  }
}

// The goal counts only when it comes off the queue before the budget is spent.
TEST(BotPaths, BudgetCountsDiscoveredPositions) {
  const World world = test::floor_world(9);
  struct Case {
    Cell goal;
    std::uint32_t budget;
    bool found;
  };
  const Case cases[] = {
      {{11, 9, 10}, 0, false},  // 0 counts as 1: the start alone fills it
      {{11, 9, 10}, 1, false},
      {{11, 9, 10}, 2, true},   // +x is dequeued first
      {{9, 9, 10}, 2, false},   // -x was discovered but comes second
      {{9, 9, 10}, 5, false},   // the start and its four neighbours fill 5
      {{9, 9, 10}, 6, true},
      {{40, 9, 40}, std::numeric_limits<std::uint32_t>::max(), true},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(!find_bot_path(world, stand({10, 9, 10}), stand(c.goal), 1, c.budget, false).empty(),
              c.found)
        << c.goal.x << ' ' << c.goal.z << ' ' << c.budget;
  }
}

// Floors every three cells over the whole interior, joined by a ladder
// column: far more standing places than one search may visit.
World ladder_tower() {
  World world;
  for (int y = 3; y <= 60; y += 3) test::fill(world, {2, y, 2}, {61, y, 61}, Block::HardRock);
  test::fill(world, {31, 4, 30}, {31, 61, 30}, Block::Air);
  test::fill(world, {30, 4, 30}, {30, 61, 30}, Block::Ladder);
  return world;
}

TEST(BotPaths, BudgetIsCappedForHugeRequests) {
  const World world = ladder_tower();
  const Point start = stand({31, 3, 30});
  for (Cell goal : {Cell{32, 6, 30}, Cell{20, 9, 25}, Cell{5, 57, 5}, Cell{60, 30, 60}}) {
    const auto capped = find_bot_path(world, start, stand(goal), 1, kBotPathMaxNodes, false);
    EXPECT_EQ(find_bot_path(world, start, stand(goal), 1,
                            std::numeric_limits<std::uint32_t>::max(), false),
              capped);
  }
  EXPECT_FALSE(find_bot_path(world, start, stand({32, 15, 30}), 1, kBotPathMaxNodes, false).empty());
  EXPECT_TRUE(find_bot_path(world, start, stand({5, 57, 5}), 1, kBotPathMaxNodes, false).empty());
}

TEST(BotPaths, PointsOutsideTheSearchBoxGiveNoPath) {
  World world = test::floor_world(9);
  test::fill(world, {1, 1, 1}, {62, 1, 62}, Block::HardRock);
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  const Point inside = stand({10, 9, 10});
  const Point outside[] = {
      stand({1, 9, 10}),   stand({62, 9, 10}), stand({10, 9, 1}), stand({10, 9, 62}),
      stand({10, 0, 10}),  {nan, 10.95f, 10.5f}, {10.5f, nan, 10.5f}, {inf, 10.95f, 10.5f},
      {10.5f, -inf, 10.5f}, {10.5f, 10.95f, -inf},
  };
  for (const Point& p : outside) {
    EXPECT_TRUE(find_bot_path(world, p, inside, 1, 100, false).empty()) << p.x << ' ' << p.y;
    EXPECT_TRUE(find_bot_path(world, inside, p, 1, 100, true).empty()) << p.x << ' ' << p.y;
  }
  // The lowest layer of the box is usable.
  EXPECT_EQ(find_bot_path(world, stand({2, 1, 2}), stand({3, 1, 2}), 1, 100, false).size(), 2u);
}

}  // namespace
}  // namespace tessmark
