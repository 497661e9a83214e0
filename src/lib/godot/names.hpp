#pragma once
// Engine strings: StringName (interned names of classes, methods and
// arguments) and String (dictionary keys, hint strings). Each owns one
// engine value and releases it when destroyed.

#include <cstddef>

#include "godot/engine.hpp"

namespace tessmark::godot {

class StringName {
 public:
  explicit StringName(const char* text) {
    engine.api.string_name_new_with_latin1_chars(storage_, text, 0);
  }
  StringName(const StringName&) = delete;
  StringName& operator=(const StringName&) = delete;
  ~StringName() { engine.ops(abi::kStringName).destroy(storage_); }

  abi::StringNamePtr raw() { return storage_; }
  abi::ConstStringNamePtr raw() const { return storage_; }

 private:
  alignas(8) std::byte storage_[8];
};

class String {
 public:
  explicit String(const char* utf8) { engine.api.string_new_with_utf8_chars(storage_, utf8); }
  String(const String&) = delete;
  String& operator=(const String&) = delete;
  ~String() { engine.ops(abi::kString).destroy(storage_); }

  abi::StringPtr raw() { return storage_; }
  abi::ConstTypePtr raw() const { return storage_; }

 private:
  alignas(8) std::byte storage_[8];
};

}  // namespace tessmark::godot
