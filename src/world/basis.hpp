#pragma once
// The small piece of 3D vector math the tools need: a single-precision vector
// and a 3x3 rotation matrix built from an axis and an angle, with the same
// layout and rounding as the engine's own Basis (rows stored, products summed
// left to right), so that rays built here land in the same cells as rays the
// game builds in script.

#include <array>

namespace tessmark {

// Directions whose length (or squared length) is at most this are too short
// to point anywhere: 2^-23, the spacing of floats just above 1.
inline constexpr float kFloatEpsilon = 1.1920929e-07f;

struct Vec3 {
  float x = 0.0f, y = 0.0f, z = 0.0f;
  friend constexpr bool operator==(const Vec3&, const Vec3&) = default;
};

struct Basis {
  // rows[r] is row r of the matrix; a vector is transformed as rows · v.
  std::array<Vec3, 3> rows{Vec3{1.0f, 0.0f, 0.0f}, Vec3{0.0f, 1.0f, 0.0f}, Vec3{0.0f, 0.0f, 1.0f}};

  // Right-handed rotation by `angle` radians about the unit vector `axis`:
  // about +X a quarter turn takes +Y to +Z, about +Y it takes +Z to +X.
  static Basis from_axis_angle(Vec3 axis, float angle);

  friend constexpr bool operator==(const Basis&, const Basis&) = default;
};

float dot(Vec3 a, Vec3 b);
// Matrix product: applying a * b to v applies b first, then a.
Basis operator*(const Basis& a, const Basis& b);
Vec3 operator*(const Basis& m, Vec3 v);

}  // namespace tessmark
