#include "world/resources.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <tuple>
#include <functional>
#include <limits>
#include <optional>
#include <vector>

#include "cave/generator.hpp"
#include "world/bot_test_worlds.hpp"

namespace tessmark {

void PrintTo(const AccessibleResourceTarget& t, std::ostream* os) {
  *os << "{resource ";
  PrintTo(t.resource_position, os);
  *os << " work ";
  PrintTo(t.work_position, os);
  *os << " approach ";
  PrintTo(t.approach_position, os);
  *os << " block " << int{t.block_type} << " cash " << t.cash_value << " distance " << t.distance
      << '}';
}

namespace {

using Targets = std::vector<AccessibleResourceTarget>;

struct Search {
  Point origin{10.5f, 10.95f, 20.5f};
  std::vector<Point> avoid;
  float radius = 0.0f;
  float max_vertical_delta = 100.0f;
  bool ore = true;
  std::size_t limit = std::numeric_limits<std::size_t>::max();

  Targets run(const World& world) const {
    return find_accessible_resources(world, origin, avoid, radius, max_vertical_delta, ore, limit);
  }
};

float distance(Point a, Point b) {
  const float dx = a.x - b.x, dy = a.y - b.y, dz = a.z - b.z;
  return std::sqrt(dx * dx + dy * dy + dz * dz);
}

constexpr Cell R{20, 10, 20};  // the resource in most worlds below

// Solid HardRock with a standing place two columns out on the +x side of R:
// air at (22, 10..11, 20) over a HardRock floor. Column 21 is what the bot
// digs through on its way in.
World rock_with_spot(test::Placements blocks) {
  World world = test::rock_world();
  world.write_cell(R.x, R.y, R.z, id(Block::Ore));
  test::fill(world, {22, 10, 20}, {22, 11, 20}, Block::Air);
  test::place(world, blocks);
  return world;
}

struct WorkCase {
  const char* name;
  test::Placements blocks;
  std::optional<Cell> work;  // none: the resource is not reachable
};

// What stands between the standing place and the resource decides whether
// and where the bot starts digging.
TEST(Resources, FirstBlockInTheWay) {
  const WorkCase cases[] = {
      {"dirt", {{{21, 10, 20}, Block::Dirt}}, Cell{21, 10, 20}},
      {"rubble", {{{21, 10, 20}, Block::Rubble}}, Cell{21, 10, 20}},
      {"precious", {{{21, 10, 20}, Block::PreciousLow}}, Cell{21, 10, 20}},
      {"lava is dug into", {{{21, 10, 20}, Block::Lava}}, Cell{21, 10, 20}},
      {"air below, dirt above", {{{21, 10, 20}, Block::Air}, {{21, 11, 20}, Block::Dirt}},
       Cell{21, 11, 20}},
      {"hard rock", {}, std::nullopt},
      {"ladder", {{{21, 10, 20}, Block::Ladder}}, std::nullopt},
      {"team 1 gate", {{{21, 10, 20}, Block::Team1Gate}}, std::nullopt},
      {"team 2 gate", {{{21, 10, 20}, Block::Team2Gate}}, std::nullopt},
      {"unnamed id", {{{21, 10, 20}, static_cast<Block>(22)}}, std::nullopt},
      {"air below, hard rock above", {{{21, 10, 20}, Block::Air}}, std::nullopt},
      {"lava floor under the standing place",
       {{{21, 10, 20}, Block::Dirt}, {{22, 9, 20}, Block::Lava}}, std::nullopt},
      {"lava floor under a column walked back",
       {{{21, 10, 20}, Block::Air}, {{21, 11, 20}, Block::Air}, {{21, 9, 20}, Block::Lava}},
       std::nullopt},
      {"air floor under a column walked back",
       {{{21, 10, 20}, Block::Air}, {{21, 11, 20}, Block::Air}, {{21, 9, 20}, Block::Air}},
       std::nullopt},
      {"the walk back stops at the first block",
       {{{21, 10, 20}, Block::Dirt}, {{20, 9, 20}, Block::Lava}}, Cell{21, 10, 20}},
  };
  for (const auto& c : cases) {
    const Targets found = Search{}.run(rock_with_spot(c.blocks));
    if (!c.work) {
      EXPECT_TRUE(found.empty()) << c.name;
      continue;
    }
    ASSERT_EQ(found.size(), 1u) << c.name;
    const Point approach{22.5f, 10.0f + 0.95f, 20.5f};
    EXPECT_EQ(found[0], (AccessibleResourceTarget{R, *c.work, approach, id(Block::Ore), 0,
                                                  distance(approach, Search{}.origin)}))
        << c.name;
  }
}

// On an open HardRock floor, a resource with its own floor is reached from
// the nearest side with nothing to dig.
TEST(Resources, OpenSideApproachAndResultFields) {
  World world = test::floor_world(9);
  world.write_cell(R.x, R.y, R.z, id(Block::PreciousHigh));
  Search search;
  search.ore = false;
  const Targets found = search.run(world);
  ASSERT_EQ(found.size(), 1u);
  const Point approach{19.5f, 10.95f, 20.5f};
  EXPECT_EQ(found[0], (AccessibleResourceTarget{R, R, approach, id(Block::PreciousHigh), 1000,
                                                9.0f}));
  // The ore search does not see precious blocks.
  search.ore = true;
  EXPECT_TRUE(search.run(world).empty());
}

// A resource hanging over air cannot be walked up to, whatever is beside it.
TEST(Resources, ApproachFromBelow) {
  struct Case {
    const char* name;
    int resource_y;
    test::Placements blocks;
    bool found;
  };
  const Case cases[] = {
      {"two air cells over a floor", 12, {}, true},
      {"lava floor", 12, {{{20, 9, 20}, Block::Lava}}, false},
      {"one air cell", 12, {{{20, 10, 20}, Block::Dirt}}, false},
      {"too low", 3, {}, false},
  };
  for (const auto& c : cases) {
    World world = test::rock_world();
    const int y = c.resource_y;
    world.write_cell(20, y, 20, id(Block::Ore));
    test::fill(world, {20, y - 2, 20}, {20, y - 1, 20}, Block::Air);
    // A standing place beside the resource whose walk back fails: no floor
    // under the resource.
    test::fill(world, {19, y, 20}, {19, y + 1, 20}, Block::Air);
    test::place(world, c.blocks);
    Search search;
    search.origin = {20.5f, static_cast<float>(y) - 1.05f, 26.5f};
    const Targets found = search.run(world);
    ASSERT_EQ(found.size(), c.found ? 1u : 0u) << c.name;
    if (c.found) {
      EXPECT_EQ(found[0].work_position, (Cell{20, y, 20})) << c.name;
      EXPECT_EQ(found[0].approach_position, (Point{20.5f, static_cast<float>(y) - 1.05f, 20.5f}));
      EXPECT_EQ(found[0].distance, 6.0f);
    }
  }
}

// Per resource the lowest score wins; on equal scores the smaller work cell,
// and on a full tie the earlier direction (-x, +x, -z, +z, then below).
TEST(Resources, BestTargetPerResource) {
  World world = test::floor_world(9);
  world.write_cell(R.x, R.y, R.z, id(Block::Ore));
  Search search;
  search.origin = {20.5f, 10.95f, 20.5f};  // over the resource: all four sides at distance 1
  Targets found = search.run(world);
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(found[0].approach_position, (Point{19.5f, 10.95f, 20.5f}));

  // -x blocked; +x and -z both dig one Dirt cell, at the same distance:
  // the -z work cell (20, 10, 19) is smaller than (21, 10, 20).
  test::place(world, {{{19, 10, 20}, Block::HardRock},
                      {{19, 11, 20}, Block::HardRock},
                      {{21, 10, 20}, Block::Dirt},
                      {{20, 10, 19}, Block::Dirt},
                      {{20, 10, 21}, Block::Bedrock}});
  found = search.run(world);
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(found[0].work_position, (Cell{20, 10, 19}));
  EXPECT_EQ(found[0].approach_position, (Point{20.5f, 10.95f, 18.5f}));
}

// Distance counts for less on more valuable blocks; each cell dug through
// costs like 1.5 units of distance.
TEST(Resources, ScoresOrderTheResults) {
  World world = test::floor_world(9);
  // PreciousLow 2 away (score 4/100) against PreciousHigh 6 away (36/1000).
  world.write_cell(13, 10, 20, id(Block::PreciousLow));
  world.write_cell(17, 10, 20, id(Block::PreciousHigh));
  Search search;
  search.ore = false;
  Targets found = search.run(world);
  ASSERT_EQ(found.size(), 2u);
  EXPECT_EQ(found[0].resource_position, (Cell{17, 10, 20}));
  EXPECT_EQ(found[1].resource_position, (Cell{13, 10, 20}));

  // Ore whose standing place is 4 away but three columns out, behind two
  // Dirt cells (4 * 4 + (2 * 1.5)^2 = 25), against ore with its standing
  // place right beside it, sqrt(20) away (score 20).
  World dig = test::rock_world();
  test::fill(dig, {16, 10, 20}, {16, 11, 20}, Block::Air);
  test::fill(dig, {8, 10, 18}, {8, 11, 18}, Block::Air);
  test::place(dig, {{{19, 10, 20}, Block::Ore},
                    {{17, 10, 20}, Block::Dirt},
                    {{18, 10, 20}, Block::Dirt},
                    {{8, 10, 17}, Block::Ore}});
  search = Search{};
  search.origin = {12.5f, 10.95f, 20.5f};
  search.max_vertical_delta = 0.0f;
  found = search.run(dig);
  ASSERT_EQ(found.size(), 2u);
  EXPECT_EQ(found[0].resource_position, (Cell{8, 10, 17}));
  EXPECT_EQ(found[0].approach_position, (Point{8.5f, 10.95f, 18.5f}));
  EXPECT_EQ(found[1].resource_position, (Cell{19, 10, 20}));
  EXPECT_EQ(found[1].work_position, (Cell{17, 10, 20}));
  EXPECT_EQ(found[1].approach_position, (Point{16.5f, 10.95f, 20.5f}));
  EXPECT_EQ(found[1].distance, 4.0f);
}

// Four resources at the same score come out by position, x then y then z.
TEST(Resources, EqualScoresAreOrderedByPosition) {
  World world = test::floor_world(9);
  const Cell cells[] = {{30, 10, 25}, {25, 10, 30}, {25, 10, 20}, {20, 10, 25}};
  for (Cell c : cells) world.write_cell(c.x, c.y, c.z, id(Block::Ore));
  Search search;
  search.origin = {25.5f, 10.95f, 25.5f};
  const std::vector<Cell> expected{{20, 10, 25}, {25, 10, 20}, {25, 10, 30}, {30, 10, 25}};
  Targets found = search.run(world);
  ASSERT_EQ(found.size(), 4u);
  for (std::size_t i = 0; i < 4; ++i) {
    EXPECT_EQ(found[i].resource_position, expected[i]) << i;
    EXPECT_EQ(found[i].distance, 4.0f) << i;
  }
  // A NaN in the origin makes every score NaN: still one fixed order.
  search.origin.x = std::numeric_limits<float>::quiet_NaN();
  found = search.run(world);
  ASSERT_EQ(found.size(), 4u);
  for (std::size_t i = 0; i < 4; ++i) EXPECT_EQ(found[i].resource_position, expected[i]) << i;

  search.limit = 2;
  search.origin.x = 25.5f;
  found = search.run(world);
  ASSERT_EQ(found.size(), 2u);
  EXPECT_EQ(found[1].resource_position, expected[1]);
}

TEST(Resources, AvoidPositionsAndHeight) {
  World world = test::floor_world(9);
  world.write_cell(R.x, R.y, R.z, id(Block::Ore));
  struct Case {
    const char* name;
    std::vector<Point> avoid;
    float radius;
    float max_vertical_delta;
    Point origin;
    std::optional<Point> approach;  // none: nothing found
  };
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  const Point west{19.5f, 10.95f, 20.5f};
  const Point north{20.5f, 10.95f, 19.5f};
  const Point centre{20.5f, 10.5f, 20.5f};
  const Case cases[] = {
      {"nothing to avoid", {}, 1.0f, 0.0f, {10.5f, 10.95f, 20.5f}, west},
      {"the resource centre", {{20.5f, 10.5f, 22.0f}}, 2.0f, 0.0f, {10.5f, 10.95f, 20.5f},
       std::nullopt},
      {"only the nearest approach", {west}, 1.0f, 0.0f, {10.5f, 10.95f, 20.5f},
       Point{20.5f, 10.95f, 19.5f}},
      {"exactly at the radius is allowed", {{18.5f, 10.95f, 20.5f}}, 1.0f, 0.0f,
       {10.5f, 10.95f, 20.5f}, west},
      {"radius zero avoids nothing", {centre, west}, 0.0f, 0.0f, {10.5f, 10.95f, 20.5f}, west},
      {"negative radius avoids nothing", {centre}, -3.0f, 0.0f, {10.5f, 10.95f, 20.5f}, west},
      {"NaN radius avoids nothing", {centre}, nan, 0.0f, {10.5f, 10.95f, 20.5f}, west},
      {"infinite radius avoids everything", {{1000.0f, 5.0f, 5.0f}}, inf, 0.0f,
       {10.5f, 10.95f, 20.5f}, std::nullopt},
      {"NaN and infinite avoid positions never match", {{nan, 0.0f, 0.0f}, {inf, inf, inf}},
       5.0f, 0.0f, {10.5f, 10.95f, 20.5f}, west},
      {"negative delta keeps the exact height", {}, 0.0f, -1.0f, {30.5f, 10.95f, 20.5f},
       Point{21.5f, 10.95f, 20.5f}},
      {"a different height fails", {}, 0.0f, -1.0f, {10.5f, 10.96f, 20.5f}, std::nullopt},
      {"within the delta", {}, 0.0f, 0.25f, {20.5f, 11.1f, 10.5f}, north},
      {"NaN delta keeps the exact height", {}, 0.0f, nan, {10.5f, 10.951f, 20.5f}, std::nullopt},
      {"NaN origin height", {}, 0.0f, 100.0f, {10.5f, nan, 20.5f}, std::nullopt},
  };
  for (const auto& c : cases) {
    Search search;
    search.avoid = c.avoid;
    search.radius = c.radius;
    search.max_vertical_delta = c.max_vertical_delta;
    search.origin = c.origin;
    const Targets found = search.run(world);
    ASSERT_EQ(found.size(), c.approach ? 1u : 0u) << c.name;
    if (c.approach) {
      EXPECT_EQ(found[0].approach_position, *c.approach) << c.name;
    }
  }
}

// A long list of far-away avoid positions changes nothing.
TEST(Resources, LongAvoidListFarAway) {
  World world = test::floor_world(9);
  world.write_cell(R.x, R.y, R.z, id(Block::Ore));
  Search search;
  const Targets expected = search.run(world);
  search.radius = 3.0f;
  for (int i = 0; i < 200000; ++i) {
    search.avoid.push_back({-1000.0f - static_cast<float>(i), 5.0f, 5.0f});
  }
  EXPECT_EQ(search.run(world), expected);
  ASSERT_EQ(expected.size(), 1u);
}

TEST(Resources, LimitZeroAndGridEdges) {
  World world = test::floor_world(9);
  world.write_cell(R.x, R.y, R.z, id(Block::Ore));
  Search search;
  search.limit = 0;
  EXPECT_TRUE(search.run(world).empty());

  // Resources in the lowest and highest rows and in the border, each with a
  // standing place beside it, are never reported.
  World edges;
  edges.reset_empty(id(Block::HardRock));
  test::fill(edges, {1, 1, 1}, {62, 62, 62}, Block::Air);
  test::place(edges, {{{20, 1, 20}, Block::Ore},
                      {{20, 62, 20}, Block::Ore},
                      {{20, 61, 20}, Block::HardRock},
                      {{19, 61, 20}, Block::HardRock},
                      {{19, 63, 20}, Block::Air},
                      {{0, 10, 20}, Block::Ore},
                      {{1, 9, 20}, Block::HardRock},
                      {{0, 9, 20}, Block::HardRock}});
  EXPECT_TRUE(Search{}.run(edges).empty());
}

}  // namespace
}  // namespace tessmark

namespace tessmark {
namespace {

// The search in its plainest form: every cell looked at one by one, a map
// for the best target per resource, a stable sort.
Targets plain_find(const World& world, Point origin, const std::vector<Point>& avoid,
                   float radius, float max_vertical_delta, bool ore, std::size_t limit) {
  if (limit == 0) return {};
  const float r = std::isnan(radius) ? 0.0f : std::max(radius, 0.0f);
  const float r2 = r * r;
  const float vmax = std::isnan(max_vertical_delta) ? 0.0f : std::max(max_vertical_delta, 0.0f);
  auto avoided = [&](Point p) {
    for (const Point& a : avoid) {
      const float dx = p.x - a.x, dy = p.y - a.y, dz = p.z - a.z;
      if (r2 > dx * dx + dy * dy + dz * dz) return true;
    }
    return false;
  };
  auto air = [&](int x, int y, int z) { return world.at(x, y, z) == 0; };
  auto floor = [&](int x, int y, int z) {
    return world.at(x, y, z) != 0 && world.at(x, y, z) != 19;
  };
  auto key = [](float f) {
    std::int32_t i;
    std::memcpy(&i, &f, 4);
    return i < 0 ? static_cast<std::int32_t>(i ^ 0x7FFFFFFF) : i;
  };
  auto cell_key = [](Cell c) { return std::tuple(c.x, c.y, c.z); };
  std::map<std::tuple<int, int, int>, std::pair<float, AccessibleResourceTarget>> best;
  auto offer = [&](float score, const AccessibleResourceTarget& t) {
    const auto k = cell_key(t.resource_position);
    auto it = best.find(k);
    if (it == best.end()) {
      best.emplace(k, std::pair(score, t));
    } else if (key(score) < key(it->second.first) ||
               (key(score) == key(it->second.first) &&
                cell_key(t.work_position) < cell_key(it->second.second.work_position))) {
      it->second = {score, t};
    }
  };
  for (int z = 1; z <= 62; ++z)
    for (int y = 2; y <= 61; ++y)
      for (int x = 1; x <= 62; ++x) {
        const BlockId b = world.at(x, y, z);
        const bool wanted = ore ? b == 2 : (b == 3 || b == 4);
        if (!wanted) continue;
        const float divisor = ore ? 1.0f : (b == 3 ? 100.0f : 1000.0f);
        const std::int32_t cash = ore ? 0 : (b == 3 ? 100 : 1000);
        if (avoided({x + 0.5f, y + 0.5f, z + 0.5f})) continue;
        const int dirs[4][2] = {{-1, 0}, {1, 0}, {0, -1}, {0, 1}};
        for (const auto& d : dirs) {
          int k = 1;
          for (; k <= 8; ++k) {
            const int wx = x + k * d[0], wz = z + k * d[1];
            if (wx < 1 || wx > 62 || wz < 1 || wz > 62) {
              k = 9;
              break;
            }
            if (air(wx, y, wz) && air(wx, y + 1, wz) && floor(wx, y - 1, wz)) break;
          }
          if (k > 8) continue;
          std::optional<Cell> work;
          bool failed = false;
          for (int t = k - 1; t >= 0 && !work && !failed; --t) {
            const int tx = x + t * d[0], tz = z + t * d[1];
            if (avoided({tx + 0.5f, y + 0.5f, tz + 0.5f}) || !floor(tx, y - 1, tz)) failed = true;
            else if (!air(tx, y, tz)) work = Cell{tx, y, tz};
            else if (!air(tx, y + 1, tz)) work = Cell{tx, y + 1, tz};
          }
          if (failed || !work || !is_minable_work_cell(world.at(work->x, work->y, work->z))) {
            continue;
          }
          const Point a{(x + k * d[0]) + 0.5f, y + 0.95f, (z + k * d[1]) + 0.5f};
          if (avoided(a) || !(std::fabs(a.y - origin.y) <= vmax)) continue;
          const float dist = std::sqrt((a.x - origin.x) * (a.x - origin.x) +
                                       (a.y - origin.y) * (a.y - origin.y) +
                                       (a.z - origin.z) * (a.z - origin.z));
          const float dig = (k - 1) * 1.5f;
          offer((dig * dig + dist * dist) / divisor, {{x, y, z}, *work, a, b, cash, dist});
        }
        if (y >= 4 && air(x, y - 1, z) && air(x, y - 2, z) && floor(x, y - 3, z)) {
          const Point a{x + 0.5f, y - 1.05f, z + 0.5f};
          if (!avoided(a) && std::fabs(a.y - origin.y) <= vmax) {
            const float dist = std::sqrt((a.x - origin.x) * (a.x - origin.x) +
                                         (a.y - origin.y) * (a.y - origin.y) +
                                         (a.z - origin.z) * (a.z - origin.z));
            offer((dist * dist) / divisor, {{x, y, z}, {x, y, z}, a, b, cash, dist});
          }
        }
      }
  std::vector<std::pair<float, AccessibleResourceTarget>> list;
  for (const auto& [k, v] : best) list.push_back(v);
  std::stable_sort(list.begin(), list.end(), [&](const auto& l, const auto& r2nd) {
    if (key(l.first) != key(r2nd.first)) return key(l.first) < key(r2nd.first);
    return cell_key(l.second.resource_position) < cell_key(r2nd.second.resource_position);
  });
  Targets out;
  for (std::size_t i = 0; i < std::min(limit, list.size()); ++i) out.push_back(list[i].second);
  return out;
}

// Generated worlds, with and without lava, both kinds of resource, several
// origins, avoid lists, radii and height limits: the search gives exactly the
// targets of the plain one, in the same order.
TEST(Resources, AgreesWithThePlainSearchOnGeneratedWorlds) {
  struct Setup {
    bool lava;
    std::int32_t ore_factor, seed;
  };
  const float nan = std::numeric_limits<float>::quiet_NaN();
  for (const Setup& g : {Setup{true, 12, 424242}, Setup{false, 3, 7}}) {
    World world;
    generate_cave_map(world, g.lava, g.ore_factor, g.seed);
    for (int i = 0; i < 6; ++i) {
      Search search;
      search.origin = {5.5f + 9.0f * i, 20.95f + 7.0f * i, 60.5f - 10.0f * i};
      search.avoid = {{20.5f + i, 30.0f, 20.5f}, {40.0f, 10.0f + 5 * i, 45.0f}, {nan, 1.0f, 1.0f}};
      search.radius = i % 3 == 0 ? 0.0f : 2.5f * i;
      search.max_vertical_delta = i == 5 ? 1000.0f : 4.0f * i;
      search.ore = i % 2 == 0;
      search.limit = i == 4 ? 7 : std::numeric_limits<std::size_t>::max();
      const Targets expected = plain_find(world, search.origin, search.avoid, search.radius,
                                          search.max_vertical_delta, search.ore, search.limit);
      EXPECT_EQ(search.run(world), expected) << g.seed << ' ' << i;
      // A bot sent to the approach point stands there: it maps back to a
      // standing place (for a team without a gate; gates are floors too).
      for (const auto& t : expected) {
        EXPECT_TRUE(bot_surface_is_valid(world, bot_support_of_point(t.approach_position), 0));
      }
      if (i == 5) {
        EXPECT_GT(expected.size(), 10u) << g.seed;
      }
    }
  }
}

}  // namespace
}  // namespace tessmark
