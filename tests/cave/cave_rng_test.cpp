#include "cave/cave_rng.hpp"

#include <gtest/gtest.h>

#include <array>
#include <limits>

#include "world/saturate.hpp"

namespace tessmark {
namespace {

std::array<std::int32_t, 3> first_samples(std::int32_t seed) {
  CaveRng rng(seed);
  return {rng.next_sample(), rng.next_sample(), rng.next_sample()};
}

TEST(CaveRng, FirstSamplesOfKnownSeeds) {
  struct Case {
    std::int32_t seed;
    std::array<std::int32_t, 3> samples;
  };
  const Case cases[] = {
      {0, {1559595546, 1755192844, 1649316166}},
      {1, {534011718, 237820880, 1002897798}},
      // The seed's complement goes negative and wraps by MBIG.
      {200000000, {1211330785, 720131416, 1854436260}},
  };
  for (const Case& c : cases) EXPECT_EQ(first_samples(c.seed), c.samples) << c.seed;
}

TEST(CaveRng, SeedsThatNameTheSameSequence) {
  EXPECT_EQ(first_samples(-1), first_samples(1));
  EXPECT_EQ(first_samples(-200000000), first_samples(200000000));
  for (std::int32_t seed : {2147483647, -2147483647, std::numeric_limits<std::int32_t>::min()}) {
    CaveRng a(seed), b(0);
    for (int i = 0; i < 200; ++i) ASSERT_EQ(a.next_sample(), b.next_sample()) << seed;
  }
}

TEST(CaveRng, SamplesStayInRangeForEdgeSeeds) {
  // 161803398 zeroes the seed's complement; the state must still be valid.
  for (std::int32_t seed : {161803398, -161803398, 0, 7, 2147483647}) {
    CaveRng rng(seed);
    for (int i = 0; i < 2000; ++i) {
      const std::int32_t v = rng.next_sample();
      ASSERT_GE(v, 0);
      ASSERT_LE(v, 2147483646);
    }
  }
}

TEST(CaveRng, UnitValueReachesOneAtTheTopSamples) {
  EXPECT_EQ(unit_of_sample(0), 0.0f);
  EXPECT_EQ(unit_of_sample(1 << 30), 0.5f);
  EXPECT_LT(unit_of_sample(2147483583), 1.0f);
  EXPECT_EQ(unit_of_sample(2147483584), 1.0f);
  EXPECT_EQ(unit_of_sample(2147483646), 1.0f);
}

// Seed 20844's 205th sample is one of the rare top samples.
TEST(CaveRng, TopSampleGivesTheUpperBoundOfARange) {
  CaveRng rng(20844);
  for (int i = 0; i < 204; ++i) rng.next_sample();
  CaveRng copy = rng;
  EXPECT_EQ(copy.next_unit(), 1.0f);
  EXPECT_EQ(rng.next_range(0, 64), 64);
  EXPECT_EQ(rng.next_sample(), copy.next_sample());
}

TEST(CaveRng, UnitAndRangeDrawOneSampleEach) {
  CaveRng a(42), b(42);
  EXPECT_EQ(a.next_unit(), unit_of_sample(b.next_sample()));
  const std::int32_t r = a.next_range(10, 20);
  const std::int32_t s = b.next_sample();
  EXPECT_EQ(r, 10 + static_cast<std::int32_t>(unit_of_sample(s) * 10.0f));
  a.next_depth(64);
  for (int i = 0; i < 4; ++i) b.next_sample();
  EXPECT_EQ(a.next_sample(), b.next_sample());
}

TEST(CaveRng, EmptyRangeReturnsLowWithoutDrawing) {
  CaveRng a(3), b(3);
  EXPECT_EQ(a.next_range(5, 5), 5);
  EXPECT_EQ(a.next_range(5, -9), 5);
  EXPECT_EQ(a.next_sample(), b.next_sample());
}

TEST(CaveRng, RangeOfExtremeBoundsStaysInsideThem) {
  CaveRng rng(11);
  const std::int32_t lo = std::numeric_limits<std::int32_t>::min();
  const std::int32_t hi = std::numeric_limits<std::int32_t>::max();
  for (int i = 0; i < 1000; ++i) {
    const std::int32_t v = rng.next_range(1, hi);
    ASSERT_GE(v, 1);
    const std::int32_t w = rng.next_range(lo, hi);
    ASSERT_GE(w, lo);
  }
}

TEST(CaveRng, DepthLiesInZeroToSize) {
  CaveRng rng(9);
  for (int i = 0; i < 1000; ++i) {
    const float d = rng.next_depth(64);
    ASSERT_GE(d, 0.0f);
    ASSERT_LE(d, 64.0f);
  }
}

TEST(CaveRng, ConversionsSaturateAtTheFloatBoundaries) {
  EXPECT_EQ(trunc_sat_i32(2147483520.0f), 2147483520);
  EXPECT_EQ(trunc_sat_i32(2147483648.0f), 2147483647);
  EXPECT_EQ(trunc_sat_i32(-2147483648.0f), std::numeric_limits<std::int32_t>::min());
  EXPECT_EQ(trunc_sat_i32(-2.9f), -2);
  EXPECT_EQ(trunc_sat_i32(std::numeric_limits<float>::quiet_NaN()), 0);
  EXPECT_EQ(trunc_sat_usize(1.8446742974197924e19f), 18446742974197923840ull);
  EXPECT_EQ(trunc_sat_usize(1.8446744073709552e19f), std::numeric_limits<std::size_t>::max());
  EXPECT_EQ(trunc_sat_usize(-0.5f), 0u);
  EXPECT_EQ(trunc_sat_usize(std::numeric_limits<float>::infinity()),
            std::numeric_limits<std::size_t>::max());
}

}  // namespace
}  // namespace tessmark
