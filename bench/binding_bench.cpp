// The binding's cost per script call: block_at by pointer call through the
// stand-in engine, the way typed script code calls it.

#include <benchmark/benchmark.h>

#include <cstdint>

#include "engine/engine_host.hpp"

namespace {

using tessmark::host::EngineHost;

void BM_BlockAtPointerCall(benchmark::State& state) {
  EngineHost host;
  if (!host.load()) {
    state.SkipWithError("library did not load");
    return;
  }
  tessmark::host::Object* world = host.instantiate("TessmarkWorld");
  const auto& method = host.method("TessmarkWorld", "block_at");
  std::int64_t x = 5, y = 6, z = 7;
  const void* args[] = {&x, &y, &z};
  std::int64_t result = 0;
  for (auto _ : state) {
    method.ptrcall(method.userdata, world->instance, args, &result);
    benchmark::DoNotOptimize(result);
    x = (x % 62) + 1;
  }
  host.free_object(world);
}
BENCHMARK(BM_BlockAtPointerCall);

}  // namespace
