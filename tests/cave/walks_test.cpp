#include "cave/walks.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "cave/noise.hpp"

namespace tessmark {
namespace {

std::size_t count_of(const std::vector<BlockId>& grid, BlockId v) {
  return static_cast<std::size_t>(std::count(grid.begin(), grid.end(), v));
}

TEST(PaintAtPoint, BallSizesAndFaceCuts) {
  struct Case {
    std::int32_t x, y, z, radius;
    std::size_t painted;
  };
  const Case cases[] = {
      {8, 8, 8, -3, 0}, {8, 8, 8, 0, 0}, {8, 8, 8, 1, 1},   {8, 8, 8, 2, 27},
      {8, 8, 8, 3, 93}, {0, 0, 0, 2, 8}, {15, 15, 15, 2, 8}, {0, 8, 8, 3, 93 - 34},
      {-5, 8, 8, 3, 0}, {20, 8, 8, 3, 0},
  };
  for (const Case& c : cases) {
    std::vector<BlockId> grid(16 * 16 * 16, 1);
    paint_at_point(grid, c.x, c.y, c.z, 16, c.radius, 7);
    EXPECT_EQ(count_of(grid, 7), c.painted) << c.x << "," << c.y << "," << c.z << " r" << c.radius;
  }
}

TEST(RandomWalk, KnownPaintedCounts) {
  const Field flat(16 * 16 * 16, 0.5f);
  const Field gradient = generate_gradient(16);
  struct Case {
    const Field* field;
    std::int32_t seed, radius;
    bool clamp;
    std::size_t painted;
  };
  const Case cases[] = {
      {&flat, 13, 1, true, 489},
      {&gradient, 5, 1, false, 123},
      {&gradient, 5, 2, true, 1515},
  };
  for (const Case& c : cases) {
    std::vector<BlockId> grid(16 * 16 * 16, 1);
    CaveRng rng(c.seed);
    paint_with_random_walk(grid, *c.field, 16, c.radius, 3, c.clamp, rng);
    EXPECT_EQ(count_of(grid, 3), c.painted) << c.seed << " r" << c.radius;
  }
}

// Seed 20844's 205th sample is a top sample, so a walk started after 202
// samples draws a start depth equal to size: below the last layer.
TEST(RandomWalk, StartBelowTheLastLayerEndsBeforePainting) {
  CaveRng rng(20844);
  for (int i = 0; i < 202; ++i) rng.next_sample();
  CaveRng after_start = rng;
  for (int i = 0; i < 3; ++i) after_start.next_sample();
  std::vector<BlockId> grid(16 * 16 * 16, 1);
  const Field flat(grid.size(), 0.5f);
  paint_with_random_walk(grid, flat, 16, 1, 3, true, rng);
  EXPECT_EQ(count_of(grid, 3), 0u);
  EXPECT_EQ(rng.next_sample(), after_start.next_sample());
}

TEST(RandomWalk, EmptyCubeDrawsNothing) {
  CaveRng rng(1), untouched(1);
  std::vector<BlockId> grid;
  const Field field;
  paint_with_random_walk(grid, field, 0, 1, 3, false, rng);
  EXPECT_EQ(rng.next_sample(), untouched.next_sample());
}

}  // namespace
}  // namespace tessmark
