#pragma once
// A stand-in for the engine, for tests: it loads the built library with
// dlopen and the entry symbol named in tessmark.gdextension, answers every
// interface function the library looks up with the engine's semantics,
// keeps a class database, creates objects, makes pointer calls and variant
// calls the engine's way, and captures the error output.

#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <span>
#include <string>
#include <vector>

#include "engine/value.hpp"
#include "engine/values.hpp"

namespace tessmark::host {

enum Level : std::int32_t { kCore = 0, kServers = 1, kScene = 2, kEditor = 3 };

enum CallErrorType : std::int32_t {
  kCallOk = 0,
  kCallInvalidMethod = 1,
  kCallInvalidArgument = 2,
  kCallTooManyArguments = 3,
  kCallTooFewArguments = 4,
};

struct CallError {
  std::int32_t error = kCallOk;
  std::int32_t argument = 0;
  std::int32_t expected = 0;
};

using VariantCall = void (*)(void* userdata, void* instance, const void* const* args,
                             std::int64_t count, void* r_return, CallError* r_error);
using PointerCall = void (*)(void* userdata, void* instance, const void* const* args,
                             void* r_return);

struct PropertyRecord {
  std::int32_t type = kNil;
  std::string name;
  std::string class_name;
  std::uint32_t hint = 0;
  std::string hint_string;
  std::uint32_t usage = 0;
  std::int32_t metadata = 0;
};

struct MethodRecord {
  std::string name;
  std::uint32_t flags = 0;
  bool has_return = false;
  PropertyRecord result;
  std::vector<PropertyRecord> arguments;
  std::uint32_t default_argument_count = 0;
  void* userdata = nullptr;
  VariantCall call = nullptr;
  PointerCall ptrcall = nullptr;
};

struct ClassRecord {
  std::string name;
  std::string parent;
  bool is_virtual = false, is_abstract = false, is_exposed = false, is_runtime = false;
  void* userdata = nullptr;
  void* (*create)(void* userdata, std::uint8_t notify) = nullptr;
  void (*free)(void* userdata, void* instance) = nullptr;
  void* (*get_virtual)(void* userdata, const void* name, std::uint32_t hash) = nullptr;
  std::vector<MethodRecord> methods;
  const MethodRecord* method(const std::string& method_name) const;
};

// An engine object: created as an engine class, with an extension
// instance attached by object_set_instance.
struct Object {
  std::string engine_class;
  std::string extension_class;
  void* instance = nullptr;
};

enum class LoadMode {
  kStartup,  // every level from Core up to Editor, as at engine start-up
  kHotLoad,  // from the library's minimum level up, as in a running editor
};

class EngineHost {
 public:
  EngineHost();
  ~EngineHost();
  EngineHost(const EngineHost&) = delete;
  EngineHost& operator=(const EngineHost&) = delete;

  // Loads the library and runs the initialisation levels; false if the
  // library or its entry refused.
  bool load(LoadMode mode = LoadMode::kStartup);
  // Runs the deinitialisation levels in reverse and unloads the library.
  void unload();
  bool loaded() const { return library_ != nullptr; }

  const ClassRecord* find_class(const std::string& name) const;
  const MethodRecord& method(const std::string& class_name, const std::string& name) const;

  Object* instantiate(const std::string& class_name);
  void free_object(Object* object);

  // A variant call: arguments as Variants, the result in a Variant.
  Value call(Object* object, const std::string& method, const std::vector<Value>& args,
             CallError* error = nullptr);
  // A pointer call: arguments in the raw layouts of their declared types
  // (ints as int64, floats as double, bools as one byte), the result written
  // into a slot that already holds a value of the declared return type.
  Value ptrcall(Object* object, const std::string& method, const std::vector<Value>& args);

  // What a pointer call leaves in an int or bool result slot it refused.
  static constexpr std::int64_t kUntouchedInt = 0x5EEDF00D;

  std::vector<std::string> errors;      // the engine's error output
  std::vector<std::string> faults;      // interface misuse by the library
  std::vector<std::string> looked_up;   // every interface name asked for
  std::set<std::string> withheld;       // names to answer with null
  std::vector<std::int32_t> initialized, deinitialized;
  // The extension classes known after each initialisation or
  // deinitialisation call, in call order.
  std::vector<std::set<std::string>> classes_after_level;
  std::int32_t minimum_level = -1;
  long live_objects = 0;

  std::map<std::string, ClassRecord> classes;
  std::set<std::string> class_names() const;
  std::set<std::string> engine_classes{"Object", "RefCounted"};

  void* library_token() { return &token_; }

 private:
  void* library_ = nullptr;
  LoadMode mode_ = LoadMode::kStartup;
  void (*initialize_)(void*, std::int32_t) = nullptr;
  void (*deinitialize_)(void*, std::int32_t) = nullptr;
  void* init_userdata_ = nullptr;
  int token_ = 0;
};

// The host that interface functions report to.
EngineHost& current_host();

// The entry symbol named in tessmark.gdextension.
std::string entry_symbol_from(const std::string& gdextension_path);

}  // namespace tessmark::host
