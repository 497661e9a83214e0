#pragma once
// Seeded cave worlds. One CaveRng, drawn in a fixed order through every pass,
// makes the same arguments give the same world byte for byte.
//
// The generator builds its cube in its own frame, cell (x, y, d) with d the
// depth below the top; world cell (x, y, z) is generator cell (x, z, size-1-y).

#include <cstddef>
#include <cstdint>
#include <vector>

#include "world/grid.hpp"

namespace tessmark {

// The cube in the generator frame: dirt with ore, precious veins and gems, a
// cleared sky with surface relief, caves, tunnels, hard-rock blobs and, with
// include_lava, capped lava sources.
std::vector<BlockId> generate_cave_system(std::size_t size, bool include_lava,
                                          std::uint32_t ore_walks, std::int32_t seed);

// The same cube turned into world order (x + size*y + size*size*z, y up).
std::vector<BlockId> generate_world_blocks(std::size_t size, bool include_lava,
                                           std::uint32_t ore_walks, std::int32_t seed);

// Replaces the whole world with a generated one; ore_factor <= 0 means no ore
// walks. Always true.
bool generate_cave_map(World& world, bool include_lava, std::int32_t ore_factor,
                       std::int32_t seed);

}  // namespace tessmark
