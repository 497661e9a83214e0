#pragma once
// The lava step written the plain way: visit all 262 144 cells in the
// game's visiting order, keeping a mark for every cell that became lava
// during the step. Slow, and kept only to check the real step against.

#include "world/grid.hpp"

namespace tessmark::testing {

void do_lava_stuff_by_visiting_every_cell(World& world);

}  // namespace tessmark::testing
