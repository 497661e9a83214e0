// The simple script methods over the block grid.

#include "conversions.hpp"
#include "tessmark_world.hpp"

namespace tessmark {

void TessmarkWorld::reset_empty(std::int32_t fill_type) { world.reset_empty(low_byte(fill_type)); }

bool TessmarkWorld::load_blocks(const godot::PackedByteArray& blocks) {
  return world.load_blocks(blocks.view());
}

void TessmarkWorld::set_tessmark_virus(bool enabled) { world.tessmark_virus = enabled; }

bool TessmarkWorld::set_block(std::int32_t x, std::int32_t y, std::int32_t z,
                              std::int32_t block_type) {
  return world.set_block(x, y, z, low_byte(block_type));
}

std::int32_t TessmarkWorld::block_at(std::int32_t x, std::int32_t y, std::int32_t z) const {
  return world.block_at(x, y, z);
}

std::int32_t TessmarkWorld::lava_count() const {
  return static_cast<std::int32_t>(world.lava_count);
}

godot::PackedInt32Array TessmarkWorld::take_dirty_regions() {
  const std::vector<std::int32_t> regions = world.take_dirty_regions();
  return godot::PackedInt32Array::from(regions);
}

}  // namespace tessmark
