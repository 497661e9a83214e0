#pragma once
// The engine's packed arrays: contiguous elements, built from a finished
// list in one copy and read in place as a span.

#include <cstdint>
#include <cstring>
#include <span>

#include "godot/engine_value.hpp"
#include "godot/values.hpp"

namespace tessmark::godot {

// Where each element type's packed array lives in the interface.
template <typename Elem>
struct PackedLayout;

template <>
struct PackedLayout<std::uint8_t> {
  static constexpr abi::VariantType kType = abi::kPackedByteArray;
  static void* first(abi::TypePtr a) { return engine.api.packed_byte_array_operator_index(a, 0); }
  static const void* first(abi::ConstTypePtr a) {
    return engine.api.packed_byte_array_operator_index_const(a, 0);
  }
};
template <>
struct PackedLayout<std::int32_t> {
  static constexpr abi::VariantType kType = abi::kPackedInt32Array;
  static void* first(abi::TypePtr a) { return engine.api.packed_int32_array_operator_index(a, 0); }
  static const void* first(abi::ConstTypePtr a) {
    return engine.api.packed_int32_array_operator_index_const(a, 0);
  }
};
template <>
struct PackedLayout<Vector2> {
  static constexpr abi::VariantType kType = abi::kPackedVector2Array;
  static void* first(abi::TypePtr a) {
    return engine.api.packed_vector2_array_operator_index(a, 0);
  }
  static const void* first(abi::ConstTypePtr a) {
    return engine.api.packed_vector2_array_operator_index_const(a, 0);
  }
};
template <>
struct PackedLayout<Vector3> {
  static constexpr abi::VariantType kType = abi::kPackedVector3Array;
  static void* first(abi::TypePtr a) {
    return engine.api.packed_vector3_array_operator_index(a, 0);
  }
  static const void* first(abi::ConstTypePtr a) {
    return engine.api.packed_vector3_array_operator_index_const(a, 0);
  }
};
template <>
struct PackedLayout<Color> {
  static constexpr abi::VariantType kType = abi::kPackedColorArray;
  static void* first(abi::TypePtr a) { return engine.api.packed_color_array_operator_index(a, 0); }
  static const void* first(abi::ConstTypePtr a) {
    return engine.api.packed_color_array_operator_index_const(a, 0);
  }
};

template <typename Elem>
class PackedArray : public EngineValue<PackedLayout<Elem>::kType, 16> {
  using Base = EngineValue<PackedLayout<Elem>::kType, 16>;

 public:
  using Element = Elem;
  using Base::Base;

  static PackedArray from(std::span<const Elem> items) {
    PackedArray array;
    if (!items.empty()) {
      array.engine_resize(items.size());
      void* first = PackedLayout<Elem>::first(array.raw());
      if (first != nullptr) std::memcpy(first, items.data(), items.size_bytes());
    }
    return array;
  }

  // The elements in place; valid while this array lives unchanged.
  std::span<const Elem> view() const {
    const std::size_t n = this->engine_size();
    if (n == 0) return {};
    const void* first = PackedLayout<Elem>::first(this->raw());
    if (first == nullptr) return {};
    return {static_cast<const Elem*>(first), n};
  }

  std::size_t size() const { return this->engine_size(); }
};

using PackedByteArray = PackedArray<std::uint8_t>;
using PackedInt32Array = PackedArray<std::int32_t>;
using PackedVector2Array = PackedArray<Vector2>;
using PackedVector3Array = PackedArray<Vector3>;
using PackedColorArray = PackedArray<Color>;

}  // namespace tessmark::godot
