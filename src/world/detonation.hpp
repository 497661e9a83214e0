#pragma once
// Explosives. A detonation clears a ball of cells around an Explosive, leaves
// blast-proof blocks standing and sets off every explosive inside the ball in
// turn, each with the same radius.

#include <cstdint>
#include <vector>

#include "world/grid.hpp"

namespace tessmark {

// Sets off the Explosive at (x, y, z) and returns every cell it cleared, in
// clearing order: each ball is scanned x-major, then y, then z, and a chained
// explosive's own clearings come in where the scan meets it. Cells change
// through the cell-write rule. A position that is not an interior Explosive
// gives an empty list; a negative radius acts as 0.
std::vector<Cell> detonate_at_cells(World& world, std::int32_t x, std::int32_t y, std::int32_t z,
                                    std::int32_t radius);

}  // namespace tessmark
