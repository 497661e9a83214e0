#include "godot/dictionary_array.hpp"

#include "godot/names.hpp"
#include "godot/variant.hpp"

namespace tessmark::godot {

DictionaryArray::DictionaryArray() {
  const StringName no_class("");
  const Variant no_script;
  engine.api.array_set_typed(raw(), abi::kDictionary, no_class.raw(), no_script.raw());
}

void DictionaryArray::push_back(const Dictionary& item) {
  const std::size_t index = engine_size();
  engine_resize(index + 1);
  abi::VariantPtr slot =
      engine.api.array_operator_index(raw(), static_cast<abi::Int>(index));
  if (slot != nullptr) Variant(item).assign_to(slot);
}

}  // namespace tessmark::godot
