// Calls the binding refuses: wrong argument counts, wrong types, ints that
// do not fit 32 bits, calls from a foreign thread. Each refusal prints one
// error naming the method, runs nothing and changes nothing.

#include <cstdint>
#include <limits>
#include <thread>

#include "host_fixture.hpp"

namespace tessmark::host {
namespace {

constexpr std::int64_t kTwoTo31 = std::int64_t{1} << 31;
constexpr std::int64_t kBelowInt32 = std::int64_t{std::numeric_limits<std::int32_t>::min()} - 1;

class Refusals : public HostTest {
 protected:
  void SetUp() override {
    HostTest::SetUp();
    host.ptrcall(world, "take_dirty_regions", {});
  }

  // The world is as SetUp left it: every cell Air, nothing dirty, no lava.
  void expect_unchanged() {
    EXPECT_EQ(host.ptrcall(world, "take_dirty_regions", {}).int32_values(),
              std::vector<std::int32_t>{});
    EXPECT_EQ(host.ptrcall(world, "lava_count", {}).as_int(), 0);
    EXPECT_EQ(host.ptrcall(world, "block_at", {5, 5, 5}).as_int(), 0);
  }

  void expect_one_error_naming(const std::string& method) {
    ASSERT_EQ(host.errors.size(), 1u);
    EXPECT_NE(host.errors[0].find("TessmarkWorld." + method), std::string::npos)
        << host.errors[0];
    host.errors.clear();
  }
};

struct VariantCase {
  const char* label;
  const char* method;
  std::vector<Value> args;
  CallError expected;
};

TEST_F(Refusals, VariantCallsWithBadArguments) {
  const Value grid = Value::bytes(std::vector<std::uint8_t>(64 * 64 * 64, 19));
  const std::vector<VariantCase> cases = {
      {"three of four", "set_block", {5, 5, 5}, {kCallTooFewArguments, 0, 4}},
      {"none of one", "reset_empty", {}, {kCallTooFewArguments, 0, 1}},
      {"five of four", "set_block", {5, 5, 5, 19, 1}, {kCallTooManyArguments, 0, 4}},
      {"one of none", "lava_count", {0}, {kCallTooManyArguments, 0, 0}},
      {"two of one", "load_blocks", {grid, grid}, {kCallTooManyArguments, 0, 1}},
      {"2^31", "set_block", {Value(kTwoTo31), 5, 5, 19}, {kCallInvalidArgument, 0, kInt}},
      {"below int32", "set_block", {5, 5, 5, Value(kBelowInt32)}, {kCallInvalidArgument, 3, kInt}},
      {"2^31 fill", "reset_empty", {Value(kTwoTo31)}, {kCallInvalidArgument, 0, kInt}},
      {"string for int", "set_block", {5, "5", 5, 19}, {kCallInvalidArgument, 1, kInt}},
      {"float for int", "set_block", {5, 5, Value(5.0), 19}, {kCallInvalidArgument, 2, kInt}},
      {"int for bytes", "load_blocks", {19}, {kCallInvalidArgument, 0, kPackedByteArray}},
      {"ints for bytes", "load_blocks", {Value::int32s({})}, {kCallInvalidArgument, 0, kPackedByteArray}},
      {"int for bool", "set_tessmark_virus", {1}, {kCallInvalidArgument, 0, kBool}},
      {"nil for int", "block_at", {Value(), 5, 5}, {kCallInvalidArgument, 0, kInt}},
  };
  for (const VariantCase& c : cases) {
    SCOPED_TRACE(c.label);
    CallError error;
    const Value result = host.call(world, c.method, c.args, &error);
    EXPECT_EQ(error.error, c.expected.error);
    EXPECT_EQ(error.expected, c.expected.expected);
    if (c.expected.error == kCallInvalidArgument) {
      EXPECT_EQ(error.argument, c.expected.argument);
    }
    EXPECT_TRUE(result.is_nil());
    expect_one_error_naming(c.method);
    expect_unchanged();
  }
}

TEST_F(Refusals, PointerCallsWithIntsOutsideInt32) {
  struct PointerCase {
    const char* method;
    std::vector<Value> args;
  };
  const std::vector<PointerCase> cases = {
      {"set_block", {Value(kTwoTo31), 5, 5, 19}},
      {"set_block", {5, 5, 5, Value(kBelowInt32)}},
      {"reset_empty", {Value(kTwoTo31)}},
      {"block_at", {5, Value(-kTwoTo31 - 1), 5}},
  };
  for (const PointerCase& c : cases) {
    SCOPED_TRACE(c.method);
    const Value result = host.ptrcall(world, c.method, c.args);
    if (!result.is_nil()) {
      EXPECT_EQ(result.as_int(), EngineHost::kUntouchedInt);  // no result was written
    }
    expect_one_error_naming(c.method);
    expect_unchanged();
  }
}

TEST_F(Refusals, Int32LimitsThemselvesAreAccepted) {
  const auto max = std::numeric_limits<std::int32_t>::max();
  const auto min = std::numeric_limits<std::int32_t>::min();
  EXPECT_FALSE(host.ptrcall(world, "set_block", {Value(std::int64_t{max}), 5, 5, 1}).as_bool());
  EXPECT_FALSE(host.call(world, "set_block", {5, Value(std::int64_t{min}), 5, 1}).as_bool());
  // -1 keeps its low byte, 255.
  EXPECT_TRUE(host.ptrcall(world, "set_block", {5, 5, 5, Value(std::int64_t{-1})}).as_bool());
  EXPECT_EQ(host.errors, std::vector<std::string>{});
}

TEST_F(Refusals, CallsFromAnotherThread) {
  CallError error;
  std::thread script_thread([&] {
    host.call(world, "set_block", {5, 5, 5, 19}, &error);
    host.ptrcall(world, "reset_empty", {19});
  });
  script_thread.join();
  EXPECT_NE(error.error, kCallOk);
  ASSERT_EQ(host.errors.size(), 2u);
  EXPECT_NE(host.errors[0].find("TessmarkWorld.set_block"), std::string::npos);
  EXPECT_NE(host.errors[1].find("TessmarkWorld.reset_empty"), std::string::npos);
  host.errors.clear();
  expect_unchanged();
}

}  // namespace
}  // namespace tessmark::host
