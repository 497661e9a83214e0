#include "world/lava.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "world/catalogue.hpp"
#include "world/lava_reference.hpp"

namespace tessmark {
namespace {

using Regions = std::vector<std::int32_t>;

struct Placed {
  Cell cell;
  Block block;
};

std::uint64_t count_lava(const World& w) {
  return static_cast<std::uint64_t>(std::count(w.blocks.begin(), w.blocks.end(), id(Block::Lava)));
}

// A world of `fill` (border included) with the given cells placed through
// load_blocks, so border cells can hold lava too, and with the dirty flags
// already collected.
World scene(Block fill, const std::vector<Placed>& cells) {
  std::vector<BlockId> data(kCellCount, id(fill));
  for (const Placed& p : cells) data[static_cast<std::size_t>(cell_index(p.cell))] = id(p.block);
  World w;
  EXPECT_TRUE(w.load_blocks(data));
  w.take_dirty_regions();
  return w;
}

// Air above a flat layer of dirt at height `floor_y`.
std::vector<Placed> dirt_floor(int floor_y) {
  std::vector<Placed> floor;
  for (int x = 1; x <= 62; ++x)
    for (int z = 1; z <= 62; ++z) floor.push_back({{x, floor_y, z}, Block::Dirt});
  return floor;
}

std::vector<Placed> plus(std::vector<Placed> a, const std::vector<Placed>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

void step(World& w, int steps) {
  for (int i = 0; i < steps; ++i) do_lava_stuff(w);
}

struct StepCase {
  std::string name;
  Block fill;
  std::vector<Placed> before;
  int steps;
  std::vector<Placed> expected;  // cells checked afterwards; others unchecked
  std::uint64_t lava_after;
};

void check_case(const StepCase& c, bool virus) {
  SCOPED_TRACE(c.name);
  World w = scene(c.fill, c.before);
  w.tessmark_virus = virus;
  step(w, c.steps);
  for (const Placed& p : c.expected) {
    EXPECT_EQ(w.at(p.cell.x, p.cell.y, p.cell.z), id(p.block))
        << "at " << p.cell.x << "," << p.cell.y << "," << p.cell.z;
  }
  EXPECT_EQ(w.lava_count, c.lava_after);
  EXPECT_EQ(w.lava_count, count_lava(w));
}

TEST(LavaStep, NormalMode) {
  using enum Block;
  const StepCase cases[] = {
      {"falls into the air below and leaves the source in place",
       Air,
       {{{10, 20, 10}, Lava}},
       1,
       {{{10, 20, 10}, Lava},
        {{10, 19, 10}, Lava},
        {{9, 20, 10}, Air},
        {{11, 20, 10}, Air},
        {{10, 20, 9}, Air},
        {{10, 20, 11}, Air},
        {{10, 18, 10}, Air}},
       2},
      {"a falling stream grows one cell per step",
       Air,
       {{{10, 20, 10}, Lava}},
       3,
       {{{10, 17, 10}, Lava}, {{10, 16, 10}, Air}},
       4},
      {"spreads over a floor, one cell per step",
       Air,
       plus(dirt_floor(4), {{{10, 5, 10}, Lava}}),
       1,
       {{{9, 5, 10}, Lava},
        {{11, 5, 10}, Lava},
        {{10, 5, 9}, Lava},
        {{10, 5, 11}, Lava},
        {{8, 5, 10}, Air},
        {{9, 5, 9}, Air},
        {{10, 6, 10}, Air}},
       5},
      {"second step: the ring spreads on, diagonals filled once",
       Air,
       plus(dirt_floor(4), {{{10, 5, 10}, Lava}}),
       2,
       {{{8, 5, 10}, Lava},
        {{12, 5, 10}, Lava},
        {{10, 5, 8}, Lava},
        {{10, 5, 12}, Lava},
        {{9, 5, 9}, Lava},
        {{11, 5, 11}, Lava},
        {{7, 5, 10}, Air}},
       13},
      {"lava resting on lava does not spread",
       Air,
       plus(dirt_floor(3), {{{10, 4, 10}, Lava}, {{10, 5, 10}, Lava}}),
       1,
       {{{9, 4, 10}, Lava},
        {{9, 5, 10}, Air},
        {{11, 5, 10}, Air},
        {{10, 5, 9}, Air},
        {{10, 5, 11}, Air}},
       6},
      {"lava in the lowest interior layer does not flow",
       Air,
       {{{10, 1, 10}, Lava}},
       1,
       {{{10, 0, 10}, Air}, {{9, 1, 10}, Air}, {{10, 1, 11}, Air}},
       1},
      {"spreading stops at the border",
       Air,
       {{{1, 4, 5}, Dirt}, {{1, 5, 5}, Lava}},
       1,
       {{{0, 5, 5}, Air}, {{2, 5, 5}, Lava}, {{1, 5, 4}, Lava}, {{1, 5, 6}, Lava}},
       4},
      {"lava in the border ignites interior fuel beside it",
       Air,
       {{{0, 5, 5}, Lava}, {{1, 5, 5}, Fuel}},
       1,
       {{{0, 5, 5}, Lava}, {{1, 5, 5}, Lava}, {{0, 4, 5}, Air}},
       2},
      {"lava in the top border layer drips into the interior",
       Air,
       {{{5, 63, 5}, Lava}},
       1,
       {{{5, 62, 5}, Lava}, {{4, 63, 5}, Air}},
       2},
      {"fuel above and beside is ignited, fuel below is ground",
       Air,
       {{{10, 5, 10}, Lava}, {{10, 6, 10}, Fuel}, {{10, 4, 10}, Fuel}, {{11, 5, 10}, Fuel}},
       1,
       {{{10, 6, 10}, Lava},
        {{10, 4, 10}, Fuel},
        {{11, 5, 10}, Lava},
        {{9, 5, 10}, Lava},
        {{10, 5, 9}, Lava},
        {{10, 5, 11}, Lava}},
       6},
      {"fuel ignited earlier in the step is lava to the cell above it",
       Air,
       {{{4, 5, 5}, Lava}, {{5, 5, 5}, Fuel}, {{5, 6, 5}, Lava}},
       1,
       {{{5, 5, 5}, Lava},
        {{4, 4, 5}, Lava},
        {{4, 6, 5}, Air},
        {{6, 6, 5}, Air},
        {{5, 6, 4}, Air},
        {{5, 6, 6}, Air}},
       4},
      // (5, 5, 6) comes before (5, 6, 5) in the visiting order although its
      // cell index is larger: x, then y, then z decide, not the memory layout.
      {"cells are visited x first, then y, then z",
       Air,
       {{{5, 5, 6}, Lava}, {{5, 5, 5}, Fuel}, {{5, 6, 5}, Lava}},
       1,
       {{{5, 5, 5}, Lava}, {{5, 4, 6}, Lava}, {{4, 6, 5}, Air}, {{6, 6, 5}, Air}},
       4},
      {"a plug turns a sealed column into plugs from the top, one cell per step",
       Dirt,
       {{{10, 8, 10}, LavaPlug}, {{10, 7, 10}, Lava}, {{10, 6, 10}, Lava}, {{10, 5, 10}, Lava}},
       1,
       {{{10, 7, 10}, LavaPlug}, {{10, 6, 10}, Lava}, {{10, 5, 10}, Lava}},
       2},
      {"the whole column is plugged after three steps",
       Dirt,
       {{{10, 8, 10}, LavaPlug}, {{10, 7, 10}, Lava}, {{10, 6, 10}, Lava}, {{10, 5, 10}, Lava}},
       3,
       {{{10, 7, 10}, LavaPlug}, {{10, 6, 10}, LavaPlug}, {{10, 5, 10}, LavaPlug}},
       0},
      {"a cell turned into a plug still spreads in the same step",
       Air,
       plus(dirt_floor(4), {{{10, 6, 10}, LavaPlug}, {{10, 5, 10}, Lava}}),
       1,
       {{{10, 5, 10}, LavaPlug},
        {{9, 5, 10}, Lava},
        {{11, 5, 10}, Lava},
        {{10, 5, 9}, Lava},
        {{10, 5, 11}, Lava}},
       4},
      {"a plug in the border converts nothing",
       Dirt,
       {{{10, 63, 10}, LavaPlug}, {{10, 62, 10}, Lava}},
       1,
       {{{10, 62, 10}, Lava}},
       1},
      {"unnamed ids are ground",
       Air,
       {{{10, 4, 10}, static_cast<Block>(200)}, {{10, 5, 10}, Lava}},
       1,
       {{{10, 4, 10}, static_cast<Block>(200)}, {{9, 5, 10}, Lava}},
       5},
  };
  for (const StepCase& c : cases) check_case(c, false);
}

TEST(LavaStep, VirusMode) {
  using enum Block;
  const StepCase cases[] = {
      {"grows into air on all six sides, new lava waits",
       Air,
       {{{10, 10, 10}, Lava}},
       1,
       {{{9, 10, 10}, Lava},
        {{11, 10, 10}, Lava},
        {{10, 9, 10}, Lava},
        {{10, 11, 10}, Lava},
        {{10, 10, 9}, Lava},
        {{10, 10, 11}, Lava},
        {{8, 10, 10}, Air},
        {{9, 9, 10}, Air}},
       7},
      {"fuel and plugs are like any solid block",
       Air,
       {{{10, 10, 10}, Lava}, {{11, 10, 10}, Fuel}, {{10, 11, 10}, LavaPlug}},
       1,
       {{{10, 10, 10}, Lava}, {{11, 10, 10}, Fuel}, {{10, 11, 10}, LavaPlug}, {{10, 9, 10}, Lava}},
       5},
      {"the border is never entered",
       Air,
       {{{1, 1, 1}, Lava}},
       1,
       {{{0, 1, 1}, Air},
        {{1, 0, 1}, Air},
        {{1, 1, 0}, Air},
        {{2, 1, 1}, Lava},
        {{1, 2, 1}, Lava},
        {{1, 1, 2}, Lava}},
       4},
      {"lava in the border grows inward",
       Air,
       {{{0, 5, 5}, Lava}},
       1,
       {{{1, 5, 5}, Lava}, {{0, 6, 5}, Air}},
       2},
  };
  for (const StepCase& c : cases) check_case(c, true);
}

TEST(LavaStep, WorldWithoutLavaIsLeftAlone) {
  World w = scene(Block::Air, plus(dirt_floor(4),
                                   {{{10, 5, 10}, Block::Fuel}, {{11, 5, 10}, Block::LavaPlug}}));
  const World before = w;
  for (bool virus : {false, true}) {
    w.tessmark_virus = virus;
    do_lava_stuff(w);
    EXPECT_EQ(w.blocks, before.blocks);
    EXPECT_EQ(w.lava_count, 0u);
    EXPECT_EQ(w.take_dirty_regions(), Regions{});
  }
}

TEST(LavaStep, MarksTheRegionsOfEveryChangedCell) {
  // Spreading across the face between regions 0 and 1 (x = 15 | 16).
  World w = scene(Block::Air, {{{16, 4, 5}, Block::Dirt}, {{16, 5, 5}, Block::Lava}});
  do_lava_stuff(w);
  EXPECT_EQ(w.at(15, 5, 5), id(Block::Lava));
  EXPECT_EQ(w.take_dirty_regions(), (Regions{0, 1}));
  // Settled lava in a sealed pocket changes nothing and marks nothing.
  World sealed = scene(Block::Dirt, {{{40, 40, 40}, Block::Lava}});
  do_lava_stuff(sealed);
  EXPECT_EQ(sealed.take_dirty_regions(), Regions{});
  EXPECT_EQ(sealed.lava_count, 1u);
}

TEST(LavaStep, ModeIsReadPerStep) {
  World w = scene(Block::Air, plus(dirt_floor(4), {{{10, 5, 10}, Block::Lava}}));
  w.tessmark_virus = true;
  do_lava_stuff(w);  // four sideways and one up
  EXPECT_EQ(w.lava_count, 6u);
  EXPECT_EQ(w.at(10, 6, 10), id(Block::Lava));
  w.tessmark_virus = false;
  do_lava_stuff(w);  // the lava at (10, 6, 10) rests on lava; the ring spreads
  EXPECT_EQ(w.at(10, 7, 10), id(Block::Air));
  EXPECT_EQ(w.at(9, 6, 10), id(Block::Air));
  EXPECT_EQ(w.lava_count, 14u);
  EXPECT_EQ(w.lava_count, count_lava(w));
}

// The three switches are fixed for a game, but the step honours each of them.
TEST(LavaStep, RuleSwitches) {
  World on_lava = scene(
      Block::Air, plus(dirt_floor(3), {{{10, 4, 10}, Block::Lava}, {{10, 5, 10}, Block::Lava}}));
  on_lava.lava_spreads_on_lava = true;
  do_lava_stuff(on_lava);
  EXPECT_EQ(on_lava.at(9, 5, 10), id(Block::Lava));

  World no_fire = scene(Block::Air, {{{10, 5, 10}, Block::Lava}, {{10, 6, 10}, Block::Fuel}});
  no_fire.lava_ignites_fuel = false;
  do_lava_stuff(no_fire);
  EXPECT_EQ(no_fire.at(10, 6, 10), id(Block::Fuel));

  World no_plug = scene(Block::Dirt, {{{10, 5, 10}, Block::Lava}, {{10, 6, 10}, Block::LavaPlug}});
  no_plug.plug_converts_lava = false;
  do_lava_stuff(no_plug);
  EXPECT_EQ(no_plug.at(10, 5, 10), id(Block::Lava));
  EXPECT_EQ(no_plug.lava_count, 1u);
}

// --- Against the cell-by-cell version ----------------------------------------

// Random worlds where lava has room to move: noise of every block the step
// cares about (border included), caves dug into dirt with lava, fuel and
// plugs, and open air over scattered floors.
enum class Terrain { Noise, Caves, Floors };

std::vector<BlockId> random_grid(Terrain terrain, std::mt19937& rng) {
  auto roll = [&rng](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
  constexpr BlockId kNoise[] = {0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 19, 19, 9, 9, 14, 14, 5, 200};
  std::vector<BlockId> grid(kCellCount, 0);
  switch (terrain) {
    case Terrain::Noise:
      for (BlockId& b : grid) b = kNoise[roll(std::size(kNoise))];
      break;
    case Terrain::Caves:
      std::fill(grid.begin(), grid.end(), id(Block::Dirt));
      for (int room = 0; room < 60; ++room) {
        const int x0 = roll(60), y0 = roll(60), z0 = roll(60);
        const int sx = 2 + roll(12), sy = 2 + roll(8), sz = 2 + roll(12);
        for (int z = z0; z < std::min(64, z0 + sz); ++z)
          for (int y = y0; y < std::min(64, y0 + sy); ++y)
            for (int x = x0; x < std::min(64, x0 + sx); ++x)
              grid[static_cast<std::size_t>(cell_index(x, y, z))] = 0;
      }
      for (int i = 0; i < 3000; ++i) {
        constexpr BlockId kSprinkled[] = {19, 19, 19, 9, 9, 14, 0};
        grid[static_cast<std::size_t>(roll(kCellCount))] = kSprinkled[roll(std::size(kSprinkled))];
      }
      break;
    case Terrain::Floors:
      for (int floor = 0; floor < 40; ++floor) {
        const int y = roll(64), x0 = roll(50), z0 = roll(50), size = 4 + roll(14);
        const BlockId material = roll(4) == 0 ? id(Block::Fuel) : id(Block::Dirt);
        for (int z = z0; z < std::min(64, z0 + size); ++z)
          for (int x = x0; x < std::min(64, x0 + size); ++x)
            grid[static_cast<std::size_t>(cell_index(x, y, z))] = material;
      }
      for (int i = 0; i < 400; ++i) {
        constexpr BlockId kSprinkled[] = {19, 19, 19, 19, 14, 9};
        grid[static_cast<std::size_t>(roll(kCellCount))] = kSprinkled[roll(std::size(kSprinkled))];
      }
      break;
  }
  return grid;
}

TEST(LavaStep, SameWorldAsVisitingEveryCell) {
  std::mt19937 rng(20261211);
  int world_number = 0;
  // Switch settings as bits (1: no ignition, 2: no plugging, 4: spread on
  // lava); every terrain runs with the game's own setting 0, and the other
  // seven are spread over the terrains.
  constexpr Terrain kTerrains[] = {Terrain::Noise, Terrain::Caves, Terrain::Floors};
  constexpr int kSwitches[3][4] = {{0, 1, 2, 3}, {0, 4, 5, 6}, {0, 7, 3, 5}};
  for (int t = 0; t < 3; ++t) {
    const Terrain terrain = kTerrains[t];
    for (int switches : kSwitches[t]) {
      SCOPED_TRACE("world " + std::to_string(world_number++));
      World fast;
      ASSERT_TRUE(fast.load_blocks(random_grid(terrain, rng)));
      fast.lava_ignites_fuel = (switches & 1) == 0;
      fast.plug_converts_lava = (switches & 2) == 0;
      fast.lava_spreads_on_lava = (switches & 4) != 0;
      fast.tessmark_virus = rng() % 4 == 0;
      fast.take_dirty_regions();
      World reference = fast;
      for (int s = 0; s < 16; ++s) {
        if (rng() % 6 == 0) {
          fast.tessmark_virus = !fast.tessmark_virus;
          reference.tessmark_virus = fast.tessmark_virus;
        }
        do_lava_stuff(fast);
        testing::do_lava_stuff_by_visiting_every_cell(reference);
        ASSERT_EQ(fast.blocks, reference.blocks) << "step " << s;
        ASSERT_EQ(fast.lava_count, reference.lava_count) << "step " << s;
        ASSERT_EQ(fast.dirty_regions, reference.dirty_regions) << "step " << s;
        ASSERT_EQ(fast.lava_count, count_lava(fast)) << "step " << s;
        // Collect the flags now and then, so later steps are checked on
        // their own marks too.
        if (rng() % 2 == 0) {
          fast.take_dirty_regions();
          reference.take_dirty_regions();
        }
      }
    }
  }
}

}  // namespace
}  // namespace tessmark
