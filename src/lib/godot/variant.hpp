#pragma once
// The engine's Variant: a tagged value of any engine type, as method
// arguments and dictionary values travel. Owns what it holds.

#include <cstddef>
#include <cstdint>

#include "godot/engine.hpp"
#include "godot/engine_value.hpp"
#include "godot/names.hpp"
#include "godot/values.hpp"

namespace tessmark::godot {

class Variant {
 public:
  Variant() { engine.api.variant_new_nil(storage_); }
  Variant(bool value) {
    abi::Bool b = value ? 1 : 0;
    from(abi::kBool, &b);
  }
  Variant(std::int64_t value) { from(abi::kInt, &value); }
  Variant(std::int32_t value) : Variant(static_cast<std::int64_t>(value)) {}
  Variant(std::uint32_t value) : Variant(static_cast<std::int64_t>(value)) {}
  Variant(double value) { from(abi::kFloat, &value); }
  Variant(float value) : Variant(static_cast<double>(value)) {}
  Variant(const Vector3& value) { from(abi::kVector3, const_cast<Vector3*>(&value)); }
  // Text becomes a String (rather than a pointer taken for a bool).
  Variant(const char* text) : Variant(String(text)) {}
  Variant(const Vector3i& value) { from(abi::kVector3i, const_cast<Vector3i*>(&value)); }
  Variant(const String& value) { from(abi::kString, const_cast<abi::TypePtr>(value.raw())); }
  template <abi::VariantType kType, std::size_t kSize>
  Variant(const EngineValue<kType, kSize>& value) {
    from(kType, const_cast<abi::TypePtr>(value.raw()));
  }

  Variant(const Variant& other) { engine.api.variant_new_copy(storage_, other.storage_); }
  Variant& operator=(const Variant& other) {
    if (this != &other) other.assign_to(storage_);
    return *this;
  }
  ~Variant() { engine.api.variant_destroy(storage_); }

  abi::VariantType type() const { return engine.api.variant_get_type(storage_); }
  abi::VariantPtr raw() { return storage_; }
  abi::ConstVariantPtr raw() const { return storage_; }

  // Writes a copy into a slot that already holds a Variant, releasing the
  // old value (the engine's variant-call return slot and dictionary values).
  void assign_to(abi::VariantPtr slot) const {
    engine.api.variant_destroy(slot);
    engine.api.variant_new_copy(slot, storage_);
  }

 private:
  void from(abi::VariantType type, abi::TypePtr value) {
    engine.ops(type).to_variant(storage_, value);
  }

  alignas(8) std::byte storage_[24];
};

}  // namespace tessmark::godot
