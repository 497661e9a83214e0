#pragma once
// An engine value of a reference-counted built-in type (Dictionary, Array,
// the packed arrays), held in its raw layout and released when destroyed.
// Copies share the engine's data the way the engine's own copies do.

#include <cstddef>

#include "godot/engine.hpp"

namespace tessmark::godot {

template <abi::VariantType kType, std::size_t kSize>
class EngineValue {
 public:
  static constexpr abi::VariantType kVariantType = kType;

  // Copies an engine value of this type given in its raw layout.
  struct CopyOfRaw {
    abi::ConstTypePtr raw;
  };
  // Takes the value out of a Variant that holds this type.
  struct FromVariant {
    abi::ConstVariantPtr variant;
  };

  EngineValue() { engine.ops(kType).make(storage_, nullptr); }
  explicit EngineValue(CopyOfRaw source) { copy_from(source.raw); }
  explicit EngineValue(FromVariant source) {
    engine.ops(kType).from_variant(storage_, const_cast<void*>(source.variant));
  }
  EngineValue(const EngineValue& other) { copy_from(other.raw()); }
  EngineValue& operator=(const EngineValue& other) {
    if (this != &other) {
      engine.ops(kType).destroy(storage_);
      copy_from(other.raw());
    }
    return *this;
  }
  ~EngineValue() { engine.ops(kType).destroy(storage_); }

  abi::TypePtr raw() { return storage_; }
  abi::ConstTypePtr raw() const { return storage_; }

  // Writes a copy into a slot that already holds a value of this type,
  // releasing what was there (how the engine's return slots work).
  void assign_to(abi::TypePtr slot) const {
    engine.ops(kType).destroy(slot);
    const abi::ConstTypePtr args[] = {storage_};
    engine.ops(kType).copy(slot, args);
  }

 protected:
  std::size_t engine_size() const {
    std::int64_t n = 0;
    engine.ops(kType).size(const_cast<std::byte*>(storage_), nullptr, &n, 0);
    return n > 0 ? static_cast<std::size_t>(n) : 0;
  }
  void engine_resize(std::size_t n) {
    const std::int64_t size = static_cast<std::int64_t>(n);
    const abi::ConstTypePtr args[] = {&size};
    std::int64_t result = 0;
    engine.ops(kType).resize(storage_, args, &result, 1);
  }

 private:
  void copy_from(abi::ConstTypePtr raw_value) {
    const abi::ConstTypePtr args[] = {raw_value};
    engine.ops(kType).copy(storage_, args);
  }

  alignas(8) std::byte storage_[kSize];
};

}  // namespace tessmark::godot
