#pragma once
// Scalar fields over the generator's cube that steer the random walks:
// a three-octave value-noise field and a linear depth gradient.
// A field holds size^3 floats at index x + size*y + size*size*z.

#include <cstddef>
#include <vector>

#include "cave/cave_rng.hpp"

namespace tessmark {

using Field = std::vector<float>;

// Values in [0, 1]; size must be a positive multiple of 16. Draws 4 672 samples
// at any size (the lattices, 64 + 512 + 4 096 values, in that order).
Field generate_perlin_noise(std::size_t size, CaveRng& rng);

// z / size at every cell; draws nothing.
Field generate_gradient(std::size_t size);

}  // namespace tessmark
