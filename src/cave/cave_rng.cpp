#include "cave/cave_rng.hpp"

#include <cmath>

namespace tessmark {

namespace {
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
