#pragma once
// Registers a native class with the engine: the engine object is created as
// the parent class and the C++ instance is attached to it; the engine frees
// the instance through free_instance when the object goes. Class names
// itself in Class::kClassName and its parent in Class::kParentClassName.

#include <memory>
#include <exception>

#include "godot/engine.hpp"
#include "godot/names.hpp"

namespace tessmark::godot {

template <typename Class>
class ClassBinding {
 public:
  static void register_class() {
    names_ = std::make_unique<Names>();
    abi::ClassCreationInfo5 info{};
    info.is_exposed = 1;
    info.create_instance_func = &create_instance;
    info.free_instance_func = &free_instance;
    info.get_virtual_func = &get_virtual;
    engine.api.classdb_register_extension_class5(engine.library, names_->self.raw(),
                                                 names_->parent.raw(), &info);
  }

  static void unregister_class() {
    if (!names_) return;
    engine.api.classdb_unregister_extension_class(engine.library, names_->self.raw());
    names_.reset();
  }

 private:
  struct Names {
    StringName self{Class::kClassName};
    StringName parent{Class::kParentClassName};
  };

  static abi::ObjectPtr create_instance(void*, abi::Bool) {
    Class* instance = nullptr;
    try {
      instance = new Class();
    } catch (const std::exception& failure) {
      report_error(Class::kClassName, failure.what());
      return nullptr;
    }
    abi::ObjectPtr object = engine.api.classdb_construct_object2(names_->parent.raw());
    if (object == nullptr) {
      delete instance;
      return nullptr;
    }
    engine.api.object_set_instance(object, names_->self.raw(), instance);
    return object;
  }

  static void free_instance(void*, abi::ClassInstancePtr instance) {
    delete static_cast<Class*>(instance);
  }

  // The class overrides no virtual method of its parent.
  static abi::ClassCallVirtual get_virtual(void*, abi::ConstStringNamePtr, std::uint32_t) {
    return nullptr;
  }

  static inline std::unique_ptr<Names> names_;
};

}  // namespace tessmark::godot
