#pragma once
// A typed Array[Dictionary], the engine's form of a list of result records.

#include "godot/dictionary.hpp"
#include "godot/engine_value.hpp"

namespace tessmark::godot {

class DictionaryArray : public EngineValue<abi::kArray, 8> {
 public:
  DictionaryArray();
  explicit DictionaryArray(CopyOfRaw source) : EngineValue(source) {}
  explicit DictionaryArray(FromVariant source) : EngineValue(source) {}

  void push_back(const Dictionary& item);
  std::size_t size() const { return engine_size(); }
};

}  // namespace tessmark::godot
