#pragma once
// TessmarkWorld, the one object game scripts hold: a World plus the
// bookkeeping of background mesh jobs. Each script method is an ordinary
// member function; its engine glue is derived from its signature when it
// is registered in tessmark_world.cpp.

#include <cstdint>

#include "godot/access.hpp"
#include "godot/dictionary.hpp"
#include "godot/dictionary_array.hpp"
#include "godot/packed_arrays.hpp"
#include "godot/values.hpp"
#include "world/grid.hpp"

namespace tessmark {

class TessmarkWorld {
 public:
  static constexpr const char* kClassName = "TessmarkWorld";
  static constexpr const char* kParentClassName = "RefCounted";

  World world;

  // Shared access for const methods, exclusive for the others.
  godot::AccessTracker access;

  // Grid (methods_grid.cpp).
  void reset_empty(std::int32_t fill_type);
  bool load_blocks(const godot::PackedByteArray& blocks);
  void set_tessmark_virus(bool enabled);
  bool set_block(std::int32_t x, std::int32_t y, std::int32_t z, std::int32_t block_type);
  std::int32_t block_at(std::int32_t x, std::int32_t y, std::int32_t z) const;
  std::int32_t lava_count() const;
  godot::PackedInt32Array take_dirty_regions();
};

// Announces TessmarkWorld and its script methods to the engine, and takes
// them back.
void register_tessmark_world();
void unregister_tessmark_world();

}  // namespace tessmark
