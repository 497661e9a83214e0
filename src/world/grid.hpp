#pragma once
// The voxel model: a fixed 64^3 grid of one-byte block ids, the lava counter,
// per-region dirty flags for re-meshing, and the lava mode switches.
// Every single-cell change goes through write_cell so the counter and the
// dirty flags can never drift from the grid.

#include <array>
#include <cmath>
#include <cstdint>
#include <span>
#include <vector>

#include "world/saturate.hpp"

namespace tessmark {

using BlockId = std::uint8_t;

inline constexpr int kGridSize = 64;
inline constexpr int kCellCount = kGridSize * kGridSize * kGridSize;  // 262 144
inline constexpr int kRegionSize = 16;
inline constexpr int kRegionsPerAxis = kGridSize / kRegionSize;  // 4
inline constexpr int kRegionCount = kRegionsPerAxis * kRegionsPerAxis * kRegionsPerAxis;

struct Cell {
  std::int32_t x = 0, y = 0, z = 0;
  friend constexpr bool operator==(const Cell&, const Cell&) = default;
};

constexpr bool in_grid(int x, int y, int z) {
  return x >= 0 && x < kGridSize && y >= 0 && y < kGridSize && z >= 0 && z < kGridSize;
}

// Scripts, tools, the raycast, meshing and bots only ever see interior cells;
// the one-cell border is written by bulk operations alone.
constexpr bool is_interior(int x, int y, int z) {
  return x >= 1 && x <= kGridSize - 2 && y >= 1 && y <= kGridSize - 2 && z >= 1 &&
         z <= kGridSize - 2;
}
constexpr bool is_interior(Cell c) { return is_interior(c.x, c.y, c.z); }

// x varies fastest, then y, then z: also the order of every block byte array.
constexpr int cell_index(int x, int y, int z) {
  return x + kGridSize * y + kGridSize * kGridSize * z;
}
constexpr int cell_index(Cell c) { return cell_index(c.x, c.y, c.z); }

static_assert(kGridSize == 64, "cell_at_index decomposes with shifts");
constexpr Cell cell_at_index(int index) {
  return {index & (kGridSize - 1), (index >> 6) & (kGridSize - 1), index >> 12};
}

// Regions are the 16^3 boxes that are meshed as one.
constexpr int region_of(int x, int y, int z) {
  return x / kRegionSize + kRegionsPerAxis * (y / kRegionSize) +
         kRegionsPerAxis * kRegionsPerAxis * (z / kRegionSize);
}

constexpr bool is_region(int region) { return region >= 0 && region < kRegionCount; }

constexpr Cell region_origin(int region) {
  return {kRegionSize * (region % kRegionsPerAxis),
          kRegionSize * ((region / kRegionsPerAxis) % kRegionsPerAxis),
          kRegionSize * (region / (kRegionsPerAxis * kRegionsPerAxis))};
}

// The cell containing a point: floor, then a saturating conversion (NaN gives 0).
inline Cell cell_of_point(float x, float y, float z) {
  return {trunc_sat_i32(std::floor(x)), trunc_sat_i32(std::floor(y)),
          trunc_sat_i32(std::floor(z))};
}

struct World {
  std::vector<BlockId> blocks = std::vector<BlockId>(kCellCount, 0);
  std::array<std::uint8_t, kRegionCount> dirty_regions = filled_dirty_flags();
  std::uint64_t lava_count = 0;
  bool tessmark_virus = false;
  // Lava rules, fixed for the life of a world.
  bool lava_ignites_fuel = true;
  bool plug_converts_lava = true;
  bool lava_spreads_on_lava = false;

  BlockId at(int index) const { return blocks[static_cast<std::size_t>(index)]; }
  BlockId at(int x, int y, int z) const { return at(cell_index(x, y, z)); }

  // The cell-write rule; (x, y, z) must be inside the grid.
  void write_cell(int x, int y, int z, BlockId value);
  void mark_cell_and_neighbors_dirty(int x, int y, int z);

  bool set_block(int x, int y, int z, BlockId value);
  BlockId block_at(int x, int y, int z) const;
  bool load_blocks(std::span<const BlockId> data);
  void reset_empty(BlockId fill);
  std::vector<std::int32_t> take_dirty_regions();

 private:
  void mark_changed_cell(int index);

  static constexpr std::array<std::uint8_t, kRegionCount> filled_dirty_flags() {
    std::array<std::uint8_t, kRegionCount> flags{};
    flags.fill(1);
    return flags;
  }
};

}  // namespace tessmark
