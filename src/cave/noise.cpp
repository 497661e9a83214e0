#include "cave/noise.hpp"

#include <algorithm>

namespace tessmark {

namespace {

// Coarse to fine; each octave halves the amplitude of the one before.
struct OctaveShape {
  std::size_t edge;
  float amplitude;
};
constexpr OctaveShape kOctaveShapes[] = {{4, 0.5f}, {8, 0.25f}, {16, 0.125f}};

}  // namespace

PerlinNoise::PerlinNoise(std::size_t size, CaveRng& rng) {
  for (std::size_t k = 0; k < octaves_.size(); ++k) {
    const auto [edge, amplitude] = kOctaveShapes[k];
    Octave& o = octaves_[k];
    o.edge = edge;
    o.lattice.resize(edge * edge * edge);
    for (float& v : o.lattice) v = rng.next_unit() * amplitude;
    // The interpolation steps are the same on every axis.
    const std::size_t cell = size / edge;
    const float cf = static_cast<float>(cell);
    o.axis.resize(size);
    for (std::size_t i = 0; i < size; ++i) {
      const std::size_t c0 = i / cell;
      const float f = static_cast<float>(i % cell) / cf;
      o.axis[i] = {{c0, c0 + 1 == edge ? 0 : c0 + 1}, {1.0f - f, f}};
    }
  }
}

float PerlinNoise::octave_at(const Octave& o, std::size_t x, std::size_t y, std::size_t z) const {
  const AxisStep& ax = o.axis[x];
  const AxisStep& ay = o.axis[y];
  const AxisStep& az = o.axis[z];
  const std::size_t edge = o.edge;
  // Corner (a, b, c): ((value * wx_a) * wy_b) * wz_c, rounded after each product.
  auto term = [&](int a, int b, int c) {
    const float v = o.lattice[ax.lattice[a] + edge * (ay.lattice[b] + edge * az.lattice[c])];
    return ((v * ax.weight[a]) * ay.weight[b]) * az.weight[c];
  };
  // Summed left to right in the corner order 000, 100, 010, 001, 101, 011, 110, 111.
  float sum = term(0, 0, 0);
  sum = sum + term(1, 0, 0);
  sum = sum + term(0, 1, 0);
  sum = sum + term(0, 0, 1);
  sum = sum + term(1, 0, 1);
  sum = sum + term(0, 1, 1);
  sum = sum + term(1, 1, 0);
  sum = sum + term(1, 1, 1);
  return sum;
}

float PerlinNoise::at(std::size_t x, std::size_t y, std::size_t z) const {
  float total = 0.0f;
  for (const Octave& o : octaves_) {
    total = std::min(1.0f, std::max(0.0f, total + octave_at(o, x, y, z)));
  }
  return total;
}

Field generate_perlin_noise(std::size_t size, CaveRng& rng) {
  const PerlinNoise noise(size, rng);
  Field field(size * size * size);
  std::size_t i = 0;
  for (std::size_t z = 0; z < size; ++z)
    for (std::size_t y = 0; y < size; ++y)
      for (std::size_t x = 0; x < size; ++x) field[i++] = noise.at(x, y, z);
  return field;
}

Field generate_gradient(std::size_t size) {
  Field field(size * size * size);
  const std::size_t layer = size * size;
  for (std::size_t z = 0; z < size; ++z) {
    std::fill_n(field.begin() + static_cast<std::ptrdiff_t>(z * layer), layer,
                gradient_at_depth(z, size));
  }
  return field;
}

}  // namespace tessmark
