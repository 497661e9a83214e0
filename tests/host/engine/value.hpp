#pragma once
// A host-side Variant that owns its value, for building arguments and
// inspecting results in tests.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "engine/values.hpp"

namespace tessmark::host {

struct Vec3 {
  float x = 0, y = 0, z = 0;
  friend bool operator==(const Vec3&, const Vec3&) = default;
};

struct Vec3i {
  std::int32_t x = 0, y = 0, z = 0;
  friend bool operator==(const Vec3i&, const Vec3i&) = default;
};

class Value {
 public:
  Value() = default;
  Value(bool v);
  Value(int v) : Value(static_cast<std::int64_t>(v)) {}
  Value(std::int64_t v);
  Value(double v);
  Value(Vec3 v);
  Value(const char* text);
  static Value bytes(std::span<const std::uint8_t> data);
  static Value int32s(std::span<const std::int32_t> data);
  static Value vector3s(std::span<const Vec3> data);
  static Value adopt(Variant v);  // takes ownership

  Value(const Value& other);
  Value& operator=(const Value& other);
  ~Value();

  std::int32_t type() const { return v_.type; }
  bool is_nil() const { return v_.type == kNil; }
  bool as_bool() const;
  std::int64_t as_int() const;
  double as_float() const;
  Vec3 as_vec3() const;
  Vec3i as_vec3i() const;
  std::string as_string() const;

  // Dictionary: keys in insertion order and lookup by String key.
  std::vector<std::string> keys() const;
  Value at(const std::string& key) const;
  // Array: size, element, element type of a typed array.
  std::size_t size() const;
  Value item(std::size_t index) const;
  std::int32_t element_type() const;
  // Packed arrays.
  std::vector<std::uint8_t> byte_values() const;
  std::vector<std::int32_t> int32_values() const;
  std::vector<Vec3> vec3_values() const;

  const Variant& raw() const { return v_; }
  Variant* raw_mut() { return &v_; }

 private:
  static Value packed(std::int32_t type, const void* data, std::size_t size_bytes);
  Variant v_{};
};

}  // namespace tessmark::host
