#pragma once
// The engine's Dictionary with String keys: results are built key by key in
// the order scripts read them, and the engine keeps insertion order.

#include "godot/engine_value.hpp"
#include "godot/variant.hpp"

namespace tessmark::godot {

class Dictionary : public EngineValue<abi::kDictionary, 8> {
 public:
  using EngineValue::EngineValue;

  // Inserts or replaces the value under a String key.
  void set(const char* key, const Variant& value);
  bool empty() const { return engine_size() == 0; }
  std::size_t size() const { return engine_size(); }
};

}  // namespace tessmark::godot
