#include "cave/reference_generator.hpp"

#include <algorithm>
#include <cmath>

#include "world/saturate.hpp"

namespace tessmark::reference {

namespace {

using Field = std::vector<float>;
using Grid = std::vector<BlockId>;

float clamp_unit(float v) { return std::min(1.0f, std::max(0.0f, v)); }

Field generate_gradient(std::size_t size) {
  Field g(size * size * size);
  for (std::size_t z = 0; z < size; ++z)
    for (std::size_t y = 0; y < size; ++y)
      for (std::size_t x = 0; x < size; ++x)
        g[x + size * y + size * size * z] = static_cast<float>(z) / static_cast<float>(size);
  return g;
}

void paint_at_point(Grid& grid, std::int64_t x, std::int64_t y, std::int64_t z,
                    std::size_t size, std::int64_t radius, BlockId value) {
  const auto n = static_cast<std::int64_t>(size);
  for (std::int64_t dx = -radius; dx <= radius; ++dx)
    for (std::int64_t dy = -radius; dy <= radius; ++dy)
      for (std::int64_t dz = -radius; dz <= radius; ++dz) {
        const std::int64_t cx = x + dx, cy = y + dy, cz = z + dz;
        if (cx >= 0 && cx < n && cy >= 0 && cy < n && cz >= 0 && cz < n &&
            dx * dx + dy * dy + dz * dz < radius * radius)
          grid[static_cast<std::size_t>(cx + n * cy + n * n * cz)] = value;
      }
}

}  // namespace

Field generate_perlin_noise(std::size_t size, CaveRng& rng) {
  Field total(size * size * size, 0.0f);
  for (std::size_t L : {4u, 8u, 16u}) {
    const float A = L == 4 ? 0.5f : 2.0f / static_cast<float>(L);
    Field lattice(L * L * L);
    for (std::size_t n = 0; n < lattice.size(); ++n) lattice[n] = rng.next_unit() * A;
    const std::size_t cell = size / L;
    const float cf = static_cast<float>(cell);
    Field octave(total.size());
    for (std::size_t z = 0; z < size; ++z)
      for (std::size_t y = 0; y < size; ++y)
        for (std::size_t x = 0; x < size; ++x) {
          const std::size_t x0 = x / cell, y0 = y / cell, z0 = z / cell;
          const float fx = static_cast<float>(x % cell) / cf;
          const float fy = static_cast<float>(y % cell) / cf;
          const float fz = static_cast<float>(z % cell) / cf;
          const std::size_t x1 = x0 + 1 == L ? 0 : x0 + 1;
          const std::size_t y1 = y0 + 1 == L ? 0 : y0 + 1;
          const std::size_t z1 = z0 + 1 == L ? 0 : z0 + 1;
          const std::size_t xs[2] = {x0, x1}, ys[2] = {y0, y1}, zs[2] = {z0, z1};
          const float wx[2] = {1.0f - fx, fx}, wy[2] = {1.0f - fy, fy}, wz[2] = {1.0f - fz, fz};
          auto term = [&](int a, int b, int c) {
            const float v = lattice[xs[a] + L * ys[b] + L * L * zs[c]];
            return ((v * wx[a]) * wy[b]) * wz[c];
          };
          float s = term(0, 0, 0);
          s = s + term(1, 0, 0);
          s = s + term(0, 1, 0);
          s = s + term(0, 0, 1);
          s = s + term(1, 0, 1);
          s = s + term(0, 1, 1);
          s = s + term(1, 1, 0);
          s = s + term(1, 1, 1);
          octave[x + size * y + size * size * z] = s;
        }
    for (std::size_t i = 0; i < total.size(); ++i)
      total[i] = std::min(1.0f, std::max(0.0f, total[i] + octave[i]));
  }
  return total;
}

void paint_with_random_walk(Grid& grid, const Field& field, std::size_t size,
                            std::int32_t radius, BlockId value, bool clamp_at_border,
                            CaveRng& rng) {
  if (size == 0) return;
  const auto n = static_cast<std::int64_t>(size);
  std::int64_t x = rng.next_range(0, static_cast<std::int32_t>(size));
  std::int64_t y = rng.next_range(0, static_cast<std::int32_t>(size));
  std::int64_t z = rng.next_range(0, static_cast<std::int32_t>(size));
  if (z < n / 50) z = 0;
  std::size_t border_hits = 0;
  auto at = [&] { return static_cast<std::size_t>(x + n * y + n * n * z); };
  if (at() >= field.size()) return;  // a start past the last layer ends the walk
  auto border_rule = [&] {
    if (x < 0 || y < 0 || x >= n || y >= n || z >= n) {
      if (!clamp_at_border) return false;
      x = std::clamp<std::int64_t>(x, 0, n - 1);
      y = std::clamp<std::int64_t>(y, 0, n - 1);
      z = std::clamp<std::int64_t>(z, 0, n - 1);
      ++border_hits;
    } else if (z <= 0) {
      z = 0;
    }
    return true;
  };
  for (std::size_t i = 0; i < 4 * size * size; ++i) {
    const float ref = field[at()];
    paint_at_point(grid, x, y, z, size, radius + 1, value);
    const std::int32_t dx = rng.next_range(-radius, radius + 1);
    const std::int32_t dy = rng.next_range(-radius, radius + 1);
    const std::int32_t dz = rng.next_range(-radius, radius + 1);
    x += dx, y += dy, z += dz;
    if (!border_rule()) return;
    if (field[at()] > ref) {
      paint_at_point(grid, x, y, z, size, radius + 1, value);
      x += dx, y += dy, z += dz;
      if (!border_rule()) return;
    }
    if (clamp_at_border && border_hits >= size) return;
  }
}

namespace {

Grid generate_cave_system(std::size_t size, bool include_lava, std::uint32_t ore_walks,
                          std::int32_t seed) {
  const auto top = static_cast<std::int32_t>(size);
  const float fsize = static_cast<float>(size);
  auto at = [size](std::size_t x, std::size_t y, std::size_t d) {
    return x + size * y + size * size * d;
  };
  CaveRng rng(seed);
  const float u0 = rng.next_unit();
  Grid grid(size * size * size, 1);

  const Field n1 = generate_perlin_noise(size, rng);
  for (std::uint32_t i = 0; i < ore_walks; ++i)
    paint_with_random_walk(grid, n1, size, 1, 2, false, rng);

  for (int vein = 0; vein < 16; ++vein) {
    const std::int32_t len = rng.next_range(top / 3, top);
    const std::int32_t sx = rng.next_range(0, top), sy = rng.next_range(0, top);
    const float sd = rng.next_depth(size);
    const float a = rng.next_unit(), b = rng.next_unit(), c = rng.next_unit();
    const float v[3] = {(a + a) - 1.0f, (b + b) - 1.0f, (c + c) - 1.0f};
    const float L = std::sqrt((v[0] * v[0] + v[1] * v[1]) + v[2] * v[2]);
    const float nv[3] = {v[0] / L, v[1] / L, v[2] / L};
    float p[3] = {static_cast<float>(sx), static_cast<float>(sy), sd};
    if (len <= 0) continue;
    for (std::int32_t s = 0; s < len; ++s) {
      for (int i = 0; i < 3; ++i) p[i] = p[i] + nv[i];
      bool in = true;
      for (int i = 0; i < 3; ++i) in = in && p[i] >= 0.0f && p[i] < fsize;
      if (in) grid[at(trunc_sat_usize(p[0]), trunc_sat_usize(p[1]), trunc_sat_usize(p[2]))] = 3;
      const std::int32_t k = rng.next_range(0, 3);
      const std::size_t e[3] = {k == 0 ? 1u : 0u, k == 1 ? 1u : 0u, k == 2 ? 1u : 0u};
      in = true;
      for (int i = 0; i < 3; ++i) {
        const float q = p[i] + static_cast<float>(e[i]);
        in = in && q >= 0.0f && q < fsize;
      }
      if (in)
        grid[at(trunc_sat_usize(p[0]) + e[0], trunc_sat_usize(p[1]) + e[1],
                trunc_sat_usize(p[2]) + e[2])] = 3;
    }
  }

  for (int gem = 0; gem < 16; ++gem) {
    const auto x = static_cast<std::size_t>(rng.next_range(0, top));
    const auto y = static_cast<std::size_t>(rng.next_range(0, top));
    const std::size_t d = std::min(trunc_sat_usize(rng.next_depth(size)), size - 1);
    if (at(x, y, d) < grid.size()) grid[at(x, y, d)] = 4;
  }

  Field n2 = generate_perlin_noise(size, rng);
  for (std::size_t x = 0; x < size; ++x)
    for (std::size_t y = 0; y < size; ++y)
      for (std::size_t d = 0; d <= 16; ++d)
        n2[at(x, y, d)] = d < 3 ? 0.0f : std::min(static_cast<float>(d) * 0.0625f, 1.0f);
  const Field g = generate_gradient(size);
  for (std::size_t i = 0; i < n2.size(); ++i) n2[i] = clamp_unit(n2[i] * 0.1f + g[i] * 0.9f);

  Grid mask(grid.size(), 0);
  const std::int32_t surface_walks = rng.next_range(top, 3 * top);
  for (std::int32_t i = 0; i < surface_walks; ++i) {
    const std::int32_t r = rng.next_range(2, 3);
    paint_with_random_walk(mask, n2, size, r, 1, false, rng);
  }
  for (std::size_t x = 0; x < size; ++x)
    for (std::size_t y = 0; y < size; ++y)
      for (std::size_t d = 0; d <= 8; ++d)
        if (mask[at(x, y, d)] == 0) grid[at(x, y, d)] = 0;

  Field n3 = generate_perlin_noise(size, rng);
  const Field g2 = generate_gradient(size);
  const float keep = 1.0f - u0;
  for (std::size_t i = 0; i < n3.size(); ++i) n3[i] = clamp_unit(n3[i] * keep + g2[i] * u0);
  const std::int32_t caves = rng.next_range(top / 8, top / 2);
  for (std::int32_t i = 0; i < caves; ++i) {
    const std::int32_t r = rng.next_range(1, 2);
    paint_with_random_walk(grid, n3, size, r, 0, false, rng);
  }

  Field f(grid.size());
  const float c = 0.5f * fsize;
  for (std::size_t x = 0; x < size; ++x)
    for (std::size_t y = 0; y < size; ++y) {
      const float fy = static_cast<float>(y), fx = static_cast<float>(x);
      const float w = (std::sqrt((fy - c) * (fy - c) + (fx - c) * (fx - c)) / fsize) * 0.3f;
      for (std::size_t d = 0; d < size; ++d)
        f[at(x, y, d)] = clamp_unit((static_cast<float>(d) * w) / fsize);
    }
  const std::int32_t tunnels = rng.next_range(top / 8, top / 2);
  for (std::int32_t i = 0; i < tunnels; ++i) {
    const std::int32_t r = rng.next_range(1, 2);
    paint_with_random_walk(grid, f, size, r, 0, true, rng);
  }

  const std::int32_t blobs = rng.next_range(top, 2 * top);
  for (std::int32_t i = 0; i < blobs; ++i) {
    const std::int32_t x = rng.next_range(0, top), y = rng.next_range(0, top);
    const std::size_t dd = trunc_sat_usize(rng.next_depth(size));
    const float a = rng.next_unit(), b = rng.next_unit(), cc = rng.next_unit(),
                e = rng.next_unit();
    const std::size_t radius = trunc_sat_usize((((a + b) + cc) + e) * 0.25f * 8.0f);
    paint_at_point(grid, x, y, static_cast<std::int64_t>(std::min(dd, size - 1)), size,
                   static_cast<std::int64_t>(radius), 5);
  }

  if (include_lava) {
    std::int32_t count = rng.next_range(top / 16, top / 2);
    for (std::size_t i = 0; count > 0 && i < 4 * size * size; ++i) {
      const auto x = static_cast<std::size_t>(rng.next_range(0, top));
      const auto y = static_cast<std::size_t>(rng.next_range(0, top));
      const std::size_t d = trunc_sat_usize(rng.next_depth(size));
      if (d + 1 < size - 1 && grid[at(x, y, d)] == 0) {
        grid[at(x, y, d)] = 5;
        grid[at(x, y, d) + size * size] = 19;
        --count;
      }
    }
  }
  return grid;
}

}  // namespace

Grid generate_world_blocks(std::size_t size, bool include_lava, std::uint32_t ore_walks,
                           std::int32_t seed) {
  const Grid cave = generate_cave_system(size, include_lava, ore_walks, seed);
  Grid world(cave.size());
  for (std::size_t z = 0; z < size; ++z)
    for (std::size_t y = 0; y < size; ++y)
      for (std::size_t x = 0; x < size; ++x)
        world[x + size * y + size * size * z] = cave[x + size * z + size * size * (size - 1 - y)];
  return world;
}

}  // namespace tessmark::reference
