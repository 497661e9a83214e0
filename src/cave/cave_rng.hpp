#pragma once
// The seeded generator behind every random decision of world generation.
// A subtractive lagged generator: the same seed gives the same sequence on
// every machine, which is what makes a seed name one world, byte for byte.

#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>

#include "world/saturate.hpp"

namespace tessmark {

class CaveRng {
 public:
  explicit CaveRng(std::int32_t seed);

  // 0..2147483646; advances the state by one step.
  std::int32_t next_sample();
  // [0, 1] from one sample; 1.0 itself comes up about 63 times in 2^31.
  float next_unit();
  // lo + a truncated fraction of (hi - lo): usually lo..hi-1, hi when the unit
  // draw is exactly 1.0. Draws nothing when hi <= lo.
  std::int32_t next_range(std::int32_t lo, std::int32_t hi);
  // [0, size] from four samples, most likely near size.
  float next_depth(std::size_t size);

 private:
  static constexpr std::int32_t kMbig = 2147483647;  // the largest signed 32-bit value
  static constexpr std::size_t kWords = 56;          // word 0 is never used
  std::array<std::int32_t, kWords> state{};
  std::size_t cursor_a = 0;
  std::size_t cursor_b = 21;
};

// The unit value of one sample: the sample rounded to single precision, times
// 2^-31 (the single-precision value nearest to 1/2147483647).
inline float unit_of_sample(std::int32_t sample) {
  constexpr float kScale = std::bit_cast<float>(0x30000000u);
  return static_cast<float>(sample) * kScale;
}

// The draws are inline: walks make three per step.

inline std::int32_t CaveRng::next_sample() {
  if (++cursor_a == kWords) cursor_a = 1;
  if (++cursor_b == kWords) cursor_b = 1;
  std::int32_t v = state[cursor_a] - state[cursor_b];
  if (v == kMbig) v = kMbig - 1;
  if (v < 0) v += kMbig;
  state[cursor_a] = v;
  return v;
}

inline float CaveRng::next_unit() { return unit_of_sample(next_sample()); }

inline std::int32_t CaveRng::next_range(std::int32_t lo, std::int32_t hi) {
  if (hi <= lo) return lo;
  // Widen so that no pair of bounds overflows; for the widths generation uses
  // this is the plain 32-bit difference.
  const std::int64_t width = static_cast<std::int64_t>(hi) - lo;
  const float t = next_unit() * static_cast<float>(width);
  const std::int64_t r = lo + static_cast<std::int64_t>(trunc_sat_i32(t));
  // Only a width beyond 2^24, rounded up to a float, could overshoot hi.
  return static_cast<std::int32_t>(std::min<std::int64_t>(r, hi));
}

}  // namespace tessmark
