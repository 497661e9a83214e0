#pragma once
// One line per script method: bind_method<&Class::method>("name", {args})
// derives the engine's method record, the pointer call and the variant call
// from the member function's C++ signature. Both calls check the thread,
// convert the arguments, take shared (const methods) or exclusive access,
// run the body and convert its result; a refusal or a thrown exception is
// printed through the engine's error output and never reaches the engine.

#include <cstdint>
#include <exception>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <tuple>
#include <type_traits>
#include <utility>
#include <vector>

#include "godot/access.hpp"
#include "godot/arguments.hpp"
#include "godot/engine.hpp"
#include "godot/names.hpp"

namespace tessmark::godot {

template <typename M>
struct MethodTraits;

template <typename C, typename R, typename... A>
struct MethodTraits<R (C::*)(A...)> {
  using Class = C;
  using Return = R;
  using Args = std::tuple<std::remove_cvref_t<A>...>;
  static constexpr bool kConst = false;
};

template <typename C, typename R, typename... A>
struct MethodTraits<R (C::*)(A...) const> {
  using Class = C;
  using Return = R;
  using Args = std::tuple<std::remove_cvref_t<A>...>;
  static constexpr bool kConst = true;
};

// Messages of the refusals, shared by every method.
std::string describe_conversion(std::size_t index, const char* argument, Conversion why,
                                abi::VariantType expected);
inline constexpr const char* kForeignThread =
    "called from a thread other than the engine's main thread; the call was refused";
inline constexpr const char* kAccessConflict =
    "the world is in use by a call that conflicts with this one; the call was refused";

// What a registered method knows about itself at call time.
struct MethodRecord {
  std::string where;  // "Class.method", for error messages
  std::vector<std::string> arguments;
};

template <auto kMethod>
class MethodBinding {
  using Traits = MethodTraits<decltype(kMethod)>;
  using Class = typename Traits::Class;
  using Return = typename Traits::Return;
  using Args = typename Traits::Args;
  static constexpr std::size_t kArity = std::tuple_size_v<Args>;

  template <typename T>
  using Slot = std::optional<T>;
  template <typename Tuple>
  struct SlotsOf;
  template <typename... T>
  struct SlotsOf<std::tuple<T...>> {
    using type = std::tuple<Slot<T>...>;
  };
  using Slots = typename SlotsOf<Args>::type;

 public:
  static inline MethodRecord record;

  static void ptrcall(void* userdata, abi::ClassInstancePtr instance,
                      const abi::ConstTypePtr* args, abi::TypePtr r_ret) {
    const auto& self = *static_cast<const MethodRecord*>(userdata);
    try {
      if (!on_main_thread()) return report_error(self.where, kForeignThread);
      Slots slots;
      std::size_t bad = 0;
      Conversion why = Conversion::kOk;
      if (!convert<Wire::kPointer>(args, slots, bad, why))
        return report_error(self.where, describe(self, bad, why));
      run(self, instance, slots, [&](auto&& result) {
        Result<Return>::write_ptr(r_ret, result);
      });
    } catch (const std::exception& failure) {
      report_error(self.where, failure.what());
    } catch (...) {
      report_error(self.where, "unknown failure");
    }
  }

  static void call(void* userdata, abi::ClassInstancePtr instance, const abi::ConstVariantPtr* args,
                   abi::Int argument_count, abi::VariantPtr r_return, abi::CallError* r_error) {
    const auto& self = *static_cast<const MethodRecord*>(userdata);
    *r_error = {abi::kCallOk, 0, 0};
    try {
      if (!on_main_thread()) return refuse(self, r_error, kForeignThread);
      if (argument_count != static_cast<abi::Int>(kArity)) {
        const bool few = argument_count < static_cast<abi::Int>(kArity);
        *r_error = {few ? abi::kCallErrorTooFewArguments : abi::kCallErrorTooManyArguments, 0,
                    static_cast<std::int32_t>(kArity)};
        return report_error(self.where, std::string(few ? "too few" : "too many") +
                                            " arguments: expected " + std::to_string(kArity) +
                                            ", got " + std::to_string(argument_count) +
                                            "; the call was refused");
      }
      Slots slots;
      std::size_t bad = 0;
      Conversion why = Conversion::kOk;
      if (!convert<Wire::kVariant>(args, slots, bad, why)) {
        *r_error = {abi::kCallErrorInvalidArgument, static_cast<std::int32_t>(bad),
                    expected_type(bad)};
        return report_error(self.where, describe(self, bad, why));
      }
      const bool ran = run(self, instance, slots, [&](auto&& result) {
        Result<Return>::write_variant(r_return, result);
      });
      if (!ran) *r_error = {abi::kCallErrorInvalidMethod, 0, 0};
    } catch (const std::exception& failure) {
      refuse(self, r_error, failure.what());
    } catch (...) {
      refuse(self, r_error, "unknown failure");
    }
  }

 private:
  static void refuse(const MethodRecord& self, abi::CallError* r_error, const char* message) {
    *r_error = {abi::kCallErrorInvalidMethod, 0, 0};
    report_error(self.where, message);
  }

  enum class Wire { kPointer, kVariant };

  template <Wire kWire, std::size_t I>
  static Conversion read(const void* arg, Slot<std::tuple_element_t<I, Args>>& slot) {
    using P = Parameter<std::tuple_element_t<I, Args>>;
    if constexpr (kWire == Wire::kPointer) {
      return P::from_ptr(arg, slot);
    } else {
      return P::from_variant(arg, slot);
    }
  }

  // Converts the arguments left to right, stopping at the first that fails.
  template <Wire kWire>
  static bool convert(const void* const* args, Slots& slots, std::size_t& bad, Conversion& why) {
    return [&]<std::size_t... I>(std::index_sequence<I...>) {
      return ((bad = I, why = read<kWire, I>(args[I], std::get<I>(slots)),
               why == Conversion::kOk) &&
              ...);
    }(std::make_index_sequence<kArity>{});
  }

  static std::int32_t expected_type(std::size_t index) {
    std::int32_t type = abi::kNil;
    [&]<std::size_t... I>(std::index_sequence<I...>) {
      ((index == I ? (type = Parameter<std::tuple_element_t<I, Args>>::kType) : 0), ...);
    }(std::make_index_sequence<kArity>{});
    return type;
  }

  static std::string describe(const MethodRecord& self, std::size_t index, Conversion why) {
    const char* name = index < self.arguments.size() ? self.arguments[index].c_str() : "";
    return describe_conversion(index, name, why, static_cast<abi::VariantType>(expected_type(index)));
  }

  // Takes access, runs the body and hands its result on; false if refused.
  template <typename Deliver>
  static bool run(const MethodRecord& self, abi::ClassInstancePtr instance, Slots& slots,
                  Deliver&& deliver) {
    if (instance == nullptr) {
      report_error(self.where, "called without an object; the call was refused");
      return false;
    }
    Class& object = *static_cast<Class*>(instance);
    ScopedAccess access(object.access, !Traits::kConst);
    if (!access.held()) {
      report_error(self.where, kAccessConflict);
      return false;
    }
    auto invoke = [&]<std::size_t... I>(std::index_sequence<I...>) -> decltype(auto) {
      return (object.*kMethod)(*std::get<I>(slots)...);
    };
    if constexpr (std::is_void_v<Return>) {
      invoke(std::make_index_sequence<kArity>{});
    } else {
      deliver(invoke(std::make_index_sequence<kArity>{}));
    }
    return true;
  }
};

// Registers one method of Class (which names itself in Class::kClassName)
// with the engine. Argument names are listed in parameter order.
template <auto kMethod>
void bind_method(const char* name, std::initializer_list<const char*> argument_names) {
  using Binding = MethodBinding<kMethod>;
  using Traits = MethodTraits<decltype(kMethod)>;
  using Class = typename Traits::Class;
  using Args = typename Traits::Args;
  using Return = typename Traits::Return;
  constexpr std::size_t kArity = std::tuple_size_v<Args>;

  MethodRecord& record = Binding::record;
  record.where = std::string(Class::kClassName) + "." + name;
  record.arguments.assign(argument_names.begin(), argument_names.end());
  if (argument_names.size() != kArity) {
    report_error(record.where, "argument names do not match the parameters; not registered");
    return;
  }

  const StringName class_name(Class::kClassName);
  const StringName method_name(name);
  const StringName no_class("");
  const String no_hint("");

  std::vector<std::unique_ptr<StringName>> names;
  std::vector<abi::PropertyInfo> infos;
  std::vector<abi::ArgumentMetadata> metadata;
  [&]<std::size_t... I>(std::index_sequence<I...>) {
    ((names.push_back(std::make_unique<StringName>(record.arguments[I].c_str())),
      infos.push_back({Parameter<std::tuple_element_t<I, Args>>::kType, names.back()->raw(),
                       const_cast<void*>(no_class.raw()), abi::kPropertyHintNone,
                       const_cast<void*>(no_hint.raw()), abi::kPropertyUsageDefault}),
      metadata.push_back(Parameter<std::tuple_element_t<I, Args>>::kMetadata)),
     ...);
  }(std::make_index_sequence<kArity>{});

  abi::ClassMethodInfo info{};
  info.name = const_cast<void*>(method_name.raw());
  info.method_userdata = &record;
  info.call_func = &Binding::call;
  info.ptrcall_func = &Binding::ptrcall;
  info.method_flags = abi::kMethodFlagNormal | (Traits::kConst ? abi::kMethodFlagConst : 0u);
  info.argument_count = static_cast<std::uint32_t>(kArity);
  info.arguments_info = infos.data();
  info.arguments_metadata = metadata.data();

  abi::PropertyInfo return_info{};
  std::optional<String> return_hint;
  if constexpr (!std::is_void_v<Return>) {
    using R = Result<Return>;
    if (R::kHint != nullptr) return_hint.emplace(R::kHint);
    return_info = {R::kType, const_cast<void*>(no_class.raw()), const_cast<void*>(no_class.raw()),
                   R::kHint != nullptr ? abi::kPropertyHintArrayType : abi::kPropertyHintNone,
                   const_cast<void*>(return_hint ? return_hint->raw() : no_hint.raw()),
                   abi::kPropertyUsageDefault};
    info.has_return_value = 1;
    info.return_value_info = &return_info;
    info.return_value_metadata = R::kMetadata;
  }
  engine.api.classdb_register_extension_class_method(engine.library, class_name.raw(), &info);
}

}  // namespace tessmark::godot
