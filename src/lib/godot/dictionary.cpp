#include "godot/dictionary.hpp"

#include "godot/names.hpp"

namespace tessmark::godot {

void Dictionary::set(const char* key, const Variant& value) {
  const Variant key_variant{String(key)};
  abi::VariantPtr slot = engine.api.dictionary_operator_index(raw(), key_variant.raw());
  if (slot != nullptr) value.assign_to(slot);
}

}  // namespace tessmark::godot
