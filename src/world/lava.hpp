#pragma once
// The lava simulation: one step of lava flow over the whole grid.
//
// The step is defined as a visit of every cell with x outermost, then y, then
// z (all ascending). A cell acts when, at its visit, it holds lava that was
// not created earlier in the same step. Normal mode: lava ignites fuel beside
// and above it, is turned into a plug by a plug sitting on it, and then falls
// into air below or, resting on ground, spreads into air beside it. Virus
// mode (World::tessmark_virus): lava grows into air in all six directions.
// Only interior cells change, and every change goes through the cell-write
// rule, so the lava counter and the dirty regions stay right.

#include "world/grid.hpp"

namespace tessmark {

void do_lava_stuff(World& world);

}  // namespace tessmark
