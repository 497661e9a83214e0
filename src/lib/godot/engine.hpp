#pragma once
// The engine as the library sees it: the interface functions looked up at
// load, the per-type constructors, destructors and built-in methods derived
// from them, the library token and the engine's main thread.

#include <array>
#include <string>
#include <string_view>
#include <thread>

#include "godot/interface.hpp"

namespace tessmark::godot {

// What the library does with one engine value type.
struct TypeOps {
  abi::PtrConstructor make = nullptr;  // default constructor
  abi::PtrConstructor copy = nullptr;  // copy constructor
  abi::PtrDestructor destroy = nullptr;
  abi::VariantFromTypeConstructor to_variant = nullptr;
  abi::TypeFromVariantConstructor from_variant = nullptr;
  abi::PtrBuiltInMethod size = nullptr;
  abi::PtrBuiltInMethod resize = nullptr;
};

struct Engine {
  abi::Interface api{};
  abi::ClassLibraryPtr library = nullptr;
  std::thread::id main_thread;
  std::array<TypeOps, abi::kVariantMax> types{};

  const TypeOps& ops(abi::VariantType type) const { return types[type]; }
};

// Filled by bind_engine when the library is loaded; read everywhere else.
extern Engine engine;

// Looks up every interface function and derived operation the library uses.
// On failure names the first one missing and leaves the engine unusable.
bool bind_engine(abi::GetProcAddress get_proc_address, abi::ClassLibraryPtr library,
                 std::string& missing);

bool on_main_thread();

// The engine's error output.
void report_error(std::string_view where, std::string_view message);

}  // namespace tessmark::godot
