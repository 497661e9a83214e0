// The interface functions of the stand-in engine, each with the engine's
// semantics, and the table get_proc_address answers from. Misuse that the
// real engine would punish (wrong types, bad indexes, unknown classes) is
// recorded as a fault for the tests to assert on.

#include "engine/interface_functions.hpp"

#include <cstring>
#include <map>
#include <string>

#include "engine/engine_host.hpp"
#include "engine/values.hpp"

namespace tessmark::host {

namespace {

void fault(const std::string& what) { current_host().faults.push_back(what); }

// --- Layouts the library hands in -------------------------------------------

struct PropertyInfo {
  std::int32_t type;
  void* name;
  void* class_name;
  std::uint32_t hint;
  void* hint_string;
  std::uint32_t usage;
};

struct MethodInfo {
  void* name;
  void* method_userdata;
  VariantCall call_func;
  PointerCall ptrcall_func;
  std::uint32_t method_flags;
  std::uint8_t has_return_value;
  PropertyInfo* return_value_info;
  std::int32_t return_value_metadata;
  std::uint32_t argument_count;
  PropertyInfo* arguments_info;
  std::int32_t* arguments_metadata;
  std::uint32_t default_argument_count;
  void** default_arguments;
};

using Callback = void (*)();
struct CreationInfo5 {
  std::uint8_t is_virtual, is_abstract, is_exposed, is_runtime;
  const void* icon_path;
  Callback set, get, get_property_list, free_property_list, property_can_revert,
      property_get_revert, validate_property, notification, to_string, reference, unreference;
  void* (*create_instance)(void*, std::uint8_t);
  void (*free_instance)(void*, void*);
  Callback recreate_instance;
  void* (*get_virtual)(void*, const void*, std::uint32_t);
  Callback get_virtual_call_data, call_virtual_with_data;
  void* class_userdata;
};

const std::string& name_of(const void* raw_name) {
  return name_text(static_cast<const RawStringName*>(raw_name)->entry);
}

std::string string_of(const void* raw_string) {
  const auto* body = static_cast<const RawString*>(raw_string)->body;
  return body == nullptr ? std::string() : body->text;
}

PropertyRecord property_of(const PropertyInfo& info, std::int32_t metadata) {
  PropertyRecord record;
  record.type = info.type;
  record.name = info.name ? name_of(info.name) : "";
  record.class_name = info.class_name ? name_of(info.class_name) : "";
  record.hint = info.hint;
  record.hint_string = info.hint_string ? string_of(info.hint_string) : "";
  record.usage = info.usage;
  record.metadata = metadata;
  return record;
}

// --- Error output -------------------------------------------------------------

void print_error_with_message(const char* description, const char* message, const char* function,
                              const char*, std::int32_t, std::uint8_t) {
  std::string text = (message != nullptr && *message != '\0') ? message : description;
  if (function != nullptr && *function != '\0' && text.find(function) == std::string::npos)
    text = std::string(function) + ": " + text;
  current_host().errors.push_back(text);
}

// --- Variants -----------------------------------------------------------------

void variant_new_copy(void* dest, const void* src) {
  variant_copy(static_cast<Variant*>(dest), static_cast<const Variant*>(src));
}
void variant_new_nil(void* dest) { *static_cast<Variant*>(dest) = Variant{}; }
void variant_destroy_fn(void* self) { variant_destroy(static_cast<Variant*>(self)); }
std::int32_t variant_get_type(const void* self) { return static_cast<const Variant*>(self)->type; }

template <std::int32_t kType>
void variant_from_type(void* dest, void* value) {
  auto* v = static_cast<Variant*>(dest);
  *v = Variant{};
  v->type = kType;
  if constexpr (kType == kBool) {
    v->data.boolean = *static_cast<std::uint8_t*>(value) != 0;
  } else if constexpr (kType == kInt) {
    std::memcpy(&v->data.integer, value, 8);
  } else if constexpr (kType == kFloat) {
    std::memcpy(&v->data.real, value, 8);
  } else if constexpr (kType == kVector3 || kType == kVector3i) {
    std::memcpy(v->data.vector, value, 12);
  } else {
    v->data.body = *static_cast<Body**>(value);  // first field of every raw reference type
    retain(v->data.body);
  }
}

template <std::int32_t kType>
void type_from_variant(void* dest, void* variant) {
  const auto* v = static_cast<const Variant*>(variant);
  if (v->type != kType) {
    fault("Variant of type " + std::to_string(v->type) + " read as type " +
          std::to_string(kType));
    return;
  }
  if constexpr (kType == kBool) {
    *static_cast<std::uint8_t*>(dest) = v->data.boolean;
  } else if constexpr (kType == kInt) {
    std::memcpy(dest, &v->data.integer, 8);
  } else if constexpr (kType == kFloat) {
    std::memcpy(dest, &v->data.real, 8);
  } else if constexpr (kType == kVector3 || kType == kVector3i) {
    std::memcpy(dest, v->data.vector, 12);
  } else if constexpr (is_packed_type(kType)) {
    retain(v->data.body);
    *static_cast<RawPacked*>(dest) = {static_cast<PackedBody*>(v->data.body), 0};
  } else {
    retain(v->data.body);
    *static_cast<Body**>(dest) = v->data.body;
  }
}

// The value types that travel in Variants, for the two lookups below.
#define TESSMARK_VARIANT_TYPES(X)                                                     \
  X(kBool) X(kInt) X(kFloat) X(kVector3) X(kVector3i) X(kString) X(kDictionary) X(kArray) \
      X(kPackedByteArray) X(kPackedInt32Array) X(kPackedVector2Array)                 \
          X(kPackedVector3Array) X(kPackedColorArray)

using FromType = void (*)(void*, void*);
FromType get_variant_from_type_constructor(std::int32_t type) {
#define TESSMARK_CASE(t) \
  case t:                \
    return &variant_from_type<t>;
  switch (type) {
    TESSMARK_VARIANT_TYPES(TESSMARK_CASE)
    default:
      return nullptr;
  }
#undef TESSMARK_CASE
}

using ToType = void (*)(void*, void*);
ToType get_variant_to_type_constructor(std::int32_t type) {
#define TESSMARK_CASE(t) \
  case t:                \
    return &type_from_variant<t>;
  switch (type) {
    TESSMARK_VARIANT_TYPES(TESSMARK_CASE)
    default:
      return nullptr;
  }
#undef TESSMARK_CASE
}

// --- Constructors, destructors, built-in methods -------------------------------

template <std::int32_t kType>
void construct_default(void* base, const void* const*) {
  Variant fresh = variant_default(kType);
  if constexpr (is_packed_type(kType)) {
    *static_cast<RawPacked*>(base) = {static_cast<PackedBody*>(fresh.data.body), 0};
  } else {
    *static_cast<Body**>(base) = fresh.data.body;
  }
}

template <std::int32_t kType>
void construct_copy(void* base, const void* const* args) {
  if (args == nullptr || args[0] == nullptr) {
    fault("copy constructor without a source");
    return;
  }
  if constexpr (is_packed_type(kType)) {
    *static_cast<RawPacked*>(base) = *static_cast<const RawPacked*>(args[0]);
    retain(static_cast<RawPacked*>(base)->body);
  } else {
    *static_cast<Body**>(base) = *static_cast<Body* const*>(args[0]);
    retain(*static_cast<Body**>(base));
  }
}

using Constructor = void (*)(void*, const void* const*);
Constructor variant_get_ptr_constructor(std::int32_t type, std::int32_t index) {
  switch (type) {
#define TESSMARK_CASE(t) \
  case t:                \
    return index == 0 ? &construct_default<t> : index == 1 ? &construct_copy<t> : nullptr;
    TESSMARK_CASE(kDictionary)
    TESSMARK_CASE(kArray)
    TESSMARK_CASE(kPackedByteArray)
    TESSMARK_CASE(kPackedInt32Array)
    TESSMARK_CASE(kPackedVector2Array)
    TESSMARK_CASE(kPackedVector3Array)
    TESSMARK_CASE(kPackedColorArray)
#undef TESSMARK_CASE
    default:
      return nullptr;
  }
}

void destroy_body(void* base) {
  Body*& body = *static_cast<Body**>(base);
  release(body);
  body = nullptr;
}
void destroy_name(void* base) {
  void*& entry = static_cast<RawStringName*>(base)->entry;
  release_name(entry);
  entry = nullptr;
}

using Destructor = void (*)(void*);
Destructor variant_get_ptr_destructor(std::int32_t type) {
  if (type == kStringName) return &destroy_name;
  if (type == kString || type == kDictionary || type == kArray || is_packed(type))
    return &destroy_body;
  return nullptr;
}

constexpr std::int64_t kSizeHash = 3173160232;
constexpr std::int64_t kResizeHash = 848867239;

void size_method(void* base, const void* const*, void* r_return, std::int32_t) {
  Body* body = *static_cast<Body**>(base);
  std::int64_t n = 0;
  if (auto* packed = dynamic_cast<PackedBody*>(body)) n = static_cast<std::int64_t>(packed->count());
  if (auto* array = dynamic_cast<ArrayBody*>(body)) n = static_cast<std::int64_t>(array->items.size());
  if (auto* dict = dynamic_cast<DictionaryBody*>(body))
    n = static_cast<std::int64_t>(dict->entries.size());
  std::memcpy(r_return, &n, 8);
}

void resize_packed(void* base, const void* const* args, void* r_return, std::int32_t count) {
  std::int64_t n = 0;
  if (count != 1) fault("resize with wrong argument count");
  std::memcpy(&n, args[0], 8);
  auto* raw = static_cast<RawPacked*>(base);
  unshare(raw);
  raw->body->bytes.resize(static_cast<std::size_t>(n) * packed_element_size(raw->body->type));
  const std::int64_t ok = 0;
  std::memcpy(r_return, &ok, 8);
}

void resize_array(void* base, const void* const* args, void* r_return, std::int32_t count) {
  std::int64_t n = 0;
  if (count != 1) fault("resize with wrong argument count");
  std::memcpy(&n, args[0], 8);
  auto* body = *static_cast<ArrayBody**>(base);
  while (body->items.size() > static_cast<std::size_t>(n)) {
    variant_destroy(&body->items.back());
    body->items.pop_back();
  }
  while (body->items.size() < static_cast<std::size_t>(n)) body->items.push_back(variant_default(body->typed));
  const std::int64_t ok = 0;
  std::memcpy(r_return, &ok, 8);
}

using BuiltIn = void (*)(void*, const void* const*, void*, std::int32_t);
BuiltIn variant_get_ptr_builtin_method(std::int32_t type, const void* method, std::int64_t hash) {
  const std::string& name = name_of(method);
  const bool sized = type == kDictionary || type == kArray || is_packed(type);
  if (name == "size" && sized) return hash == kSizeHash ? &size_method : nullptr;
  if (name == "resize" && hash == kResizeHash) {
    if (is_packed(type)) return &resize_packed;
    if (type == kArray) return &resize_array;
  }
  return nullptr;
}

// --- Strings ------------------------------------------------------------------

void string_new_with_utf8_chars(void* dest, const char* text) {
  static_cast<RawString*>(dest)->body = new_string(text == nullptr ? "" : text);
}
void string_name_new_with_latin1_chars(void* dest, const char* text, std::uint8_t) {
  static_cast<RawStringName*>(dest)->entry = intern_name(text == nullptr ? "" : text);
}

// --- Containers -----------------------------------------------------------------

template <std::int32_t kType>
void* packed_index(void* self, std::int64_t index) {
  auto* raw = static_cast<RawPacked*>(self);
  if (raw->body->type != kType) return fault("packed array of another type"), nullptr;
  if (index < 0 || static_cast<std::size_t>(index) >= raw->body->count())
    return fault("packed array index out of range"), nullptr;
  unshare(raw);  // writing access copies shared data first
  return raw->body->bytes.data() + static_cast<std::size_t>(index) * packed_element_size(kType);
}

template <std::int32_t kType>
const void* packed_index_const(const void* self, std::int64_t index) {
  const auto* raw = static_cast<const RawPacked*>(self);
  if (raw->body->type != kType) return fault("packed array of another type"), nullptr;
  if (index < 0 || static_cast<std::size_t>(index) >= raw->body->count())
    return fault("packed array index out of range"), nullptr;
  return raw->body->bytes.data() + static_cast<std::size_t>(index) * packed_element_size(kType);
}

void* array_operator_index(void* self, std::int64_t index) {
  auto* body = *static_cast<ArrayBody**>(self);
  if (index < 0 || static_cast<std::size_t>(index) >= body->items.size())
    return fault("array index out of range"), nullptr;
  return &body->items[static_cast<std::size_t>(index)];
}

void array_set_typed(void* self, std::int32_t type, const void*, const void*) {
  auto* body = *static_cast<ArrayBody**>(self);
  if (!body->items.empty()) return fault("array typed after it was filled");
  body->typed = type;
}

void* dictionary_operator_index(void* self, const void* key) {
  auto* body = *static_cast<DictionaryBody**>(self);
  const auto* k = static_cast<const Variant*>(key);
  for (auto& [existing, value] : body->entries)
    if (variant_equal(existing, *k)) return &value;
  Variant copy;
  variant_copy(&copy, k);
  body->entries.emplace_back(copy, Variant{});
  return &body->entries.back().second;
}

// --- Class database and objects ------------------------------------------------

void* classdb_construct_object2(const void* class_name) {
  EngineHost& host = current_host();
  const std::string& name = name_of(class_name);
  if (!host.engine_classes.contains(name)) return fault("construct unknown class " + name), nullptr;
  auto* object = new Object;
  object->engine_class = name;
  ++host.live_objects;
  return object;
}

void object_set_instance(void* object, const void* class_name, void* instance) {
  auto* o = static_cast<Object*>(object);
  const std::string& name = name_of(class_name);
  const ClassRecord* record = current_host().find_class(name);
  if (record == nullptr) return fault("instance of unregistered class " + name);
  if (record->parent != o->engine_class) return fault("instance on an object of another class");
  o->extension_class = name;
  o->instance = instance;
}

void classdb_register_extension_class5(void* library, const void* class_name,
                                       const void* parent_name, const void* info) {
  EngineHost& host = current_host();
  if (library != host.library_token()) return fault("register with a foreign library token");
  const std::string& name = name_of(class_name);
  const std::string& parent = name_of(parent_name);
  if (host.classes.contains(name) || host.engine_classes.contains(name))
    return fault("class registered twice: " + name);
  if (!host.engine_classes.contains(parent)) return fault("unknown parent class " + parent);
  const auto* i = static_cast<const CreationInfo5*>(info);
  ClassRecord record;
  record.name = name;
  record.parent = parent;
  record.is_virtual = i->is_virtual;
  record.is_abstract = i->is_abstract;
  record.is_exposed = i->is_exposed;
  record.is_runtime = i->is_runtime;
  record.userdata = i->class_userdata;
  record.create = i->create_instance;
  record.free = i->free_instance;
  record.get_virtual = i->get_virtual;
  const Callback others[] = {i->set, i->get, i->get_property_list, i->free_property_list,
                             i->property_can_revert, i->property_get_revert,
                             i->validate_property, i->notification, i->to_string, i->reference,
                             i->unreference, i->recreate_instance, i->get_virtual_call_data,
                             i->call_virtual_with_data};
  for (Callback c : others)
    if (c != nullptr) fault("class " + name + " fills a callback it does not need");
  if (record.create == nullptr || record.free == nullptr) fault("class without create or free");
  host.classes.emplace(name, std::move(record));
}

void classdb_register_extension_class_method(void* library, const void* class_name,
                                             const void* method_info) {
  EngineHost& host = current_host();
  if (library != host.library_token()) return fault("method with a foreign library token");
  auto it = host.classes.find(name_of(class_name));
  if (it == host.classes.end()) return fault("method of an unregistered class");
  const auto* info = static_cast<const MethodInfo*>(method_info);
  MethodRecord method;
  method.name = name_of(info->name);
  if (it->second.method(method.name) != nullptr) return fault("method registered twice");
  method.flags = info->method_flags;
  method.has_return = info->has_return_value != 0;
  if (method.has_return)
    method.result = property_of(*info->return_value_info, info->return_value_metadata);
  for (std::uint32_t a = 0; a < info->argument_count; ++a)
    method.arguments.push_back(property_of(info->arguments_info[a], info->arguments_metadata[a]));
  method.default_argument_count = info->default_argument_count;
  method.userdata = info->method_userdata;
  method.call = info->call_func;
  method.ptrcall = info->ptrcall_func;
  it->second.methods.push_back(std::move(method));
}

void classdb_unregister_extension_class(void* library, const void* class_name) {
  EngineHost& host = current_host();
  if (library != host.library_token()) return fault("unregister with a foreign library token");
  if (host.classes.erase(name_of(class_name)) == 0) fault("unregister an unknown class");
}

using Function = void (*)();
template <typename F>
Function as_function(F f) {
  return reinterpret_cast<Function>(f);
}

const std::map<std::string, Function>& table() {
  static const std::map<std::string, Function> functions = {
      {"print_error_with_message", as_function(&print_error_with_message)},
      {"variant_new_copy", as_function(&variant_new_copy)},
      {"variant_new_nil", as_function(&variant_new_nil)},
      {"variant_destroy", as_function(&variant_destroy_fn)},
      {"variant_get_type", as_function(&variant_get_type)},
      {"get_variant_from_type_constructor", as_function(&get_variant_from_type_constructor)},
      {"get_variant_to_type_constructor", as_function(&get_variant_to_type_constructor)},
      {"variant_get_ptr_constructor", as_function(&variant_get_ptr_constructor)},
      {"variant_get_ptr_destructor", as_function(&variant_get_ptr_destructor)},
      {"variant_get_ptr_builtin_method", as_function(&variant_get_ptr_builtin_method)},
      {"string_new_with_utf8_chars", as_function(&string_new_with_utf8_chars)},
      {"string_name_new_with_latin1_chars", as_function(&string_name_new_with_latin1_chars)},
      {"packed_byte_array_operator_index", as_function(&packed_index<kPackedByteArray>)},
      {"packed_byte_array_operator_index_const",
       as_function(&packed_index_const<kPackedByteArray>)},
      {"packed_int32_array_operator_index", as_function(&packed_index<kPackedInt32Array>)},
      {"packed_int32_array_operator_index_const",
       as_function(&packed_index_const<kPackedInt32Array>)},
      {"packed_vector2_array_operator_index", as_function(&packed_index<kPackedVector2Array>)},
      {"packed_vector2_array_operator_index_const",
       as_function(&packed_index_const<kPackedVector2Array>)},
      {"packed_vector3_array_operator_index", as_function(&packed_index<kPackedVector3Array>)},
      {"packed_vector3_array_operator_index_const",
       as_function(&packed_index_const<kPackedVector3Array>)},
      {"packed_color_array_operator_index", as_function(&packed_index<kPackedColorArray>)},
      {"packed_color_array_operator_index_const",
       as_function(&packed_index_const<kPackedColorArray>)},
      {"array_operator_index", as_function(&array_operator_index)},
      {"array_set_typed", as_function(&array_set_typed)},
      {"dictionary_operator_index", as_function(&dictionary_operator_index)},
      {"classdb_construct_object2", as_function(&classdb_construct_object2)},
      {"object_set_instance", as_function(&object_set_instance)},
      {"classdb_register_extension_class5", as_function(&classdb_register_extension_class5)},
      {"classdb_register_extension_class_method",
       as_function(&classdb_register_extension_class_method)},
      {"classdb_unregister_extension_class", as_function(&classdb_unregister_extension_class)},
  };
  return functions;
}

}  // namespace

Function get_proc_address(const char* name) {
  EngineHost& host = current_host();
  host.looked_up.emplace_back(name);
  if (host.withheld.contains(name)) return nullptr;
  const auto& functions = table();
  auto it = functions.find(name);
  return it == functions.end() ? nullptr : it->second;
}

}  // namespace tessmark::host
