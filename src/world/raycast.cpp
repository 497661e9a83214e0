#include "world/raycast.hpp"

#include <array>
#include <cmath>
#include <cstdint>
#include <limits>

#include "world/catalogue.hpp"

namespace tessmark {

namespace {

constexpr float kInfinity = std::numeric_limits<float>::infinity();
constexpr int kLowestInterior = 1;
constexpr int kHighestInterior = kGridSize - 2;

// The grid boundary a ray meets next along one axis, as a float. Widened so
// that a saturated cell coordinate cannot overflow.
float next_boundary(std::int32_t cell, float d) {
  const std::int64_t b = d > 0.0f ? std::int64_t{cell} + 1 : std::int64_t{cell};
  return static_cast<float>(b);
}

// An axis whose crossing lies at an infinite (or undefined) distance is never
// stepped along again.
bool never_steps(float t_max) { return !(t_max < kInfinity); }

}  // namespace

std::optional<RaycastHit> raycast(const World& world, Vec3 origin, Vec3 direction, float max_distance) {
  if (max_distance <= 0.0f) return std::nullopt;
  const float len =
      std::sqrt(direction.x * direction.x + direction.y * direction.y + direction.z * direction.z);
  if (len <= kFloatEpsilon) return std::nullopt;
  const std::array<float, 3> d{direction.x / len, direction.y / len, direction.z / len};
  const std::array<float, 3> o{origin.x, origin.y, origin.z};

  const Cell start = cell_of_point(origin.x, origin.y, origin.z);
  std::array<std::int32_t, 3> cell{start.x, start.y, start.z};
  std::array<std::int32_t, 3> step{};
  std::array<float, 3> t_max{};
  std::array<float, 3> t_delta{};
  for (std::size_t a = 0; a < 3; ++a) {
    step[a] = d[a] > 0.0f ? 1 : -1;
    if (std::fabs(d[a]) <= kFloatEpsilon) {
      t_max[a] = t_delta[a] = kInfinity;
    } else {
      t_max[a] = (next_boundary(cell[a], d[a]) - o[a]) / d[a];
      t_delta[a] = 1.0f / std::fabs(d[a]);
    }
  }
  if (max_distance < 0.0f || std::isnan(max_distance)) return std::nullopt;

  const auto interior_on = [&](std::size_t a) {
    return cell[a] >= kLowestInterior && cell[a] <= kHighestInterior;
  };
  // Outside the interior on an axis it is moving away from (or never moves
  // along): no interior cell can be examined again, whatever the distance.
  const auto gone_for_good = [&] {
    for (std::size_t a = 0; a < 3; ++a) {
      if (cell[a] < kLowestInterior && (step[a] < 0 || never_steps(t_max[a]))) return true;
      if (cell[a] > kHighestInterior && (step[a] > 0 || never_steps(t_max[a]))) return true;
    }
    return false;
  };

  std::optional<Cell> previous;
  for (;;) {
    const bool interior = interior_on(0) && interior_on(1) && interior_on(2);
    if (interior) {
      const Cell here{cell[0], cell[1], cell[2]};
      if (is_solid(world.at(cell_index(here)))) return RaycastHit{here, previous};
      previous = here;
    } else if (gone_for_good()) {
      return std::nullopt;
    }

    std::size_t axis = 1;
    if (t_max[0] <= t_max[1] && t_max[0] <= t_max[2]) {
      axis = 0;
    } else if (t_max[2] < t_max[1]) {
      axis = 2;
    }
    const float t = t_max[axis];
    // NaN and infinite crossings are never reached: the walk ends there.
    if (!(t <= max_distance) || t == kInfinity) return std::nullopt;

    // Far from the grid, t_max can grow so large that adding t_delta no longer
    // changes it. The walk then steps this one axis forever at the same t, so
    // jump straight to where it would enter the interior.
    if (!interior && t_max[axis] + t_delta[axis] == t_max[axis]) {
      for (std::size_t a = 0; a < 3; ++a) {
        if (a != axis && !interior_on(a)) return std::nullopt;
      }
      cell[axis] = step[axis] > 0 ? kLowestInterior : kHighestInterior;
      continue;
    }

    cell[axis] += step[axis];
    t_max[axis] += t_delta[axis];
  }
}

}  // namespace tessmark
