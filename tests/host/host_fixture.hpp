#pragma once
// A loaded library with one TessmarkWorld, checked on the way out: no
// interface misuse, and every value, name and object the library created
// has been released.

#include <gtest/gtest.h>

#include "engine/engine_host.hpp"

namespace tessmark::host {

// The two ways the engine calls a method.
enum class CallPath { kPointer, kVariant };
inline constexpr CallPath kBothPaths[] = {CallPath::kPointer, CallPath::kVariant};
inline std::string call_path_name(const ::testing::TestParamInfo<CallPath>& param) {
  return param.param == CallPath::kPointer ? "PointerCall" : "VariantCall";
}

class HostTest : public ::testing::Test {
 protected:
  void SetUp() override {
    bodies_before_ = live_bodies();
    names_before_ = live_names();
    ASSERT_TRUE(host.load());
    world = host.instantiate("TessmarkWorld");
    ASSERT_NE(world, nullptr);
  }

  void TearDown() override {
    if (world != nullptr) host.free_object(world);
    host.unload();
    EXPECT_EQ(host.faults, std::vector<std::string>{});
    EXPECT_EQ(host.live_objects, 0);
    EXPECT_EQ(live_bodies(), bodies_before_) << "engine values leaked";
    EXPECT_EQ(live_names(), names_before_) << "StringNames leaked";
  }

  // Calls a method the given way; a variant call must succeed.
  Value invoke(CallPath path, const std::string& method, const std::vector<Value>& args) {
    if (path == CallPath::kPointer) return host.ptrcall(world, method, args);
    CallError error;
    Value result = host.call(world, method, args, &error);
    EXPECT_EQ(error.error, kCallOk) << method << " refused: " << last_error();
    return result;
  }

  std::string last_error() const { return host.errors.empty() ? "" : host.errors.back(); }

  EngineHost host;
  Object* world = nullptr;

 private:
  long bodies_before_ = 0;
  long names_before_ = 0;
};

}  // namespace tessmark::host
