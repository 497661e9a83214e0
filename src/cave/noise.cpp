#include "cave/noise.hpp"

#include <algorithm>

namespace tessmark {

namespace {

struct Octave {
  std::size_t lattice_edge;
  float amplitude;
};

// Coarse to fine; each octave halves the amplitude of the one before.
constexpr Octave kOctaves[] = {{4, 0.5f}, {8, 0.25f}, {16, 0.125f}};

void add_octave(Field& total, std::size_t size, Octave octave, CaveRng& rng) {
  const std::size_t edge = octave.lattice_edge;
  std::vector<float> lattice(edge * edge * edge);
  for (float& v : lattice) v = rng.next_unit() * octave.amplitude;

  const std::size_t cell = size / edge;
  const float cf = static_cast<float>(cell);
  // Per-axis lattice columns and weights, shared by every cell on that axis.
  // Index 0/1 pick the lower and upper lattice column (wrapping at the edge).
  struct Axis {
    std::size_t lo, hi;
    float w_lo, w_hi;
  };
  std::vector<Axis> axis(size);
  for (std::size_t i = 0; i < size; ++i) {
    const std::size_t c0 = i / cell;
    const float f = static_cast<float>(i % cell) / cf;
    axis[i] = {c0, c0 + 1 == edge ? 0 : c0 + 1, 1.0f - f, f};
  }

  const std::size_t stride_y = edge;
  const std::size_t stride_z = edge * edge;
  std::size_t i = 0;
  for (std::size_t z = 0; z < size; ++z) {
    const Axis az = axis[z];
    for (std::size_t y = 0; y < size; ++y) {
      const Axis ay = axis[y];
      for (std::size_t x = 0; x < size; ++x, ++i) {
        const Axis ax = axis[x];
        auto corner = [&](std::size_t lx, std::size_t ly, std::size_t lz) {
          return lattice[lx + stride_y * ly + stride_z * lz];
        };
        float v = ((corner(ax.lo, ay.lo, az.lo) * ax.w_lo) * ay.w_lo) * az.w_lo;
        v = v + ((corner(ax.hi, ay.lo, az.lo) * ax.w_hi) * ay.w_lo) * az.w_lo;
        v = v + ((corner(ax.lo, ay.hi, az.lo) * ax.w_lo) * ay.w_hi) * az.w_lo;
        v = v + ((corner(ax.lo, ay.lo, az.hi) * ax.w_lo) * ay.w_lo) * az.w_hi;
        v = v + ((corner(ax.hi, ay.lo, az.hi) * ax.w_hi) * ay.w_lo) * az.w_hi;
        v = v + ((corner(ax.lo, ay.hi, az.hi) * ax.w_lo) * ay.w_hi) * az.w_hi;
        v = v + ((corner(ax.hi, ay.hi, az.lo) * ax.w_hi) * ay.w_hi) * az.w_lo;
        v = v + ((corner(ax.hi, ay.hi, az.hi) * ax.w_hi) * ay.w_hi) * az.w_hi;
        total[i] = std::min(1.0f, std::max(0.0f, total[i] + v));
      }
    }
  }
}

}  // namespace

Field generate_perlin_noise(std::size_t size, CaveRng& rng) {
  Field total(size * size * size, 0.0f);
  for (const Octave& octave : kOctaves) add_octave(total, size, octave, rng);
  return total;
}

Field generate_gradient(std::size_t size) {
  Field field(size * size * size);
  const float fsize = static_cast<float>(size);
  const std::size_t layer = size * size;
  for (std::size_t z = 0; z < size; ++z) {
    std::fill_n(field.begin() + static_cast<std::ptrdiff_t>(z * layer), layer,
                static_cast<float>(z) / fsize);
  }
  return field;
}

}  // namespace tessmark
