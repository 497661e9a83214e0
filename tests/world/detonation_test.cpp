#include "world/detonation.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <random>
#include <set>
#include <tuple>
#include <vector>

#include "world/catalogue.hpp"

namespace tessmark {
namespace {

using Cells = std::vector<Cell>;

// The rule as the game states it: scan the whole cube of offsets, and set off
// an explosive by recursion the moment the scan meets it. Only the offsets
// are limited to those that can land inside the grid, so large radii stay cheap.
void reference_inner(World& w, int x, int y, int z, long long r, Cells& out) {
  if (!is_interior(x, y, z) || !is_explosive(w.at(x, y, z))) return;
  w.write_cell(x, y, z, 0);
  out.push_back({x, y, z});
  const auto lo = [r](int c) { return static_cast<int>(std::max<long long>(-r, -c)); };
  const auto hi = [r](int c) { return static_cast<int>(std::min<long long>(r, kGridSize - 1 - c)); };
  for (int dx = lo(x); dx <= hi(x); ++dx) {
    for (int dy = lo(y); dy <= hi(y); ++dy) {
      for (int dz = lo(z); dz <= hi(z); ++dz) {
        if (static_cast<long long>(dx) * dx + dy * dy + dz * dz > r * r) continue;
        const int cx = x + dx, cy = y + dy, cz = z + dz;
        if (!is_interior(cx, cy, cz)) continue;
        const BlockId b = w.at(cx, cy, cz);
        if (is_cleared_by_blast(b)) {
          w.write_cell(cx, cy, cz, 0);
          out.push_back({cx, cy, cz});
        } else if (is_explosive(b)) {
          reference_inner(w, cx, cy, cz, r, out);
        }
      }
    }
  }
}

Cells reference_detonation(World& w, int x, int y, int z, int radius) {
  Cells out;
  if (!is_interior(x, y, z) || !is_explosive(w.at(x, y, z))) return out;
  reference_inner(w, x, y, z, std::max(radius, 0), out);
  return out;
}

World dirt_world_with_explosive(Cell at) {
  World w;
  w.reset_empty(id(Block::Dirt));
  w.set_block(at.x, at.y, at.z, id(Block::Explosive));
  w.take_dirty_regions();
  return w;
}

TEST(Detonation, BallSizes) {
  struct Case {
    int radius;
    std::size_t cleared;
  };
  const Case cases[] = {{-5, 1}, {0, 1}, {1, 7}, {2, 33}, {3, 123}};
  for (const Case& c : cases) {
    World w = dirt_world_with_explosive({30, 30, 30});
    const Cells got = detonate_at_cells(w, 30, 30, 30, c.radius);
    EXPECT_EQ(got.size(), c.cleared) << c.radius;
    EXPECT_EQ(got.front(), (Cell{30, 30, 30})) << c.radius;
    std::size_t air = 0;
    for (int i = 0; i < kCellCount; ++i) air += w.at(i) == 0;
    EXPECT_EQ(air, c.cleared) << c.radius;
  }
}

TEST(Detonation, ChainedExplosiveComesInWhereTheScanMeetsIt) {
  World w;
  w.set_block(20, 20, 20, id(Block::Explosive));
  w.set_block(19, 20, 20, id(Block::Dirt));
  w.set_block(20, 21, 20, id(Block::Dirt));
  w.set_block(21, 20, 20, id(Block::Explosive));
  w.set_block(22, 20, 20, id(Block::Dirt));
  EXPECT_EQ(detonate_at_cells(w, 20, 20, 20, 1),
            (Cells{{20, 20, 20}, {19, 20, 20}, {20, 21, 20}, {21, 20, 20}, {22, 20, 20}}));
}

TEST(Detonation, NothingHappensWithoutAnInteriorExplosive) {
  struct Case {
    Cell at;
  };
  World w;
  w.reset_empty(id(Block::Explosive));  // border cells hold explosives too
  w.set_block(30, 30, 30, id(Block::Dirt));
  w.take_dirty_regions();
  const World before = w;
  const Cell starts[] = {{30, 30, 30}, {63, 5, 5}, {0, 5, 5}, {5, -1, 5}, {5, 5, 64},
                         {std::numeric_limits<std::int32_t>::min(), 5, 5}};
  for (const Cell& s : starts) {
    EXPECT_TRUE(detonate_at_cells(w, s.x, s.y, s.z, 1000).empty());
    EXPECT_EQ(w.blocks, before.blocks);
    EXPECT_TRUE(w.take_dirty_regions().empty());
  }
}

TEST(Detonation, LeavesBorderBlastProofAndUnnamedBlocks) {
  World w;
  w.reset_empty(id(Block::Dirt));
  const BlockId kept[] = {3, 4, 10, 11, 12, 13, 17, 22, 255};
  int x = 2;
  for (BlockId b : kept) w.set_block(x++, 2, 2, b);
  w.set_block(1, 1, 1, id(Block::Explosive));
  w.set_block(3, 3, 3, id(Block::Lava));
  w.set_block(4, 3, 3, id(Block::Lava));
  ASSERT_EQ(w.lava_count, 2u);
  const World before = w;

  const Cells got = detonate_at_cells(w, 1, 1, 1, 20);
  EXPECT_EQ(w.lava_count, 0u);
  for (int i = 0; i < kCellCount; ++i) {
    const Cell c = cell_at_index(i);
    const BlockId was = before.at(i);
    const bool in_ball = (c.x - 1) * (c.x - 1) + (c.y - 1) * (c.y - 1) + (c.z - 1) * (c.z - 1) <= 400;
    const bool cleared = is_interior(c) && in_ball && (is_cleared_by_blast(was) || is_explosive(was));
    ASSERT_EQ(w.at(i), cleared ? 0 : was) << c.x << ' ' << c.y << ' ' << c.z;
  }
  std::set<std::tuple<int, int, int>> distinct;
  for (const Cell& c : got) distinct.insert({c.x, c.y, c.z});
  EXPECT_EQ(distinct.size(), got.size());
}

TEST(Detonation, ClearingOnARegionFaceMarksTheRegionAcross) {
  World w;
  w.set_block(15, 20, 20, id(Block::Explosive));
  w.set_block(16, 20, 20, id(Block::Dirt));
  w.take_dirty_regions();
  EXPECT_EQ(detonate_at_cells(w, 15, 20, 20, 1).size(), 2u);
  EXPECT_EQ(w.take_dirty_regions(), (std::vector<std::int32_t>{20, 21}));
}

// Every interior cell an explosive: one chain reaches all of them. With the
// largest radius each explosive's ball is the whole interior.
TEST(Detonation, ChainThroughTheWholeGrid) {
  for (int radius : {1, std::numeric_limits<std::int32_t>::max()}) {
    World w;
    w.reset_empty(id(Block::Explosive));
    const Cells got = detonate_at_cells(w, 31, 31, 31, radius);
    EXPECT_EQ(got.size(), 62u * 62u * 62u) << radius;
    for (int i = 0; i < kCellCount; ++i) {
      ASSERT_EQ(w.at(i), is_interior(cell_at_index(i)) ? 0 : id(Block::Explosive)) << radius;
    }
  }
}

// Random worlds of explosives among every kind of block: the same list, grid,
// lava counter and dirty regions as the rule written out directly.
TEST(Detonation, MatchesTheDirectRule) {
  std::mt19937 rng(1234);
  const int radii[] = {0, 1, 2, 3, 4, 5, 7, 9, 12, 60, 106, 107, 5000, std::numeric_limits<std::int32_t>::max()};
  for (int round = 0; round < 14; ++round) {
    const int radius = radii[static_cast<std::size_t>(round) % std::size(radii)];
    // Large balls get few explosives so the direct rule stays quick. The
    // blocks fill a corner box, alternating corners, so the grid's border
    // and its far side both take part.
    const int explosive_permille = radius > 12 ? 5 : 60;
    const int lo = round % 2 == 0 ? 0 : 42;
    const int hi = lo + 21;
    World w;
    std::vector<BlockId> blocks(kCellCount);
    for (int i = 0; i < kCellCount; ++i) {
      const Cell c = cell_at_index(i);
      if (std::min({c.x, c.y, c.z}) < lo || std::max({c.x, c.y, c.z}) > hi) continue;
      const int roll = static_cast<int>(rng() % 1000);
      blocks[static_cast<std::size_t>(i)] = roll < explosive_permille ? id(Block::Explosive)
                                            : roll < 700             ? static_cast<BlockId>(rng() % 24)
                                                                     : id(Block::Air);
    }
    const auto pick = [&] { return static_cast<int>(std::max(lo, 1) + rng() % 20); };
    const Cell start{pick(), pick(), pick()};
    blocks[static_cast<std::size_t>(cell_index(start))] = id(Block::Explosive);
    w.load_blocks(blocks);
    w.take_dirty_regions();
    World expected = w;

    const Cells got = detonate_at_cells(w, start.x, start.y, start.z, radius);
    const Cells want = reference_detonation(expected, start.x, start.y, start.z, radius);
    ASSERT_EQ(got, want) << "round " << round << " radius " << radius;
    ASSERT_EQ(w.blocks, expected.blocks) << round;
    ASSERT_EQ(w.lava_count, expected.lava_count) << round;
    ASSERT_EQ(w.dirty_regions, expected.dirty_regions) << round;
  }
}

}  // namespace
}  // namespace tessmark
