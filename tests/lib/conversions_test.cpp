// The value conversions every method shares.

#include "conversions.hpp"

#include <gtest/gtest.h>

#include <limits>

namespace tessmark {
namespace {

TEST(Conversions, BlockIdsKeepTheLowEightBits) {
  struct Case {
    std::int32_t in;
    BlockId out;
  };
  for (const Case c : {Case{0, 0}, Case{19, 19}, Case{255, 255}, Case{256, 0}, Case{257, 1},
                       Case{275, 19}, Case{-1, 255}, Case{-256, 0},
                       Case{std::numeric_limits<std::int32_t>::min(), 0},
                       Case{std::numeric_limits<std::int32_t>::max(), 255}})
    EXPECT_EQ(low_byte(c.in), c.out) << c.in;
}

TEST(Conversions, PlayerAmountsAreNeverNegative) {
  EXPECT_EQ(clamp_amount(-1), 0u);
  EXPECT_EQ(clamp_amount(std::numeric_limits<std::int32_t>::min()), 0u);
  EXPECT_EQ(clamp_amount(0), 0u);
  EXPECT_EQ(clamp_amount(37), 37u);
  EXPECT_EQ(clamp_amount(std::numeric_limits<std::int32_t>::max()), 2147483647u);
}

TEST(Conversions, CellsBecomeVectorsOfTheirIntegerCoordinates) {
  const godot::Vector3 v = cell_to_vector(Cell{1, 62, -3});
  EXPECT_EQ(v, (godot::Vector3{1.0f, 62.0f, -3.0f}));
}

}  // namespace
}  // namespace tessmark
