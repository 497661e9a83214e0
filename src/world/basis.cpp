#include "world/basis.hpp"

#include <cmath>

namespace tessmark {

Basis Basis::from_axis_angle(Vec3 axis, float angle) {
  // Rodrigues' rotation formula, written out per element.
  const float c = std::cos(angle);
  const float s = std::sin(angle);
  const float t = 1.0f - c;
  const Vec3 sq{axis.x * axis.x, axis.y * axis.y, axis.z * axis.z};

  Basis m;
  m.rows[0].x = sq.x + c * (1.0f - sq.x);
  m.rows[1].y = sq.y + c * (1.0f - sq.y);
  m.rows[2].z = sq.z + c * (1.0f - sq.z);

  const float xy = axis.x * axis.y * t;
  const float xz = axis.x * axis.z * t;
  const float yz = axis.y * axis.z * t;
  const float xs = axis.x * s;
  const float ys = axis.y * s;
  const float zs = axis.z * s;
  m.rows[0].y = xy - zs;
  m.rows[1].x = xy + zs;
  m.rows[0].z = xz + ys;
  m.rows[2].x = xz - ys;
  m.rows[1].z = yz - xs;
  m.rows[2].y = yz + xs;
  return m;
}

float dot(Vec3 a, Vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

namespace {
Vec3 column(const Basis& m, int c) {
  const auto pick = [c](Vec3 row) { return c == 0 ? row.x : c == 1 ? row.y : row.z; };
  return {pick(m.rows[0]), pick(m.rows[1]), pick(m.rows[2])};
}
}  // namespace

Basis operator*(const Basis& a, const Basis& b) {
  const Vec3 b0 = column(b, 0), b1 = column(b, 1), b2 = column(b, 2);
  Basis m;
  for (int r = 0; r < 3; ++r) {
    const Vec3 row = a.rows[static_cast<std::size_t>(r)];
    m.rows[static_cast<std::size_t>(r)] = {dot(row, b0), dot(row, b1), dot(row, b2)};
  }
  return m;
}

Vec3 operator*(const Basis& m, Vec3 v) { return {dot(m.rows[0], v), dot(m.rows[1], v), dot(m.rows[2], v)}; }

}  // namespace tessmark
