#pragma once
// The voxel raycast the tools aim with: the first non-empty interior cell
// along a ray, and the empty cell the ray crossed just before it.

#include <optional>

#include "world/basis.hpp"
#include "world/grid.hpp"

namespace tessmark {

struct RaycastHit {
  Cell cell;                     // first interior cell whose block is not Air
  std::optional<Cell> previous;  // interior Air cell visited just before; shares a face with cell
};

// Amanatides-Woo grid walk in single precision. The origin's own cell is
// examined first; after that a cell is examined when the ray enters it at a
// distance not beyond max_distance. Border and outside cells are walked
// through unexamined. Degenerate input (direction shorter than 2^-23,
// max_distance not positive or NaN) gives nothing.
std::optional<RaycastHit> raycast(const World& world, Vec3 origin, Vec3 direction, float max_distance);

}  // namespace tessmark
