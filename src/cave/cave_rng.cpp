#include "cave/cave_rng.hpp"

#include <algorithm>
#include <bit>
#include <cmath>

#include "world/saturate.hpp"

namespace tessmark {

namespace {
constexpr std::int32_t kMbig = 2147483647;
constexpr std::int32_t kMseed = 161803398;
}  // namespace

CaveRng::CaveRng(std::int32_t seed) {
  const std::int32_t a = seed == INT32_MIN ? kMbig : (seed < 0 ? -seed : seed);
  std::int32_t mj = kMseed - a;
  if (mj < 0) mj += kMbig;
  state[55] = mj;
  std::int32_t mk = 1;
  for (std::size_t i = 1; i < 55; ++i) {
    const std::size_t ii = (21 * i) % 55;
    state[ii] = mk;
    std::int32_t t = mj - mk;
    if (t < 0) t += kMbig;
    mj = state[ii];
    mk = t;
  }
  for (int pass = 0; pass < 4; ++pass) {
    for (std::size_t i = 1; i < kWords; ++i) {
      state[i] -= state[1 + (i + 30) % 55];
      if (state[i] < 0) state[i] += kMbig;
    }
  }
}

std::int32_t CaveRng::next_sample() {
  if (++cursor_a == kWords) cursor_a = 1;
  if (++cursor_b == kWords) cursor_b = 1;
  std::int32_t v = state[cursor_a] - state[cursor_b];
  if (v == kMbig) v = kMbig - 1;
  if (v < 0) v += kMbig;
  state[cursor_a] = v;
  return v;
}

float unit_of_sample(std::int32_t sample) {
  // 2^-31 exactly: the single-precision value nearest to 1/2147483647.
  constexpr float kScale = std::bit_cast<float>(0x30000000u);
  return static_cast<float>(sample) * kScale;
}

float CaveRng::next_unit() { return unit_of_sample(next_sample()); }

std::int32_t CaveRng::next_range(std::int32_t lo, std::int32_t hi) {
  if (hi <= lo) return lo;
  // Widen so that no pair of bounds overflows; for the widths generation uses
  // this is the plain 32-bit difference.
  const std::int64_t width = static_cast<std::int64_t>(hi) - lo;
  const float t = next_unit() * static_cast<float>(width);
  const std::int64_t r = lo + static_cast<std::int64_t>(trunc_sat_i32(t));
  // Only a width beyond 2^24, rounded up to a float, could overshoot hi.
  return static_cast<std::int32_t>(std::min<std::int64_t>(r, hi));
}

float CaveRng::next_depth(std::size_t size) {
  const float u1 = next_unit();
  const float u2 = next_unit();
  const float u3 = next_unit();
  const float u4 = next_unit();
  const float s = ((u1 + u2) + u3) + u4;
  const float m = s * 0.5f + -1.0f;
  return (1.0f - std::fabs(m)) * static_cast<float>(size);
}

}  // namespace tessmark
