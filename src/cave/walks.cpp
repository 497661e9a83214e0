#include "cave/walks.hpp"

#include <algorithm>

namespace tessmark {

BallBrush::BallBrush(std::int32_t radius) {
  if (radius <= 0) return;
  const std::int64_t r = radius;
  for (std::int64_t dz = -r; dz <= r; ++dz) {
    for (std::int64_t dy = -r; dy <= r; ++dy) {
      const std::int64_t room = r * r - dy * dy - dz * dz;  // dx^2 must stay below this
      if (room <= 0) continue;
      std::int64_t half = 0;
      while ((half + 1) * (half + 1) < room) ++half;
      runs_.push_back({static_cast<std::int32_t>(dy), static_cast<std::int32_t>(dz),
                       static_cast<std::int32_t>(half)});
    }
  }
}

void BallBrush::paint(std::span<BlockId> grid, std::int64_t x, std::int64_t y, std::int64_t z,
                      std::size_t size, BlockId value) const {
  const auto n = static_cast<std::int64_t>(size);
  if (n == 0) return;
  const std::int64_t layers = std::min<std::int64_t>(n, static_cast<std::int64_t>(grid.size()) / (n * n));
  for (const Run& run : runs_) {
    const std::int64_t cy = y + run.dy, cz = z + run.dz;
    if (cy < 0 || cy >= n || cz < 0 || cz >= layers) continue;
    const std::int64_t x0 = std::max<std::int64_t>(x - run.half, 0);
    const std::int64_t x1 = std::min<std::int64_t>(x + run.half, n - 1);
    if (x0 > x1) continue;
    std::fill(grid.begin() + (x0 + n * cy + n * n * cz), grid.begin() + (x1 + 1 + n * cy + n * n * cz),
              value);
  }
}

void paint_at_point(std::span<BlockId> grid, std::int32_t x, std::int32_t y, std::int32_t z,
                    std::size_t size, std::int32_t radius, BlockId value) {
  BallBrush(radius).paint(grid, x, y, z, size, value);
}

void paint_with_random_walk(std::span<BlockId> grid, std::span<const float> field,
                            std::size_t size, std::int32_t radius, BlockId value,
                            bool clamp_at_border, CaveRng& rng) {
  paint_with_random_walk_over(
      grid,
      [field, size](std::size_t x, std::size_t y, std::size_t z) {
        return field[x + size * y + size * size * z];
      },
      size, radius, value, clamp_at_border, rng);
}

}  // namespace tessmark
