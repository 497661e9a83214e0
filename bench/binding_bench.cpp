// The binding's cost per script call: block_at through the stand-in engine,
// by pointer call (typed script code) and by variant call (untyped code).

#include <benchmark/benchmark.h>

#include <cstdint>

#include "engine/engine_host.hpp"

namespace {

using tessmark::host::EngineHost;
using tessmark::host::Object;

void BM_BlockAtPointerCall(benchmark::State& state) {
  EngineHost host;
  if (!host.load()) {
    state.SkipWithError("library did not load");
    return;
  }
  Object* world = host.instantiate("TessmarkWorld");
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

void BM_BlockAtVariantCall(benchmark::State& state) {
  EngineHost host;
  if (!host.load()) {
    state.SkipWithError("library did not load");
    return;
  }
  Object* world = host.instantiate("TessmarkWorld");
  const auto& method = host.method("TessmarkWorld", "block_at");
  tessmark::host::Variant x{}, y{}, z{}, result{};
  x.type = y.type = z.type = tessmark::host::kInt;
  x.data.integer = 5;
  y.data.integer = 6;
  z.data.integer = 7;
  const void* args[] = {&x, &y, &z};
  tessmark::host::CallError error;
  for (auto _ : state) {
    method.call(method.userdata, world->instance, args, 3, &result, &error);
    benchmark::DoNotOptimize(result);
    x.data.integer = (x.data.integer % 62) + 1;
  }
  host.free_object(world);
}
BENCHMARK(BM_BlockAtVariantCall);

}  // namespace
