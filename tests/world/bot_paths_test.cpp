#include "world/bot_paths.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <deque>
#include <functional>
#include <map>
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
       [] { return corridor_wall(Block::Team1Gate); },
       {5, 9, 10}, {15, 9, 10}, 1, false, corridor_cells(5, 15)},
      {"team 2 cannot pass or dig team 1's gate",
       [] { return corridor_wall(Block::Team1Gate); },
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
  EXPECT_FALSE(
      find_bot_path(world, start, stand({32, 15, 30}), 1, kBotPathMaxNodes, false).empty());
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

namespace tessmark {
namespace {

// The breadth-first search in its plainest form, with a map for the parents
// and the placement tests asked afresh every time.
std::vector<Point> plain_bot_path(const World& world, Point origin, Point destination,
                                  std::int32_t team, std::uint32_t max_nodes, bool mining) {
  const Cell start = bot_support_of_point(origin), goal = bot_support_of_point(destination);
  auto in_box = [](Cell c) {
    return c.x >= 2 && c.x <= 61 && c.z >= 2 && c.z <= 61 && c.y >= 1 && c.y <= 61;
  };
  if (!in_box(start) || !in_box(goal)) return {};
  if (!bot_surface_is_valid(world, start, team) || !bot_surface_is_valid(world, goal, team)) {
    return {};
  }
  if (start == goal) return {destination};
  const std::size_t limit = max_nodes == 0 ? 1 : std::min<std::uint32_t>(max_nodes, 12288);
  std::map<int, int> parent{{cell_index(start), cell_index(start)}};
  std::deque<Cell> queue{start};
  while (!queue.empty()) {
    const Cell c = queue.front();
    queue.pop_front();
    if (c == goal) {
      std::vector<Point> path;
      for (int at = cell_index(goal);; at = parent[at]) {
        path.insert(path.begin(), bot_reference_point(cell_at_index(at)));
        if (at == cell_index(start)) break;
      }
      path.back() = destination;
      return path;
    }
    if (parent.size() >= limit) return {};
    std::vector<Cell> candidates;
    const bool s = bot_path_surface_is_valid(world, c, team, mining);
    const bool l = bot_ladder_position_is_valid(world, c, team);
    const int dirs[4][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
    for (const auto& d : dirs) {
      const int nx = c.x + d[0], nz = c.z + d[1];
      if (nx < 2 || nx > 61 || nz < 2 || nz > 61) continue;
      if (s) {
        for (int ny : {c.y, c.y - 1, c.y + 1}) {
          if (ny >= 1 && ny <= 61 && bot_path_surface_is_valid(world, {nx, ny, nz}, team, mining)) {
            candidates.push_back({nx, ny, nz});
            break;
          }
        }
        if (!mining && bot_ladder_position_is_valid(world, {nx, c.y, nz}, team)) {
          candidates.push_back({nx, c.y, nz});
        }
      } else if (l && bot_surface_is_valid(world, {nx, c.y, nz}, team)) {
        candidates.push_back({nx, c.y, nz});
      }
    }
    auto ladder_at = [&](int x, int y, int z) { return is_ladder(world.at(x, y, z)); };
    auto ladder_around = [&](int y) {
      return ladder_at(c.x + 1, y, c.z) || ladder_at(c.x - 1, y, c.z) ||
             ladder_at(c.x, y, c.z + 1) || ladder_at(c.x, y, c.z - 1);
    };
    if (l && !mining) {
      if (c.y >= 2 && bot_ladder_position_is_valid(world, {c.x, c.y - 1, c.z}, team) &&
          ladder_around(c.y + 1)) {
        candidates.push_back({c.x, c.y - 1, c.z});
      }
      if (c.y <= 60 && bot_ladder_position_is_valid(world, {c.x, c.y + 1, c.z}, team) &&
          ladder_around(c.y + 2)) {
        candidates.push_back({c.x, c.y + 1, c.z});
      }
    }
    for (Cell n : candidates) {
      if (parent.emplace(cell_index(n), cell_index(c)).second) queue.push_back(n);
    }
  }
  return {};
}

// Random layered worlds: floors every third layer with air, ladders, lava,
// gates and diggable blocks between them. The search gives the same answer
// as the plain one for many starts and goals, both modes, all kinds of team
// and budgets from tiny to full, one call after another.
TEST(BotPaths, AgreesWithThePlainSearch) {
  const Block floors[] = {Block::Dirt,     Block::Dirt,      Block::Dirt,      Block::HardRock,
                          Block::Lava,     Block::Team1Gate, Block::Team2Gate, Block::Air};
  const Block between[] = {Block::Air,    Block::Air,       Block::Air,       Block::Air,
                           Block::Air,    Block::Air,       Block::Air,       Block::Air,
                           Block::Dirt,   Block::Ore,       Block::Ladder,    Block::Ladder,
                           Block::Lava,   Block::Team1Gate, Block::Team2Gate, Block::HardRock};
  std::uint32_t seed = 777;
  auto next = [&seed](std::uint32_t bound) {
    seed = seed * 1664525u + 1013904223u;
    return (seed >> 8) % bound;
  };
  World world;
  for (int i = 0; i < kCellCount; ++i) {
    const bool floor = cell_at_index(i).y % 3 == 0;
    world.blocks[static_cast<std::size_t>(i)] =
        floor ? id(floors[next(std::size(floors))]) : id(between[next(std::size(between))]);
  }
  std::vector<Cell> standing;
  for (int z = 2; z <= 61; ++z)
    for (int y = 1; y <= 61; ++y)
      for (int x = 2; x <= 61; ++x)
        if (bot_surface_is_valid(world, {x, y, z}, 0)) standing.push_back({x, y, z});
  int found = 0;
  for (int i = 0; i < 100; ++i) {
    const Cell from = standing[next(static_cast<std::uint32_t>(standing.size()))];
    // Mostly goals near the start, so that many are found.
    Cell to = standing[next(static_cast<std::uint32_t>(standing.size()))];
    for (int tries = 0; i % 4 != 0 && tries < 2000; ++tries) {
      const Cell near = standing[next(static_cast<std::uint32_t>(standing.size()))];
      if (std::abs(near.x - from.x) + std::abs(near.z - from.z) <= 10 &&
          std::abs(near.y - from.y) <= 3) {
        to = near;
        break;
      }
    }
    const std::int32_t team = static_cast<std::int32_t>(next(4));
    const std::uint32_t budget = i % 3 == 0 ? 12288u : next(2000);
    for (bool mining : {false, true}) {
      const auto expected = plain_bot_path(world, stand(from), stand(to), team, budget, mining);
      EXPECT_EQ(find_bot_path(world, stand(from), stand(to), team, budget, mining), expected)
          << i << (mining ? " mining" : " walking");
      found += !expected.empty();
    }
  }
  EXPECT_GT(found, 25);
}

}  // namespace
}  // namespace tessmark
