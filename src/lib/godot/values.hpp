#pragma once
// Plain engine value types with the engine's own layouts (real_t = float),
// so pointer calls can read and write them in place.

#include <cstdint>

namespace tessmark::godot {

struct Vector2 {
  float x = 0.0f, y = 0.0f;
  friend constexpr bool operator==(const Vector2&, const Vector2&) = default;
};

struct Vector3 {
  float x = 0.0f, y = 0.0f, z = 0.0f;
  friend constexpr bool operator==(const Vector3&, const Vector3&) = default;
};

struct Vector3i {
  std::int32_t x = 0, y = 0, z = 0;
  friend constexpr bool operator==(const Vector3i&, const Vector3i&) = default;
};

struct Color {
  float r = 0.0f, g = 0.0f, b = 0.0f, a = 1.0f;
  friend constexpr bool operator==(const Color&, const Color&) = default;
};

static_assert(sizeof(Vector2) == 8);
static_assert(sizeof(Vector3) == 12);
static_assert(sizeof(Vector3i) == 12);
static_assert(sizeof(Color) == 16);

}  // namespace tessmark::godot
