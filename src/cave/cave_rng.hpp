#pragma once
// The seeded generator behind every random decision of world generation.
// A subtractive lagged generator: the same seed gives the same sequence on
// every machine, which is what makes a seed name one world, byte for byte.

#include <array>
#include <cstddef>
#include <cstdint>

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
  static constexpr std::size_t kWords = 56;  // word 0 is never used
  std::array<std::int32_t, kWords> state{};
  std::size_t cursor_a = 0;
  std::size_t cursor_b = 21;
};

// The unit value of one sample: the sample rounded to single precision, times 2^-31.
float unit_of_sample(std::int32_t sample);

}  // namespace tessmark
