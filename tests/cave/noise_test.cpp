#include "cave/noise.hpp"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>

namespace tessmark {
namespace {

TEST(Noise, KnownValuesForSeedSeven) {
  CaveRng rng(7);
  const Field f = generate_perlin_noise(16, rng);
  ASSERT_EQ(f.size(), 4096u);
  EXPECT_EQ(std::bit_cast<std::uint32_t>(f[0]), 0x3E66C93Eu);
  EXPECT_EQ(std::bit_cast<std::uint32_t>(f[1]), 0x3EB17021u);
  EXPECT_EQ(std::bit_cast<std::uint32_t>(f[4095]), 0x3EC77F08u);
  EXPECT_EQ(f[0], 0.22537705f);
  EXPECT_EQ(rng.next_sample(), 260066626);
}

TEST(Noise, DrawsTheSameNumberOfSamplesAtEverySize) {
  CaveRng a(5), b(5);
  generate_perlin_noise(64, a);
  for (int i = 0; i < 64 + 512 + 4096; ++i) b.next_sample();
  EXPECT_EQ(a.next_sample(), b.next_sample());
}

TEST(Noise, ValuesStayInsideTheUnitInterval) {
  CaveRng rng(123);
  for (float v : generate_perlin_noise(64, rng)) {
    ASSERT_GE(v, 0.0f);
    ASSERT_LE(v, 0.875f);
  }
}

TEST(Noise, GradientGrowsWithDepthOnly) {
  const Field g = generate_gradient(64);
  ASSERT_EQ(g.size(), 262144u);
  for (int i = 0; i < 4096; ++i) {
    ASSERT_EQ(g[static_cast<std::size_t>(i)], 0.0f);
    ASSERT_EQ(g[static_cast<std::size_t>(63 * 4096 + i)], 63.0f / 64.0f);
  }
  EXPECT_EQ(g[5 + 64 * 9 + 4096 * 32], 0.5f);
}

}  // namespace
}  // namespace tessmark
