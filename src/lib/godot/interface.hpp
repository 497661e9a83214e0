#pragma once
// Our own declarations of the part of the engine's GDExtension C interface
// that this library uses, at the engine's 4.6 interface level: the enum
// values, struct layouts and function signatures the engine documents, and
// the table of interface functions looked up once when the library loads.

#include <cstdint>

namespace tessmark::godot::abi {

using Bool = std::uint8_t;
using Int = std::int64_t;

enum VariantType : std::int32_t {
  kNil = 0,
  kBool = 1,
  kInt = 2,
  kFloat = 3,
  kString = 4,
  kVector2 = 5,
  kVector3 = 9,
  kVector3i = 10,
  kColor = 20,
  kStringName = 21,
  kObject = 24,
  kDictionary = 27,
  kArray = 28,
  kPackedByteArray = 29,
  kPackedInt32Array = 30,
  kPackedVector2Array = 35,
  kPackedVector3Array = 36,
  kPackedColorArray = 37,
  kVariantMax = 39,
};

enum CallErrorType : std::int32_t {
  kCallOk = 0,
  kCallErrorInvalidMethod = 1,
  kCallErrorInvalidArgument = 2,
  kCallErrorTooManyArguments = 3,
  kCallErrorTooFewArguments = 4,
  kCallErrorInstanceIsNull = 5,
  kCallErrorMethodNotConst = 6,
};

struct CallError {
  CallErrorType error;
  std::int32_t argument;
  std::int32_t expected;
};

enum InitializationLevel : std::int32_t {
  kInitCore = 0,
  kInitServers = 1,
  kInitScene = 2,
  kInitEditor = 3,
  kInitLevelCount = 4,
};

enum MethodFlags : std::uint32_t {
  kMethodFlagNormal = 1,
  kMethodFlagEditor = 2,
  kMethodFlagConst = 4,
};

enum ArgumentMetadata : std::int32_t {
  kMetadataNone = 0,
  kMetadataIntIsInt32 = 3,
  kMetadataIntIsInt64 = 4,
  kMetadataRealIsFloat = 9,
};

// PropertyHint and PropertyUsageFlags values from the engine's class reference.
inline constexpr std::uint32_t kPropertyHintNone = 0;
inline constexpr std::uint32_t kPropertyHintArrayType = 31;
inline constexpr std::uint32_t kPropertyUsageDefault = 6;

// Opaque engine pointers. The engine's interface distinguishes const and
// uninitialised flavours; they are all plain pointers at the ABI level.
using VariantPtr = void*;
using ConstVariantPtr = const void*;
using StringNamePtr = void*;
using ConstStringNamePtr = const void*;
using StringPtr = void*;
using TypePtr = void*;
using ConstTypePtr = const void*;
using ObjectPtr = void*;
using ClassInstancePtr = void*;
using ClassLibraryPtr = void*;

struct PropertyInfo {
  VariantType type;
  StringNamePtr name;
  StringNamePtr class_name;
  std::uint32_t hint;
  StringPtr hint_string;
  std::uint32_t usage;
};

using ClassMethodCall = void (*)(void* method_userdata, ClassInstancePtr instance,
                                 const ConstVariantPtr* args, Int argument_count,
                                 VariantPtr r_return, CallError* r_error);
using ClassMethodPtrCall = void (*)(void* method_userdata, ClassInstancePtr instance,
                                    const ConstTypePtr* args, TypePtr r_ret);

struct ClassMethodInfo {
  StringNamePtr name;
  void* method_userdata;
  ClassMethodCall call_func;
  ClassMethodPtrCall ptrcall_func;
  std::uint32_t method_flags;
  Bool has_return_value;
  PropertyInfo* return_value_info;
  ArgumentMetadata return_value_metadata;
  std::uint32_t argument_count;
  PropertyInfo* arguments_info;
  ArgumentMetadata* arguments_metadata;
  std::uint32_t default_argument_count;
  VariantPtr* default_arguments;
};

// Class callbacks. Only creation, destruction and the virtual lookup are
// filled in; every other slot is null.
using GenericCallback = void (*)();
using ClassCreateInstance2 = ObjectPtr (*)(void* class_userdata, Bool notify_postinitialize);
using ClassFreeInstance = void (*)(void* class_userdata, ClassInstancePtr instance);
using ClassCallVirtual = void (*)(ClassInstancePtr instance, const ConstTypePtr* args,
                                  TypePtr r_ret);
using ClassGetVirtual2 = ClassCallVirtual (*)(void* class_userdata, ConstStringNamePtr name,
                                              std::uint32_t hash);

// The class record of classdb_register_extension_class5 (the engine's
// GDExtensionClassCreationInfo5, laid out as its CreationInfo4).
struct ClassCreationInfo5 {
  Bool is_virtual;
  Bool is_abstract;
  Bool is_exposed;
  Bool is_runtime;
  const void* icon_path;
  GenericCallback set_func;
  GenericCallback get_func;
  GenericCallback get_property_list_func;
  GenericCallback free_property_list_func;
  GenericCallback property_can_revert_func;
  GenericCallback property_get_revert_func;
  GenericCallback validate_property_func;
  GenericCallback notification_func;
  GenericCallback to_string_func;
  GenericCallback reference_func;
  GenericCallback unreference_func;
  ClassCreateInstance2 create_instance_func;
  ClassFreeInstance free_instance_func;
  GenericCallback recreate_instance_func;
  ClassGetVirtual2 get_virtual_func;
  GenericCallback get_virtual_call_data_func;
  GenericCallback call_virtual_with_data_func;
  void* class_userdata;
};

using InitializeCallback = void (*)(void* userdata, InitializationLevel level);
using DeinitializeCallback = void (*)(void* userdata, InitializationLevel level);

struct Initialization {
  InitializationLevel minimum_initialization_level;
  void* userdata;
  InitializeCallback initialize;
  DeinitializeCallback deinitialize;
};

using InterfaceFunctionPtr = void (*)();
using GetProcAddress = InterfaceFunctionPtr (*)(const char* function_name);
using EntryFunction = Bool (*)(GetProcAddress get_proc_address, ClassLibraryPtr library,
                               Initialization* r_initialization);

// Function pointers handed out by the interface.
using VariantFromTypeConstructor = void (*)(VariantPtr r_dest, TypePtr value);
using TypeFromVariantConstructor = void (*)(TypePtr r_dest, VariantPtr variant);
using PtrConstructor = void (*)(TypePtr r_base, const ConstTypePtr* args);
using PtrDestructor = void (*)(TypePtr base);
using PtrBuiltInMethod = void (*)(TypePtr base, const ConstTypePtr* args, TypePtr r_return,
                                  std::int32_t argument_count);

// The interface functions, by the names the engine looks them up with.
struct Interface {
  void (*print_error_with_message)(const char* description, const char* message,
                                   const char* function, const char* file, std::int32_t line,
                                   Bool editor_notify);
  void (*variant_new_copy)(VariantPtr r_dest, ConstVariantPtr src);
  void (*variant_new_nil)(VariantPtr r_dest);
  void (*variant_destroy)(VariantPtr self);
  VariantType (*variant_get_type)(ConstVariantPtr self);
  VariantFromTypeConstructor (*get_variant_from_type_constructor)(VariantType type);
  TypeFromVariantConstructor (*get_variant_to_type_constructor)(VariantType type);
  PtrConstructor (*variant_get_ptr_constructor)(VariantType type, std::int32_t constructor);
  PtrDestructor (*variant_get_ptr_destructor)(VariantType type);
  PtrBuiltInMethod (*variant_get_ptr_builtin_method)(VariantType type, ConstStringNamePtr method,
                                                     Int hash);
  void (*string_new_with_utf8_chars)(StringPtr r_dest, const char* contents);
  void (*string_name_new_with_latin1_chars)(StringNamePtr r_dest, const char* contents,
                                            Bool is_static);
  std::uint8_t* (*packed_byte_array_operator_index)(TypePtr self, Int index);
  const std::uint8_t* (*packed_byte_array_operator_index_const)(ConstTypePtr self, Int index);
  std::int32_t* (*packed_int32_array_operator_index)(TypePtr self, Int index);
  const std::int32_t* (*packed_int32_array_operator_index_const)(ConstTypePtr self, Int index);
  TypePtr (*packed_vector2_array_operator_index)(TypePtr self, Int index);
  TypePtr (*packed_vector2_array_operator_index_const)(ConstTypePtr self, Int index);
  TypePtr (*packed_vector3_array_operator_index)(TypePtr self, Int index);
  TypePtr (*packed_vector3_array_operator_index_const)(ConstTypePtr self, Int index);
  TypePtr (*packed_color_array_operator_index)(TypePtr self, Int index);
  TypePtr (*packed_color_array_operator_index_const)(ConstTypePtr self, Int index);
  VariantPtr (*array_operator_index)(TypePtr self, Int index);
  void (*array_set_typed)(TypePtr self, VariantType type, ConstStringNamePtr class_name,
                          ConstVariantPtr script);
  VariantPtr (*dictionary_operator_index)(TypePtr self, ConstVariantPtr key);
  ObjectPtr (*classdb_construct_object2)(ConstStringNamePtr class_name);
  void (*object_set_instance)(ObjectPtr object, ConstStringNamePtr class_name,
                              ClassInstancePtr instance);
  void (*classdb_register_extension_class5)(ClassLibraryPtr library,
                                            ConstStringNamePtr class_name,
                                            ConstStringNamePtr parent_class_name,
                                            const ClassCreationInfo5* info);
  void (*classdb_register_extension_class_method)(ClassLibraryPtr library,
                                                  ConstStringNamePtr class_name,
                                                  const ClassMethodInfo* method_info);
  void (*classdb_unregister_extension_class)(ClassLibraryPtr library,
                                             ConstStringNamePtr class_name);
};

// Hashes of the engine's built-in method signatures (they depend on the
// signature only): `int size() const` and `int resize(int)`.
inline constexpr Int kSizeMethodHash = 3173160232;
inline constexpr Int kResizeMethodHash = 848867239;

}  // namespace tessmark::godot::abi
