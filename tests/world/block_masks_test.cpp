#include "world/block_masks.hpp"

#include <gtest/gtest.h>

#include <array>
#include <random>

namespace tessmark {
namespace {

TEST(BlockMasks, MasksMarkExactlyTheMatchingCells) {
  std::mt19937 rng(7);
  std::array<BlockId, kGridSize> row{};
  for (int round = 0; round < 2000; ++round) {
    // Few distinct values, including neighbours of the wanted one and 0x80+
    // bytes, so carries between bytes would show.
    constexpr BlockId kValues[] = {0, 18, 19, 20, 0x93, 0xff, 0x80};
    for (BlockId& b : row) b = kValues[rng() % std::size(kValues)];
    const BlockId wanted = kValues[rng() % std::size(kValues)];
    std::uint64_t expected = 0;
    for (int x = 0; x < kGridSize; ++x)
      if (row[static_cast<std::size_t>(x)] == wanted) expected |= std::uint64_t{1} << x;
    ASSERT_EQ(row_mask_of(row.data(), wanted), expected);
    ASSERT_EQ(row_mask_of_portable(row.data(), wanted), expected);
  }
}

TEST(BlockMasks, TransposeSwapsRowsAndColumns) {
  std::mt19937_64 rng(11);
  for (int round = 0; round < 50; ++round) {
    BitSquare square;
    for (auto& row : square) row = rng() & rng();  // sparse and dense bits alike
    BitSquare flipped = square;
    transpose(flipped);
    for (int r = 0; r < 64; ++r)
      for (int c = 0; c < 64; ++c)
        ASSERT_EQ((square[static_cast<std::size_t>(r)] >> c) & 1,
                  (flipped[static_cast<std::size_t>(c)] >> r) & 1)
            << r << "," << c;
    transpose(flipped);
    ASSERT_EQ(flipped, square);
  }
}

}  // namespace
}  // namespace tessmark
