#pragma once
// A plain, line-by-line transcription of the cave generator, kept only as the
// oracle that the fast generator must match byte for byte. Slow on purpose:
// every field value and every brush cell is computed the obvious way.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "cave/cave_rng.hpp"
#include "world/grid.hpp"

namespace tessmark::reference {

std::vector<float> generate_perlin_noise(std::size_t size, CaveRng& rng);

void paint_with_random_walk(std::vector<BlockId>& grid, const std::vector<float>& field,
                            std::size_t size, std::int32_t radius, BlockId value,
                            bool clamp_at_border, CaveRng& rng);

std::vector<BlockId> generate_world_blocks(std::size_t size, bool include_lava,
                                           std::uint32_t ore_walks, std::int32_t seed);

}  // namespace tessmark::reference
