// The lava step as a script method.

#include "tessmark_world.hpp"
#include "world/lava.hpp"

namespace tessmark {

void TessmarkWorld::do_lava_stuff() { tessmark::do_lava_stuff(world); }

}  // namespace tessmark
