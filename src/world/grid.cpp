#include "world/grid.hpp"

#include <algorithm>
#include <cstring>

#include "world/catalogue.hpp"

namespace tessmark {

void World::write_cell(int x, int y, int z, BlockId value) {
  BlockId& cell = blocks[static_cast<std::size_t>(cell_index(x, y, z))];
  const BlockId old = cell;
  if (old == value) return;
  cell = value;
  if (is_lava(value)) {
    ++lava_count;
  } else if (is_lava(old) && lava_count > 0) {
    --lava_count;
  }
  mark_cell_and_neighbors_dirty(x, y, z);
}

void World::mark_cell_and_neighbors_dirty(int x, int y, int z) {
  static constexpr int kOffsets[7][3] = {{0, 0, 0},  {-1, 0, 0}, {1, 0, 0}, {0, -1, 0},
                                         {0, 1, 0},  {0, 0, -1}, {0, 0, 1}};
  for (const auto& o : kOffsets) {
    // Widen first: callers may pass any 32-bit coordinate.
    const long long nx = static_cast<long long>(x) + o[0];
    const long long ny = static_cast<long long>(y) + o[1];
    const long long nz = static_cast<long long>(z) + o[2];
    if (nx < 0 || nx >= kGridSize || ny < 0 || ny >= kGridSize || nz < 0 || nz >= kGridSize)
      continue;
    dirty_regions[static_cast<std::size_t>(
        region_of(static_cast<int>(nx), static_cast<int>(ny), static_cast<int>(nz)))] = 1;
  }
}

bool World::set_block(int x, int y, int z, BlockId value) {
  if (!is_interior(x, y, z)) return false;
  write_cell(x, y, z, value);
  return true;
}

BlockId World::block_at(int x, int y, int z) const {
  return is_interior(x, y, z) ? at(x, y, z) : BlockId{0};
}

bool World::load_blocks(std::span<const BlockId> data) {
  if (data.size() != static_cast<std::size_t>(kCellCount)) return false;
  // Compare before copying so a reload of a nearly identical grid (the same
  // seed regenerated) leaves almost nothing to re-mesh. Equal stretches are
  // skipped a word at a time.
  const BlockId* incoming = data.data();
  const BlockId* stored = blocks.data();
  constexpr int kWord = sizeof(std::uint64_t);
  for (int i = 0; i < kCellCount; i += kWord) {
    std::uint64_t a, b;
    std::memcpy(&a, incoming + i, kWord);
    std::memcpy(&b, stored + i, kWord);
    if (a == b) continue;
    for (int j = i; j < i + kWord; ++j) {
      if (incoming[j] != stored[j]) mark_changed_cell(j);
    }
  }
  lava_count = static_cast<std::uint64_t>(std::count(data.begin(), data.end(), id(Block::Lava)));
  std::memcpy(blocks.data(), incoming, static_cast<std::size_t>(kCellCount));
  return true;
}

void World::mark_changed_cell(int index) {
  const Cell c = cell_at_index(index);
  // A cell away from every region face can only mark its own region; once
  // that is dirty there is nothing left to do.
  const auto inside = [](int v) { return static_cast<unsigned>(v % kRegionSize) - 1u < kRegionSize - 2u; };
  if (inside(c.x) && inside(c.y) && inside(c.z) &&
      dirty_regions[static_cast<std::size_t>(region_of(c.x, c.y, c.z))] != 0)
    return;
  mark_cell_and_neighbors_dirty(c.x, c.y, c.z);
}

void World::reset_empty(BlockId fill) {
  std::fill(blocks.begin(), blocks.end(), fill);
  lava_count = is_lava(fill) ? static_cast<std::uint64_t>(kCellCount) : 0;
  dirty_regions.fill(1);
}

std::vector<std::int32_t> World::take_dirty_regions() {
  std::vector<std::int32_t> taken;
  for (int r = 0; r < kRegionCount; ++r) {
    if (dirty_regions[static_cast<std::size_t>(r)] != 0) {
      taken.push_back(r);
      dirty_regions[static_cast<std::size_t>(r)] = 0;
    }
  }
  return taken;
}

}  // namespace tessmark
