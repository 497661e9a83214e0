#include "world/row_scan.hpp"

#include <gtest/gtest.h>

#include <array>
#include <random>

namespace tessmark {
namespace {

TEST(RowScan, MasksMarkExactlyTheMatchingCells) {
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

}  // namespace
}  // namespace tessmark
