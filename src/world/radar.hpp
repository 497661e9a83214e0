#pragma once
// The prospecting radar: a narrow fan of rays sampled every half cell, seeing
// through every block, that reports the most valuable precious block ahead.

#include <array>
#include <cstdint>
#include <span>

#include "world/basis.hpp"
#include "world/grid.hpp"

namespace tessmark {

inline constexpr int kRadarFanSide = 7;  // rays per fan row and column
inline constexpr int kRadarRayCount = kRadarFanSide * kRadarFanSide;
inline constexpr float kRadarMaxDistance = 30.0f;
inline constexpr float kRadarStep = 0.5f;

struct RadarScanResult {
  bool found = false;
  Cell position;             // the reported block; meaningful only when found
  std::int32_t value = 0;    // radar value of the reported block, 0 when nothing was found
  float distance = 0.0f;     // nearest sample distance of any precious hit, else the maximum
  BlockId block = 0;         // the reported block's id, 0 when nothing was found
};

// The 49 ray directions around look_vector: the forward direction rotated
// by i·π/128 about world X after j·π/128 about world Y, for i (outer) and j
// (inner) from -3 to 3. A look vector shorter than 2^-23 looks along -Z.
std::array<Vec3, kRadarRayCount> radar_fan(Vec3 look_vector);

// Samples each ray, in order, at 0, step, 2·step, ... below max_distance from
// origin. The first PreciousHigh met wins, else the first PreciousLow;
// distance is the nearest precious sample on any ray.
RadarScanResult scan_prospecting_radar(const World& world, Vec3 origin, std::span<const Vec3> rays,
                                       float max_distance, float step);

}  // namespace tessmark
