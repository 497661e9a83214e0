#include "godot/engine.hpp"

#include <cstdio>

#include "godot/names.hpp"

namespace tessmark::godot {

Engine engine;

namespace {

template <typename F>
bool look_up(abi::GetProcAddress get_proc_address, const char* name, F& slot,
             std::string& missing) {
  slot = reinterpret_cast<F>(get_proc_address(name));
  if (slot == nullptr) missing = name;
  return slot != nullptr;
}

bool bind_interface(abi::GetProcAddress gpa, abi::Interface& api, std::string& missing) {
#define TESSMARK_LOOK_UP(name) look_up(gpa, #name, api.name, missing)
  return TESSMARK_LOOK_UP(print_error_with_message) && TESSMARK_LOOK_UP(variant_new_copy) &&
         TESSMARK_LOOK_UP(variant_new_nil) && TESSMARK_LOOK_UP(variant_destroy) &&
         TESSMARK_LOOK_UP(variant_get_type) &&
         TESSMARK_LOOK_UP(get_variant_from_type_constructor) &&
         TESSMARK_LOOK_UP(get_variant_to_type_constructor) &&
         TESSMARK_LOOK_UP(variant_get_ptr_constructor) &&
         TESSMARK_LOOK_UP(variant_get_ptr_destructor) &&
         TESSMARK_LOOK_UP(variant_get_ptr_builtin_method) &&
         TESSMARK_LOOK_UP(string_new_with_utf8_chars) &&
         TESSMARK_LOOK_UP(string_name_new_with_latin1_chars) &&
         TESSMARK_LOOK_UP(packed_byte_array_operator_index) &&
         TESSMARK_LOOK_UP(packed_byte_array_operator_index_const) &&
         TESSMARK_LOOK_UP(packed_int32_array_operator_index) &&
         TESSMARK_LOOK_UP(packed_int32_array_operator_index_const) &&
         TESSMARK_LOOK_UP(packed_vector2_array_operator_index) &&
         TESSMARK_LOOK_UP(packed_vector2_array_operator_index_const) &&
         TESSMARK_LOOK_UP(packed_vector3_array_operator_index) &&
         TESSMARK_LOOK_UP(packed_vector3_array_operator_index_const) &&
         TESSMARK_LOOK_UP(packed_color_array_operator_index) &&
         TESSMARK_LOOK_UP(packed_color_array_operator_index_const) &&
         TESSMARK_LOOK_UP(array_operator_index) && TESSMARK_LOOK_UP(array_set_typed) &&
         TESSMARK_LOOK_UP(dictionary_operator_index) &&
         TESSMARK_LOOK_UP(classdb_construct_object2) && TESSMARK_LOOK_UP(object_set_instance) &&
         TESSMARK_LOOK_UP(classdb_register_extension_class5) &&
         TESSMARK_LOOK_UP(classdb_register_extension_class_method) &&
         TESSMARK_LOOK_UP(classdb_unregister_extension_class);
#undef TESSMARK_LOOK_UP
}

// Which operations each value type needs, so a missing one shows at load.
struct TypeNeeds {
  abi::VariantType type;
  const char* name;
  bool construct, variant_in, variant_out, sized, resizable;
};

constexpr TypeNeeds kTypeNeeds[] = {
    {abi::kBool, "bool", false, true, true, false, false},
    {abi::kInt, "int", false, true, true, false, false},
    {abi::kFloat, "float", false, true, true, false, false},
    {abi::kVector3, "Vector3", false, true, true, false, false},
    {abi::kVector3i, "Vector3i", false, false, true, false, false},
    {abi::kString, "String", false, false, true, false, false},
    {abi::kStringName, "StringName", false, false, false, false, false},
    {abi::kDictionary, "Dictionary", true, true, true, true, false},
    {abi::kArray, "Array", true, true, true, true, true},
    {abi::kPackedByteArray, "PackedByteArray", true, true, true, true, true},
    {abi::kPackedInt32Array, "PackedInt32Array", true, true, true, true, true},
    {abi::kPackedVector2Array, "PackedVector2Array", true, true, true, true, true},
    {abi::kPackedVector3Array, "PackedVector3Array", true, true, true, true, true},
    {abi::kPackedColorArray, "PackedColorArray", true, true, true, true, true},
};

bool bind_types(Engine& e, std::string& missing) {
  const abi::Interface& api = e.api;
  // Names for the built-in method lookups need the StringName destructor.
  e.types[abi::kStringName].destroy = api.variant_get_ptr_destructor(abi::kStringName);
  if (e.types[abi::kStringName].destroy == nullptr) return missing = "StringName destructor", false;
  StringName size_name("size");
  StringName resize_name("resize");
  for (const TypeNeeds& need : kTypeNeeds) {
    TypeOps& ops = e.types[need.type];
    const std::string type_name = need.name;
    const bool has_destructor = need.type == abi::kString || need.type >= abi::kStringName;
    if (has_destructor) {
      ops.destroy = api.variant_get_ptr_destructor(need.type);
      if (ops.destroy == nullptr) return missing = type_name + " destructor", false;
    }
    if (need.construct) {
      ops.make = api.variant_get_ptr_constructor(need.type, 0);
      ops.copy = api.variant_get_ptr_constructor(need.type, 1);
      if (ops.make == nullptr || ops.copy == nullptr)
        return missing = type_name + " constructors", false;
    }
    if (need.variant_out) {
      ops.to_variant = api.get_variant_from_type_constructor(need.type);
      if (ops.to_variant == nullptr) return missing = "Variant from " + type_name, false;
    }
    if (need.variant_in) {
      ops.from_variant = api.get_variant_to_type_constructor(need.type);
      if (ops.from_variant == nullptr) return missing = type_name + " from Variant", false;
    }
    if (need.sized) {
      ops.size = api.variant_get_ptr_builtin_method(need.type, size_name.raw(),
                                                    abi::kSizeMethodHash);
      if (ops.size == nullptr) return missing = type_name + ".size", false;
    }
    if (need.resizable) {
      ops.resize = api.variant_get_ptr_builtin_method(need.type, resize_name.raw(),
                                                      abi::kResizeMethodHash);
      if (ops.resize == nullptr) return missing = type_name + ".resize", false;
    }
  }
  return true;
}

}  // namespace

bool bind_engine(abi::GetProcAddress get_proc_address, abi::ClassLibraryPtr library,
                 std::string& missing) {
  engine = Engine{};
  if (get_proc_address == nullptr) {
    missing = "get_proc_address";
    return false;
  }
  if (!bind_interface(get_proc_address, engine.api, missing)) {
    // Without the engine's error output, stderr is the only place left.
    if (engine.api.print_error_with_message == nullptr)
      std::fprintf(stderr, "Tessmark: the engine lacks %s\n", missing.c_str());
    return false;
  }
  engine.library = library;
  engine.main_thread = std::this_thread::get_id();
  return bind_types(engine, missing);
}

bool on_main_thread() { return std::this_thread::get_id() == engine.main_thread; }

void report_error(std::string_view where, std::string_view message) {
  const std::string where_text(where);
  const std::string text = where_text + ": " + std::string(message);
  engine.api.print_error_with_message(where_text.c_str(), text.c_str(), where_text.c_str(),
                                      "tessmark", 0, 1);
}

}  // namespace tessmark::godot
