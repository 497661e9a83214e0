#include "world/radar.hpp"

#include <algorithm>
#include <cmath>
#include <cstddef>

#include "world/catalogue.hpp"

namespace tessmark {

namespace {

constexpr float kPi = 3.1415927f;
constexpr float kFanAngleStep = 0.0078125f;  // 1/128 of π per fan step
constexpr Vec3 kXAxis{1.0f, 0.0f, 0.0f};
constexpr Vec3 kYAxis{0.0f, 1.0f, 0.0f};

constexpr float kInteriorLow = 1.0f;
constexpr float kInteriorEnd = static_cast<float>(kGridSize - 1);

// The cell of a point is interior exactly when every component lies in
// [1, 63); there the floor is the truncation, so no library floor is needed
// on this hot path.
bool in_interior_cell(Vec3 p) {
  return p.x >= kInteriorLow && p.x < kInteriorEnd && p.y >= kInteriorLow && p.y < kInteriorEnd &&
         p.z >= kInteriorLow && p.z < kInteriorEnd;
}

// A sample outside the interior on an axis it moves away from (or not at all)
// can never reach an interior cell again.
bool gone_on_axis(float p, float advance) {
  if (std::isnan(p)) return true;
  return (p < kInteriorLow && advance <= 0.0f) || (p >= kInteriorEnd && advance >= 0.0f);
}

}  // namespace

std::array<Vec3, kRadarRayCount> radar_fan(Vec3 look_vector) {
  const float len_sq = look_vector.x * look_vector.x + look_vector.y * look_vector.y +
                       look_vector.z * look_vector.z;
  Vec3 forward{0.0f, 0.0f, -1.0f};
  if (!(len_sq <= kFloatEpsilon)) {
    const float len = std::sqrt(len_sq);
    forward = {look_vector.x / len, look_vector.y / len, look_vector.z / len};
  }

  std::array<Vec3, kRadarRayCount> rays;
  std::size_t n = 0;
  constexpr int kHalf = kRadarFanSide / 2;
  for (int i = -kHalf; i <= kHalf; ++i) {
    const float alpha = (static_cast<float>(i) * kPi) * kFanAngleStep;
    const Basis about_x = Basis::from_axis_angle(kXAxis, alpha);
    for (int j = -kHalf; j <= kHalf; ++j) {
      const float beta = (static_cast<float>(j) * kPi) * kFanAngleStep;
      rays[n++] = (about_x * Basis::from_axis_angle(kYAxis, beta)) * forward;
    }
  }
  return rays;
}

RadarScanResult scan_prospecting_radar(const World& world, Vec3 origin, std::span<const Vec3> rays,
                                       float max_distance, float step) {
  RadarScanResult result;
  result.distance = max_distance;
  if (max_distance <= 0.0f || step <= 0.0f) return result;
  const std::size_t samples = trunc_sat_usize(std::ceil(max_distance / step));

  for (const Vec3& d : rays) {
    const Vec3 advance{d.x * step, d.y * step, d.z * step};
    Vec3 p = origin;
    for (std::size_t k = 0; k < samples; ++k) {
      if (in_interior_cell(p)) {
        const Cell c{static_cast<std::int32_t>(p.x), static_cast<std::int32_t>(p.y),
                     static_cast<std::int32_t>(p.z)};
        const BlockId block = world.at(cell_index(c));
        const std::int32_t value = static_cast<std::int32_t>(radar_value(block));
        if (value != 0) {
          if (value > result.value) {
            result.found = true;
            result.position = c;
            result.block = block;
            result.value = value;
          }
          result.distance = std::min(result.distance, static_cast<float>(k) * step);
        }
      } else if (gone_on_axis(p.x, advance.x) || gone_on_axis(p.y, advance.y) ||
                 gone_on_axis(p.z, advance.z)) {
        break;  // the remaining samples cannot meet anything
      }
      const Vec3 next{p.x + advance.x, p.y + advance.y, p.z + advance.z};
      if (next == p) break;  // standing still: every remaining sample repeats this one
      p = next;
    }
  }
  return result;
}

}  // namespace tessmark
