#pragma once
// Float-to-integer conversions that never overflow: truncate toward zero,
// clamp to the target's range, and send NaN to 0. Scripts can pass any float,
// and world generation depends on these exact rules for its draws.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>

namespace tessmark {

constexpr std::int32_t trunc_sat_i32(float t) {
  if (t != t) return 0;
  if (t > 2147483520.0f) return std::numeric_limits<std::int32_t>::max();
  if (t < -2147483648.0f) return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(t);
}

constexpr std::size_t trunc_sat_usize(float t) {
  if (!(t >= 0.0f)) return 0;  // NaN and negatives
  if (t > 1.8446742974197924e19f) return std::numeric_limits<std::size_t>::max();
  return static_cast<std::size_t>(t);
}

}  // namespace tessmark
