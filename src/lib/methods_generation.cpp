// World generation for scripts: a seeded cave world replaces the whole grid.

#include "cave/generator.hpp"
#include "tessmark_world.hpp"

namespace tessmark {

bool TessmarkWorld::generate_cave_map(bool include_lava, std::int32_t ore_factor,
                                      std::int32_t seed) {
  return tessmark::generate_cave_map(world, include_lava, ore_factor, seed);
}

}  // namespace tessmark
