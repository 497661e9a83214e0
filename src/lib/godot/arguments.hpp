#pragma once
// How each script-visible parameter and result type crosses the engine
// boundary: its variant type and metadata, how a pointer call passes it
// (ints as 64 bits, floats as doubles, bools as one byte), and how it is
// read from or written to a Variant.

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <optional>

#include "godot/dictionary.hpp"
#include "godot/dictionary_array.hpp"
#include "godot/packed_arrays.hpp"
#include "godot/values.hpp"
#include "godot/variant.hpp"

namespace tessmark::godot {

enum class Conversion { kOk, kWrongType, kOutOfRange };

// Parameter types. Each has kType, kMetadata, from_ptr and from_variant.
template <typename T>
struct Parameter;

template <>
struct Parameter<std::int32_t> {
  static constexpr abi::VariantType kType = abi::kInt;
  static constexpr abi::ArgumentMetadata kMetadata = abi::kMetadataIntIsInt32;

  static Conversion narrow(std::int64_t wide, std::optional<std::int32_t>& out) {
    if (wide < std::numeric_limits<std::int32_t>::min() ||
        wide > std::numeric_limits<std::int32_t>::max())
      return Conversion::kOutOfRange;
    out = static_cast<std::int32_t>(wide);
    return Conversion::kOk;
  }
  static Conversion from_ptr(abi::ConstTypePtr arg, std::optional<std::int32_t>& out) {
    std::int64_t wide;
    std::memcpy(&wide, arg, sizeof wide);
    return narrow(wide, out);
  }
  static Conversion from_variant(abi::ConstVariantPtr arg, std::optional<std::int32_t>& out) {
    if (engine.api.variant_get_type(arg) != abi::kInt) return Conversion::kWrongType;
    std::int64_t wide = 0;
    engine.ops(abi::kInt).from_variant(&wide, const_cast<void*>(arg));
    return narrow(wide, out);
  }
};

template <>
struct Parameter<float> {
  static constexpr abi::VariantType kType = abi::kFloat;
  static constexpr abi::ArgumentMetadata kMetadata = abi::kMetadataRealIsFloat;

  static Conversion from_ptr(abi::ConstTypePtr arg, std::optional<float>& out) {
    double wide;
    std::memcpy(&wide, arg, sizeof wide);
    out = static_cast<float>(wide);  // rounds to nearest
    return Conversion::kOk;
  }
  // An int is accepted where a float is declared, as the engine's own
  // calls convert it.
  static Conversion from_variant(abi::ConstVariantPtr arg, std::optional<float>& out) {
    const abi::VariantType type = engine.api.variant_get_type(arg);
    if (type == abi::kFloat) {
      double wide = 0.0;
      engine.ops(abi::kFloat).from_variant(&wide, const_cast<void*>(arg));
      out = static_cast<float>(wide);
      return Conversion::kOk;
    }
    if (type == abi::kInt) {
      std::int64_t whole = 0;
      engine.ops(abi::kInt).from_variant(&whole, const_cast<void*>(arg));
      out = static_cast<float>(whole);
      return Conversion::kOk;
    }
    return Conversion::kWrongType;
  }
};

// Values passed as they are laid out: a bool as one byte, a Vector3 as
// three floats.
template <typename T, typename Wire, abi::VariantType kVariant>
struct PlainParameter {
  static constexpr abi::VariantType kType = kVariant;
  static constexpr abi::ArgumentMetadata kMetadata = abi::kMetadataNone;

  static Conversion from_ptr(abi::ConstTypePtr arg, std::optional<T>& out) {
    Wire value;
    std::memcpy(&value, arg, sizeof value);
    out = static_cast<T>(value);
    return Conversion::kOk;
  }
  static Conversion from_variant(abi::ConstVariantPtr arg, std::optional<T>& out) {
    if (engine.api.variant_get_type(arg) != kType) return Conversion::kWrongType;
    Wire value{};
    engine.ops(kType).from_variant(&value, const_cast<void*>(arg));
    out = static_cast<T>(value);
    return Conversion::kOk;
  }
};

template <>
struct Parameter<bool> : PlainParameter<bool, abi::Bool, abi::kBool> {};
template <>
struct Parameter<Vector3> : PlainParameter<Vector3, Vector3, abi::kVector3> {};

// Engine containers taken by const reference: the call holds its own
// reference to the engine's data.
template <typename Container>
struct ContainerParameter {
  static constexpr abi::VariantType kType = Container::kVariantType;
  static constexpr abi::ArgumentMetadata kMetadata = abi::kMetadataNone;

  static Conversion from_ptr(abi::ConstTypePtr arg, std::optional<Container>& out) {
    out.emplace(typename Container::CopyOfRaw{arg});
    return Conversion::kOk;
  }
  static Conversion from_variant(abi::ConstVariantPtr arg, std::optional<Container>& out) {
    if (engine.api.variant_get_type(arg) != kType) return Conversion::kWrongType;
    out.emplace(typename Container::FromVariant{arg});
    return Conversion::kOk;
  }
};

template <typename Elem>
struct Parameter<PackedArray<Elem>> : ContainerParameter<PackedArray<Elem>> {};

// Result types. Each has kType, kMetadata, optional hint, write_ptr and
// write_variant; both write into a slot that already holds a value.
template <typename T>
struct Result;

// Methods without a result leave the slot as it is.
template <>
struct Result<void> {
  template <typename T>
  static void write_ptr(abi::TypePtr, const T&) {}
  template <typename T>
  static void write_variant(abi::VariantPtr, const T&) {}
};

template <typename T, abi::VariantType kVariant, abi::ArgumentMetadata kMeta, typename Wire>
struct ScalarResult {
  static constexpr abi::VariantType kType = kVariant;
  static constexpr abi::ArgumentMetadata kMetadata = kMeta;
  static constexpr const char* kHint = nullptr;
  static void write_ptr(abi::TypePtr slot, T value) {
    const Wire wire = static_cast<Wire>(value);
    std::memcpy(slot, &wire, sizeof wire);
  }
  static void write_variant(abi::VariantPtr slot, T value) {
    Variant(static_cast<Wire>(value)).assign_to(slot);
  }
};

template <>
struct Result<bool> : ScalarResult<bool, abi::kBool, abi::kMetadataNone, bool> {
  static void write_ptr(abi::TypePtr slot, bool value) {
    *static_cast<abi::Bool*>(slot) = value ? 1 : 0;
  }
};
template <>
struct Result<std::int32_t>
    : ScalarResult<std::int32_t, abi::kInt, abi::kMetadataIntIsInt32, std::int64_t> {};
template <>
struct Result<std::int64_t>
    : ScalarResult<std::int64_t, abi::kInt, abi::kMetadataIntIsInt64, std::int64_t> {};

template <typename Container>
struct ContainerResult {
  static constexpr abi::VariantType kType = Container::kVariantType;
  static constexpr abi::ArgumentMetadata kMetadata = abi::kMetadataNone;
  static constexpr const char* kHint = nullptr;
  static void write_ptr(abi::TypePtr slot, const Container& value) { value.assign_to(slot); }
  static void write_variant(abi::VariantPtr slot, const Container& value) {
    Variant(value).assign_to(slot);
  }
};

template <>
struct Result<Dictionary> : ContainerResult<Dictionary> {};
template <>
struct Result<DictionaryArray> : ContainerResult<DictionaryArray> {
  static constexpr const char* kHint = "Dictionary";  // Array[Dictionary]
};
template <typename Elem>
struct Result<PackedArray<Elem>> : ContainerResult<PackedArray<Elem>> {};

}  // namespace tessmark::godot
