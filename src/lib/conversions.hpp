#pragma once
// Conversions between script values and model values shared by every
// method: cells go out as integer-coordinate vectors, block ids come in as
// ints whose low 8 bits count, player amounts are never negative.

#include <cstdint>

#include "godot/values.hpp"
#include "world/grid.hpp"

namespace tessmark {

inline godot::Vector3 cell_to_vector(Cell cell) {
  return {static_cast<float>(cell.x), static_cast<float>(cell.y), static_cast<float>(cell.z)};
}

inline BlockId low_byte(std::int32_t value) {
  return static_cast<BlockId>(static_cast<std::uint32_t>(value) & 0xFFu);
}

inline std::uint32_t clamp_amount(std::int32_t amount) {
  return amount < 0 ? 0u : static_cast<std::uint32_t>(amount);
}

}  // namespace tessmark
