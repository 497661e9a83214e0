#pragma once
// Where one block id sits in the grid, as 64-bit masks: one bit per cell of
// a row of 64 cells. Whole-grid searches use them to skip empty rows at
// memory speed instead of testing cell by cell, and to walk the hits in an
// order other than the memory layout (by transposing a 64 x 64 bit square).

#include <array>
#include <cstdint>
#include <cstring>

#include "world/grid.hpp"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace tessmark {

static_assert(kGridSize == 64, "a row mask has one bit per cell of an x row");

// Eight bytes at a time with plain integer arithmetic; exact for every byte
// (no borrow crosses from one byte into the next).
inline std::uint64_t row_mask_of_portable(const BlockId* row, BlockId value) {
  constexpr std::uint64_t kLow7 = 0x7f7f7f7f7f7f7f7fULL;
  constexpr std::uint64_t kOnes = 0x0101010101010101ULL;
  std::uint64_t mask = 0;
  for (int word = 0; word < 8; ++word) {
    std::uint64_t bytes;
    std::memcpy(&bytes, row + 8 * word, sizeof bytes);
    const std::uint64_t diff = bytes ^ (kOnes * value);
    // High bit of each byte set exactly where that byte of diff is zero.
    const std::uint64_t zero_high = ~(((diff & kLow7) + kLow7) | diff | kLow7);
    // Gather the eight high bits into one byte, lowest address first.
    const std::uint64_t bits = ((zero_high >> 7) * 0x0102040810204080ULL) >> 56;
    mask |= bits << (8 * word);
  }
  return mask;
}

inline std::uint64_t row_mask_of(const BlockId* row, BlockId value) {
#if defined(__SSE2__)
  const __m128i wanted = _mm_set1_epi8(static_cast<char>(value));
  std::uint64_t mask = 0;
  for (int part = 0; part < 4; ++part) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + 16 * part));
    const auto hits = static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, wanted)));
    mask |= static_cast<std::uint64_t>(hits) << (16 * part);
  }
  return mask;
#else
  return row_mask_of_portable(row, value);
#endif
}

// A 64 x 64 square of bits, entry (r, c) being bit c of rows[r].
using BitSquare = std::array<std::uint64_t, 64>;

// Swaps entry (r, c) with (c, r) for every pair: at each of six scales the
// off-diagonal blocks trade places.
inline void transpose(BitSquare& rows) {
  std::uint64_t low = 0x00000000ffffffffULL;  // the columns of the left blocks
  for (int width = 32; width != 0; width >>= 1, low ^= low << width) {
    for (int top = 0; top < 64; top += 2 * width) {
      for (int r = top; r < top + width; ++r) {
        auto& upper = rows[static_cast<std::size_t>(r)];
        auto& lower = rows[static_cast<std::size_t>(r + width)];
        const std::uint64_t swap = ((upper >> width) ^ lower) & low;
        lower ^= swap;
        upper ^= swap << width;
      }
    }
  }
}

}  // namespace tessmark
