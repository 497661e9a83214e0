// The library's one exported symbol and the per-level initialisation the
// engine drives. TessmarkWorld exists from the Scene level up.

#include <exception>
#include <string>

#include "godot/engine.hpp"
#include "godot/interface.hpp"
#include "mesh_jobs.hpp"
#include "tessmark_world.hpp"

namespace tessmark {

namespace abi = godot::abi;

struct TessmarkCoreExtension {
  static constexpr abi::InitializationLevel kMinimumLevel = abi::kInitScene;

  static void initialize(void*, abi::InitializationLevel level) {
    if (level != abi::kInitScene) return;
    try {
      register_tessmark_world();
    } catch (const std::exception& failure) {
      godot::report_error("TessmarkCoreExtension", failure.what());
    }
  }

  static void deinitialize(void*, abi::InitializationLevel level) {
    if (level != abi::kInitScene) return;
    try {
      // No mesh job thread may outlive the library's code.
      wait_for_mesh_jobs();
      unregister_tessmark_world();
    } catch (const std::exception& failure) {
      godot::report_error("TessmarkCoreExtension", failure.what());
    }
  }
};

}  // namespace tessmark

extern "C" __attribute__((visibility("default"))) tessmark::godot::abi::Bool tessmark_library_init(
    tessmark::godot::abi::GetProcAddress get_proc_address,
    tessmark::godot::abi::ClassLibraryPtr library,
    tessmark::godot::abi::Initialization* r_initialization) {
  using tessmark::TessmarkCoreExtension;
  namespace godot = tessmark::godot;
  try {
    std::string missing;
    if (!godot::bind_engine(get_proc_address, library, missing)) {
      if (godot::engine.api.print_error_with_message != nullptr)
        godot::report_error("tessmark_library_init",
                            "the engine does not provide " + missing + "; not loaded");
      return 0;
    }
    if (r_initialization == nullptr) return 0;
    r_initialization->minimum_initialization_level = TessmarkCoreExtension::kMinimumLevel;
    r_initialization->userdata = nullptr;
    r_initialization->initialize = &TessmarkCoreExtension::initialize;
    r_initialization->deinitialize = &TessmarkCoreExtension::deinitialize;
    return 1;
  } catch (...) {
    return 0;
  }
}
