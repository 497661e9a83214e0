#include "cave/walks.hpp"

namespace tessmark {

void paint_at_point(std::span<BlockId> grid, std::int32_t x, std::int32_t y, std::int32_t z,
                    std::size_t size, std::int32_t radius, BlockId value) {
  if (radius <= 0) return;
  const std::int64_t n = static_cast<std::int64_t>(size);
  const std::int64_t r = radius;
  for (std::int64_t dx = -r; dx <= r; ++dx) {
    for (std::int64_t dy = -r; dy <= r; ++dy) {
      for (std::int64_t dz = -r; dz <= r; ++dz) {
        const std::int64_t cx = x + dx, cy = y + dy, cz = z + dz;
        if (cx < 0 || cx >= n || cy < 0 || cy >= n || cz < 0 || cz >= n) continue;
        if (dx * dx + dy * dy + dz * dz >= r * r) continue;
        grid[static_cast<std::size_t>(cx + n * cy + n * n * cz)] = value;
      }
    }
  }
}

namespace {

struct Walker {
  std::int64_t x, y, z;
  std::size_t border_hits = 0;
};

// Applies the border rule after a move; false when the walk must end.
bool keep_inside(Walker& w, std::int64_t n, bool clamp_at_border) {
  const bool outside = w.x < 0 || w.y < 0 || w.x >= n || w.y >= n || w.z >= n;
  if (!outside) {
    if (w.z <= 0) w.z = 0;  // the top face is a floor, not an exit
    return true;
  }
  if (!clamp_at_border) return false;
  auto clamp = [n](std::int64_t v) { return v < 0 ? 0 : (v >= n ? n - 1 : v); };
  w.x = clamp(w.x);
  w.y = clamp(w.y);
  w.z = clamp(w.z);
  ++w.border_hits;
  return true;
}

}  // namespace

void paint_with_random_walk(std::span<BlockId> grid, std::span<const float> field,
                            std::size_t size, std::int32_t radius, BlockId value,
                            bool clamp_at_border, CaveRng& rng) {
  if (size == 0) return;
  const std::int64_t n = static_cast<std::int64_t>(size);
  const std::int32_t top = static_cast<std::int32_t>(size);
  Walker w{};
  w.x = rng.next_range(0, top);
  w.y = rng.next_range(0, top);
  w.z = rng.next_range(0, top);
  if (w.z < n / 50) w.z = 0;
  auto index = [n](const Walker& p) { return static_cast<std::size_t>(p.x + n * p.y + n * n * p.z); };
  // A start draw can return size itself; a start whose cell lies past the end
  // of the field has nothing to read, so that walk ends before it paints.
  if (index(w) >= field.size()) return;

  const std::int32_t brush = radius + 1;
  const std::size_t budget = 4 * size * size;
  for (std::size_t step = 0; step < budget; ++step) {
    const float ref = field[index(w)];
    paint_at_point(grid, static_cast<std::int32_t>(w.x), static_cast<std::int32_t>(w.y),
                   static_cast<std::int32_t>(w.z), size, brush, value);
    const std::int32_t dx = rng.next_range(-radius, radius + 1);
    const std::int32_t dy = rng.next_range(-radius, radius + 1);
    const std::int32_t dz = rng.next_range(-radius, radius + 1);
    w.x += dx;
    w.y += dy;
    w.z += dz;
    if (!keep_inside(w, n, clamp_at_border)) return;
    if (field[index(w)] > ref) {
      paint_at_point(grid, static_cast<std::int32_t>(w.x), static_cast<std::int32_t>(w.y),
                     static_cast<std::int32_t>(w.z), size, brush, value);
      w.x += dx;
      w.y += dy;
      w.z += dz;
      if (!keep_inside(w, n, clamp_at_border)) return;
    }
    if (clamp_at_border && w.border_hits >= size) return;
  }
}

}  // namespace tessmark
