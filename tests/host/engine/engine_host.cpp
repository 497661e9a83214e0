#include "engine/engine_host.hpp"

#include <dlfcn.h>

#include <cstring>
#include <fstream>
#include <memory>
#include <stdexcept>

#include "engine/interface_functions.hpp"

namespace tessmark::host {

namespace {

EngineHost* g_current = nullptr;

struct Initialization {
  std::int32_t minimum_level;
  void* userdata;
  void (*initialize)(void*, std::int32_t);
  void (*deinitialize)(void*, std::int32_t);
};
using Entry = std::uint8_t (*)(Function (*)(const char*), void*, Initialization*);

}  // namespace

EngineHost& current_host() {
  if (g_current == nullptr) throw std::logic_error("no engine host");
  return *g_current;
}

const MethodRecord* ClassRecord::method(const std::string& method_name) const {
  for (const MethodRecord& m : methods)
    if (m.name == method_name) return &m;
  return nullptr;
}

std::string entry_symbol_from(const std::string& gdextension_path) {
  // Reads `entry_symbol = "name"` as the engine's config parser does.
  std::ifstream in(gdextension_path);
  std::string line;
  while (std::getline(in, line)) {
    const auto key = line.find("entry_symbol");
    const auto open = line.find('"');
    const auto close = line.rfind('"');
    if (key == 0 && open != std::string::npos && close > open)
      return line.substr(open + 1, close - open - 1);
  }
  return {};
}

EngineHost::EngineHost() {
  if (g_current != nullptr) throw std::logic_error("one engine host at a time");
  g_current = this;
}

EngineHost::~EngineHost() {
  if (loaded()) unload();
  g_current = nullptr;
}

bool EngineHost::load(LoadMode mode) {
  if (loaded()) throw std::logic_error("already loaded");
  library_ = dlopen(TESSMARK_LIBRARY_PATH, RTLD_NOW | RTLD_LOCAL);
  if (library_ == nullptr) throw std::runtime_error(dlerror());
  const std::string symbol = entry_symbol_from(TESSMARK_GDEXTENSION_PATH);
  auto entry = reinterpret_cast<Entry>(dlsym(library_, symbol.c_str()));
  if (entry == nullptr) {
    dlclose(library_);
    library_ = nullptr;
    throw std::runtime_error("entry symbol not found: " + symbol);
  }
  Initialization init{-1, nullptr, nullptr, nullptr};
  if (entry(&get_proc_address, library_token(), &init) == 0) {
    dlclose(library_);
    library_ = nullptr;
    return false;
  }
  mode_ = mode;
  minimum_level = init.minimum_level;
  initialize_ = init.initialize;
  deinitialize_ = init.deinitialize;
  init_userdata_ = init.userdata;
  const std::int32_t first = mode == LoadMode::kStartup ? kCore : minimum_level;
  for (std::int32_t level = first; level <= kEditor; ++level) {
    initialized.push_back(level);
    initialize_(init_userdata_, level);
    classes_after_level.push_back(class_names());
  }
  return true;
}

void EngineHost::unload() {
  if (!loaded()) return;
  const std::int32_t last = mode_ == LoadMode::kStartup ? kCore : minimum_level;
  for (std::int32_t level = kEditor; level >= last; --level) {
    deinitialized.push_back(level);
    deinitialize_(init_userdata_, level);
    classes_after_level.push_back(class_names());
  }
  dlclose(library_);
  library_ = nullptr;
}

std::set<std::string> EngineHost::class_names() const {
  std::set<std::string> names;
  for (const auto& [name, record] : classes) names.insert(name);
  return names;
}

const ClassRecord* EngineHost::find_class(const std::string& name) const {
  auto it = classes.find(name);
  return it == classes.end() ? nullptr : &it->second;
}

const MethodRecord& EngineHost::method(const std::string& class_name,
                                       const std::string& name) const {
  const ClassRecord* record = find_class(class_name);
  const MethodRecord* m = record == nullptr ? nullptr : record->method(name);
  if (m == nullptr) throw std::out_of_range("no method " + class_name + "." + name);
  return *m;
}

Object* EngineHost::instantiate(const std::string& class_name) {
  const ClassRecord* record = find_class(class_name);
  if (record == nullptr) throw std::out_of_range("no class " + class_name);
  auto* object = static_cast<Object*>(record->create(record->userdata, 1));
  if (object == nullptr) return nullptr;
  if (object->extension_class != class_name || object->instance == nullptr)
    faults.push_back("create_instance returned an object without its instance");
  return object;
}

void EngineHost::free_object(Object* object) {
  const ClassRecord* record = find_class(object->extension_class);
  if (record != nullptr && object->instance != nullptr) record->free(record->userdata, object->instance);
  delete object;
  --live_objects;
}

Value EngineHost::call(Object* object, const std::string& method_name,
                       const std::vector<Value>& args, CallError* error) {
  const MethodRecord& m = method(object->extension_class, method_name);
  std::vector<const void*> pointers;
  for (const Value& arg : args) pointers.push_back(&arg.raw());
  Variant result{};
  CallError local;
  CallError* r_error = error != nullptr ? error : &local;
  *r_error = {-1, -1, -1};  // the library must fill it in
  m.call(m.userdata, object->instance, pointers.data(), static_cast<std::int64_t>(args.size()),
         &result, r_error);
  return Value::adopt(result);
}

namespace {

// One argument in the raw layout of its declared type.
struct RawArgument {
  alignas(8) std::byte bytes[16]{};
  std::int32_t type = kNil;
  ~RawArgument() {
    if (type == kString || type == kDictionary || type == kArray || is_packed(type))
      release(*reinterpret_cast<Body**>(bytes));
  }
};

void encode(RawArgument& raw, std::int32_t declared, const Value& value) {
  const Variant& v = value.raw();
  raw.type = declared;
  if (declared == kInt && v.type == kInt) {
    std::memcpy(raw.bytes, &v.data.integer, 8);
  } else if (declared == kFloat && (v.type == kFloat || v.type == kInt)) {
    const double d = v.type == kFloat ? v.data.real : static_cast<double>(v.data.integer);
    std::memcpy(raw.bytes, &d, 8);
  } else if (declared == kBool && v.type == kBool) {
    raw.bytes[0] = static_cast<std::byte>(v.data.boolean);
  } else if (declared == kVector3 && v.type == kVector3) {
    std::memcpy(raw.bytes, v.data.vector, 12);
  } else if (declared == v.type && (declared == kString || declared == kDictionary ||
                                    declared == kArray || is_packed(declared))) {
    retain(v.data.body);
    std::memcpy(raw.bytes, &v.data.body, sizeof(Body*));
  } else {
    raw.type = kNil;
    throw std::invalid_argument("a pointer call argument must have the declared type");
  }
}

}  // namespace

Value EngineHost::ptrcall(Object* object, const std::string& method_name,
                          const std::vector<Value>& args) {
  const MethodRecord& m = method(object->extension_class, method_name);
  if (args.size() != m.arguments.size())
    throw std::invalid_argument("pointer calls always pass every argument");
  std::vector<std::unique_ptr<RawArgument>> raws;
  std::vector<const void*> pointers;
  for (std::size_t i = 0; i < args.size(); ++i) {
    raws.push_back(std::make_unique<RawArgument>());
    encode(*raws.back(), m.arguments[i].type, args[i]);
    pointers.push_back(raws.back()->bytes);
  }
  // The result slot already holds a value of the declared type.
  alignas(8) std::byte slot[16]{};
  const std::int32_t type = m.has_return ? m.result.type : kNil;
  const bool by_body = type == kString || type == kDictionary || type == kArray || is_packed(type);
  if (by_body) {
    Variant fresh = variant_default(type);
    std::memcpy(slot, &fresh.data.body, sizeof(Body*));
  } else {
    std::memcpy(slot, &kUntouchedInt, 8);
  }
  m.ptrcall(m.userdata, object->instance, pointers.data(), slot);

  Variant result{};
  result.type = type;
  if (by_body) {
    std::memcpy(&result.data.body, slot, sizeof(Body*));  // adopts the slot's reference
  } else if (type == kBool) {
    const auto byte = static_cast<std::uint8_t>(slot[0]);
    if (byte > 1) {
      result.type = kInt;  // untouched: report the sentinel
      std::memcpy(&result.data.integer, slot, 8);
    } else {
      result.data.boolean = byte;
    }
  } else if (type == kInt || type == kFloat || type == kVector3) {
    std::memcpy(&result.data, slot, 16);
  }
  return Value::adopt(result);
}

}  // namespace tessmark::host
