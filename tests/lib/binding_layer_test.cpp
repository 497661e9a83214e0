// The binding layer on its own, bound straight to the stand-in engine: the
// value types, and a probe class whose methods use every parameter and
// result type the script API has, called by pointer and by variant.

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <thread>

#include "engine/engine_host.hpp"
#include "engine/interface_functions.hpp"
#include "godot/class_binding.hpp"
#include "godot/method_binding.hpp"
#include "godot/method_failure.hpp"

namespace tessmark {
namespace {

namespace abi = godot::abi;
using host::CallError;
using host::Value;
using host::Vec3;

struct Probe {
  static constexpr const char* kClassName = "BindingProbe";
  static constexpr const char* kParentClassName = "RefCounted";
  godot::AccessTracker access;
  std::int64_t next = 1;

  godot::Dictionary describe(godot::Vector3 origin, float distance, bool flag,
                             const godot::PackedVector3Array& points) const {
    godot::Dictionary d;
    d.set("origin", origin);
    d.set("distance", distance);
    d.set("flag", flag);
    d.set("count", static_cast<std::int64_t>(points.view().size()));
    if (!points.view().empty()) d.set("first", points.view()[0]);
    return d;
  }
  godot::DictionaryArray list(std::int32_t n) const {
    godot::DictionaryArray out;
    for (std::int32_t i = 0; i < n; ++i) {
      godot::Dictionary item;
      item.set("index", i);
      out.push_back(item);
    }
    return out;
  }
  godot::PackedVector3Array echo(const godot::PackedVector3Array& points) const {
    return godot::PackedVector3Array::from(points.view());
  }
  std::int64_t take_id() { return next++; }
  godot::Dictionary nest() const {
    godot::Dictionary inner;
    inner.set("team", std::uint32_t{2});
    godot::Dictionary d;
    d.set("inner", inner);
    d.set("list", list(2));
    d.set("bytes", godot::PackedByteArray::from(std::array<std::uint8_t, 3>{1, 2, 3}));
    d.set("name", "radar");
    d.set("small", std::int32_t{-7});
    d.set("empty", godot::Dictionary{});
    d.set("sizes_agree", godot::Dictionary{}.empty() && !inner.empty() && inner.size() == 1 &&
                             d.size() == 6);
    return d;
  }
  bool is_empty(const godot::PackedByteArray& bytes) const { return bytes.view().empty(); }
  void fail() { throw godot::MethodFailure("failed to spawn thread"); }
};

class BindingLayer : public ::testing::Test {
 protected:
  void SetUp() override {
    bodies_before_ = host::live_bodies();
    names_before_ = host::live_names();
    std::string missing;
    ASSERT_TRUE(godot::bind_engine(&host::get_proc_address, engine.library_token(), missing))
        << missing;
    godot::ClassBinding<Probe>::register_class();
    using godot::bind_method;
    bind_method<&Probe::describe>("describe", {"origin", "distance", "flag", "points"});
    bind_method<&Probe::list>("list", {"n"});
    bind_method<&Probe::echo>("echo", {"points"});
    bind_method<&Probe::take_id>("take_id", {});
    bind_method<&Probe::nest>("nest", {});
    bind_method<&Probe::is_empty>("is_empty", {"bytes"});
    bind_method<&Probe::fail>("fail", {});
    probe = engine.instantiate("BindingProbe");
  }
  void TearDown() override {
    engine.free_object(probe);
    godot::ClassBinding<Probe>::unregister_class();
    EXPECT_EQ(engine.faults, std::vector<std::string>{});
    EXPECT_EQ(host::live_bodies(), bodies_before_);
    EXPECT_EQ(host::live_names(), names_before_);
  }

  host::EngineHost engine;
  host::Object* probe = nullptr;

 private:
  long bodies_before_ = 0, names_before_ = 0;
};

TEST_F(BindingLayer, RecordsSignaturesFromTheMemberFunctions) {
  const host::MethodRecord& describe = engine.method("BindingProbe", "describe");
  EXPECT_EQ(describe.flags, 5u);
  ASSERT_EQ(describe.arguments.size(), 4u);
  EXPECT_EQ(describe.arguments[1].type, host::kFloat);
  EXPECT_EQ(describe.arguments[1].metadata, 9);  // 32-bit float
  EXPECT_EQ(describe.arguments[3].type, host::kPackedVector3Array);
  EXPECT_EQ(describe.result.type, host::kDictionary);

  const host::MethodRecord& list = engine.method("BindingProbe", "list");
  EXPECT_EQ(list.result.type, host::kArray);
  EXPECT_EQ(list.result.hint, 31u);  // array type
  EXPECT_EQ(list.result.hint_string, "Dictionary");
  EXPECT_EQ(list.arguments[0].metadata, 3);  // 32-bit int

  const host::MethodRecord& take_id = engine.method("BindingProbe", "take_id");
  EXPECT_EQ(take_id.flags, 1u);
  EXPECT_EQ(take_id.result.metadata, 4);  // 64-bit int
}

TEST_F(BindingLayer, DictionariesKeepKeyOrderAndValueTypes) {
  const std::array<Vec3, 2> points{Vec3{1, 2, 3}, Vec3{4, 5, 6}};
  const std::vector<Value> args{Value(Vec3{1.5f, 2, 3}), Value(0.1), Value(true),
                                Value::vector3s(points)};
  for (const Value& d : {engine.ptrcall(probe, "describe", args),
                         engine.call(probe, "describe", args)}) {
    EXPECT_EQ(d.keys(), (std::vector<std::string>{"origin", "distance", "flag", "count", "first"}));
    EXPECT_EQ(d.at("origin").as_vec3(), (Vec3{1.5f, 2, 3}));
    EXPECT_EQ(d.at("distance").as_float(), static_cast<double>(0.1f));  // narrowed, then widened
    EXPECT_TRUE(d.at("flag").as_bool());
    EXPECT_EQ(d.at("count").as_int(), 2);
    EXPECT_EQ(d.at("first").as_vec3(), (Vec3{1, 2, 3}));
  }
}

TEST_F(BindingLayer, DictionaryValuesOfEveryKind) {
  const Value d = engine.ptrcall(probe, "nest", {});
  EXPECT_EQ(d.keys(),
            (std::vector<std::string>{"inner", "list", "bytes", "name", "small", "empty",
                                      "sizes_agree"}));
  EXPECT_TRUE(d.at("sizes_agree").as_bool());
  EXPECT_EQ(d.at("inner").at("team").as_int(), 2);
  EXPECT_EQ(d.at("list").element_type(), host::kDictionary);
  EXPECT_EQ(d.at("list").size(), 2u);
  EXPECT_EQ(d.at("bytes").byte_values(), (std::vector<std::uint8_t>{1, 2, 3}));
  EXPECT_EQ(d.at("name").as_string(), "radar");
  EXPECT_EQ(d.at("small").as_int(), -7);
  EXPECT_EQ(d.at("empty").size(), 0u);
}

TEST_F(BindingLayer, TypedArraysOfDictionaries) {
  const Value list = engine.ptrcall(probe, "list", {3});
  EXPECT_EQ(list.element_type(), host::kDictionary);
  ASSERT_EQ(list.size(), 3u);
  EXPECT_EQ(list.item(2).at("index").as_int(), 2);
  EXPECT_EQ(engine.call(probe, "list", {0}).size(), 0u);
}

TEST_F(BindingLayer, PackedArraysRoundTripIncludingEmpty) {
  const std::array<Vec3, 3> points{Vec3{1, 2, 3}, Vec3{-1, 0, 9}, Vec3{7, 7, 7}};
  EXPECT_EQ(engine.ptrcall(probe, "echo", {Value::vector3s(points)}).vec3_values(),
            (std::vector<Vec3>(points.begin(), points.end())));
  EXPECT_EQ(engine.call(probe, "echo", {Value::vector3s({})}).size(), 0u);
  EXPECT_TRUE(engine.ptrcall(probe, "is_empty", {Value::bytes({})}).as_bool());
}

TEST_F(BindingLayer, IntArgumentsAcceptedWhereFloatsAreDeclared) {
  const Value d = engine.call(probe, "describe",
                              {Value(Vec3{}), Value(3), Value(false), Value::vector3s({})});
  EXPECT_EQ(d.at("distance").as_float(), 3.0);
}

TEST_F(BindingLayer, MethodFailureIsReportedAndTheObjectStaysUsable) {
  CallError error;
  engine.call(probe, "fail", {}, &error);
  EXPECT_NE(error.error, host::kCallOk);
  ASSERT_FALSE(engine.errors.empty());
  EXPECT_NE(engine.errors.back().find("failed to spawn thread"), std::string::npos);
  engine.ptrcall(probe, "fail", {});
  EXPECT_EQ(engine.errors.size(), 2u);
  // Access was released: both kinds of call still run.
  EXPECT_EQ(engine.ptrcall(probe, "take_id", {}).as_int(), 1);
  EXPECT_EQ(engine.call(probe, "list", {1}).size(), 1u);
}

TEST_F(BindingLayer, CallsFromAnotherThreadAreRefused) {
  CallError error;
  Value result;
  std::thread other([&] {
    result = engine.call(probe, "take_id", {}, &error);
    engine.ptrcall(probe, "take_id", {});
  });
  other.join();
  EXPECT_NE(error.error, host::kCallOk);
  EXPECT_TRUE(result.is_nil());
  EXPECT_EQ(engine.errors.size(), 2u);
  EXPECT_EQ(engine.ptrcall(probe, "take_id", {}).as_int(), 1);  // nothing ran
}

TEST(AccessTracker, SharedAccessStacksAndExclusiveAccessExcludes) {
  godot::AccessTracker tracker;
  {
    godot::ScopedAccess first(tracker, false);
    godot::ScopedAccess second(tracker, false);
    godot::ScopedAccess writer(tracker, true);
    EXPECT_TRUE(first.held());
    EXPECT_TRUE(second.held());
    EXPECT_FALSE(writer.held());
  }
  {
    godot::ScopedAccess writer(tracker, true);
    godot::ScopedAccess reader(tracker, false);
    godot::ScopedAccess second_writer(tracker, true);
    EXPECT_TRUE(writer.held());
    EXPECT_FALSE(reader.held());
    EXPECT_FALSE(second_writer.held());
  }
  EXPECT_TRUE(tracker.idle());
}

}  // namespace
}  // namespace tessmark
