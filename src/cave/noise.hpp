#pragma once
// Scalar fields over the generator's cube that steer the random walks:
// a three-octave value-noise field and a linear depth gradient.
// A field holds size^3 floats at index x + size*y + size*size*z.

#include <array>
#include <cstddef>
#include <vector>

#include "cave/cave_rng.hpp"

namespace tessmark {

using Field = std::vector<float>;

// Value noise: random values on periodic lattices of edge 4, 8 and 16 with
// amplitudes 0.5, 0.25 and 0.125, each interpolated linearly (no smoothing
// curve); the octaves are added and clamped to [0, 1] one after the other.
// Any cell can be read on its own, so a walk that visits a few thousand cells
// pays for those alone. size must be a positive multiple of 16.
class PerlinNoise {
 public:
  // Draws the three lattices, 64 + 512 + 4 096 samples, in that order.
  PerlinNoise(std::size_t size, CaveRng& rng);

  // The value at cell (x, y, z), each coordinate in 0..size-1.
  float at(std::size_t x, std::size_t y, std::size_t z) const;

 private:
  struct AxisStep {
    std::size_t lattice[2];  // lower and upper lattice column; the lattice wraps
    float weight[2];         // 1 - f and f
  };
  struct Octave {
    std::size_t edge;
    std::vector<float> lattice;
    std::vector<AxisStep> axis;  // per coordinate 0..size-1
  };

  float octave_at(const Octave& o, std::size_t x, std::size_t y, std::size_t z) const;

  std::array<Octave, 3> octaves_;
};

// The whole noise field at once; draws what PerlinNoise draws.
Field generate_perlin_noise(std::size_t size, CaveRng& rng);

// The gradient's value on layer z: z / size.
inline float gradient_at_depth(std::size_t z, std::size_t size) {
  return static_cast<float>(z) / static_cast<float>(size);
}

// z / size at every cell; draws nothing.
Field generate_gradient(std::size_t size);

}  // namespace tessmark
