#include "cave/generator.hpp"

#include <algorithm>
#include <cmath>
#include <span>

#include "cave/cave_rng.hpp"
#include "cave/noise.hpp"
#include "cave/walks.hpp"
#include "world/catalogue.hpp"

namespace tessmark {

namespace {

struct Cube {
  std::size_t size;
  std::vector<BlockId> cells;

  std::size_t index(std::size_t x, std::size_t y, std::size_t d) const {
    return x + size * y + size * size * d;
  }
};

float clamp_unit(float v) { return std::min(1.0f, std::max(0.0f, v)); }

// Runs count walks in turn, each with a radius of radius or radius + 1 drawn
// just before the walk itself.
template <typename FieldAt>
void paint_walks(std::span<BlockId> grid, const FieldAt& field_at, std::size_t size,
                 std::int32_t count, std::int32_t radius, BlockId value, bool clamp_at_border,
                 CaveRng& rng) {
  for (std::int32_t walk = 0; walk < count; ++walk) {
    const std::int32_t r = rng.next_range(radius, radius + 1);
    paint_with_random_walk_over(grid, field_at, size, r, value, clamp_at_border, rng);
  }
}

// Thin PreciousLow veins: straight lines in a random direction that shed an
// extra cell to one side at every step.
void paint_precious_veins(Cube& cube, CaveRng& rng) {
  const std::size_t size = cube.size;
  const std::int32_t top = static_cast<std::int32_t>(size);
  const float fsize = static_cast<float>(size);
  auto inside = [fsize](float v) { return v >= 0.0f && v < fsize; };
  for (int vein = 0; vein < 16; ++vein) {
    const std::int32_t len = rng.next_range(top / 3, top);
    const std::int32_t sx = rng.next_range(0, top);
    const std::int32_t sy = rng.next_range(0, top);
    const float sd = rng.next_depth(size);
    const float a = rng.next_unit();
    const float b = rng.next_unit();
    const float c = rng.next_unit();
    const float vx = (a + a) - 1.0f, vy = (b + b) - 1.0f, vz = (c + c) - 1.0f;
    const float length = std::sqrt((vx * vx + vy * vy) + vz * vz);
    const float nx = vx / length, ny = vy / length, nz = vz / length;
    float px = static_cast<float>(sx), py = static_cast<float>(sy), pd = sd;
    for (std::int32_t step = 0; step < len; ++step) {
      px = px + nx;
      py = py + ny;
      pd = pd + nz;
      if (inside(px) && inside(py) && inside(pd)) {
        cube.cells[cube.index(trunc_sat_usize(px), trunc_sat_usize(py), trunc_sat_usize(pd))] =
            id(Block::PreciousLow);
      }
      const std::int32_t k = rng.next_range(0, 3);
      const std::size_t ex = k == 0, ey = k == 1, ed = k == 2;
      if (inside(px + static_cast<float>(ex)) && inside(py + static_cast<float>(ey)) &&
          inside(pd + static_cast<float>(ed))) {
        cube.cells[cube.index(trunc_sat_usize(px) + ex, trunc_sat_usize(py) + ey,
                              trunc_sat_usize(pd) + ed)] = id(Block::PreciousLow);
      }
    }
  }
}

// Single PreciousHigh gems, mostly deep.
void place_gems(Cube& cube, CaveRng& rng) {
  const std::size_t size = cube.size;
  const std::int32_t top = static_cast<std::int32_t>(size);
  for (int gem = 0; gem < 16; ++gem) {
    const auto x = static_cast<std::size_t>(rng.next_range(0, top));
    const auto y = static_cast<std::size_t>(rng.next_range(0, top));
    const std::size_t d = std::min(trunc_sat_usize(rng.next_depth(size)), size - 1);
    // A draw of exactly size runs into the next row or layer; past the last
    // layer there is no cell to take the gem.
    const std::size_t i = cube.index(x, y, d);
    if (i < cube.cells.size()) cube.cells[i] = id(Block::PreciousHigh);
  }
}

// The surface relief: walks paint a mask of standing ground, and the top nine
// layers are cleared to sky wherever the mask stayed empty. The walks follow
// noise flattened to 0 in the top three layers and ramping up to 1 by depth
// 16, blended mostly into the depth gradient.
void clear_sky(Cube& cube, CaveRng& rng) {
  const std::size_t size = cube.size;
  const std::int32_t top = static_cast<std::int32_t>(size);
  const PerlinNoise noise(size, rng);
  const std::size_t ramp_layers = std::min<std::size_t>(17, size);
  std::vector<float> gradient_part(size);
  std::vector<float> ramp(ramp_layers);
  for (std::size_t d = 0; d < size; ++d) {
    gradient_part[d] = gradient_at_depth(d, size) * 0.9f;
    if (d < ramp_layers) {
      const float flat = d < 3 ? 0.0f : std::min(static_cast<float>(d) * 0.0625f, 1.0f);
      ramp[d] = clamp_unit(flat * 0.1f + gradient_part[d]);
    }
  }
  auto surface_at = [&](std::size_t x, std::size_t y, std::size_t d) {
    return d < ramp_layers ? ramp[d] : clamp_unit(noise.at(x, y, d) * 0.1f + gradient_part[d]);
  };

  // Only the mask's sky layers are ever looked at, so only those are kept.
  const std::size_t sky_cells = std::min<std::size_t>(9, size) * size * size;
  std::vector<BlockId> mask(sky_cells, 0);
  const std::int32_t count = rng.next_range(top, 3 * top);
  paint_walks(mask, surface_at, size, count, 2, 1, false, rng);
  for (std::size_t i = 0; i < sky_cells; ++i) {
    if (mask[i] == 0) cube.cells[i] = id(Block::Air);
  }
}

// Caves wander downward along a noise field blended with depth by u0.
void carve_caves(Cube& cube, float u0, CaveRng& rng) {
  const std::size_t size = cube.size;
  const std::int32_t top = static_cast<std::int32_t>(size);
  const PerlinNoise noise(size, rng);
  const float keep = 1.0f - u0;
  std::vector<float> gradient_part(size);
  for (std::size_t d = 0; d < size; ++d) gradient_part[d] = gradient_at_depth(d, size) * u0;
  auto cave_at = [&](std::size_t x, std::size_t y, std::size_t d) {
    return clamp_unit(noise.at(x, y, d) * keep + gradient_part[d]);
  };
  const std::int32_t count = rng.next_range(top / 8, top / 2);
  paint_walks(cube.cells, cave_at, size, count, 1, id(Block::Air), false, rng);
}

// Tunnels drift down and away from the vertical centre line, sliding along
// the side faces instead of leaving.
void carve_tunnels(Cube& cube, CaveRng& rng) {
  const std::size_t size = cube.size;
  const std::int32_t top = static_cast<std::int32_t>(size);
  const float fsize = static_cast<float>(size);
  // Per column: the slope with depth, growing with distance from the centre line.
  std::vector<float> slope(size * size);
  const float c = 0.5f * fsize;
  for (std::size_t y = 0; y < size; ++y) {
    for (std::size_t x = 0; x < size; ++x) {
      const float ry = static_cast<float>(y) - c;
      const float rx = static_cast<float>(x) - c;
      slope[x + size * y] = (std::sqrt(ry * ry + rx * rx) / fsize) * 0.3f;
    }
  }
  auto tunnel_at = [&](std::size_t x, std::size_t y, std::size_t d) {
    return clamp_unit((static_cast<float>(d) * slope[x + size * y]) / fsize);
  };
  const std::int32_t count = rng.next_range(top / 8, top / 2);
  paint_walks(cube.cells, tunnel_at, size, count, 1, id(Block::Air), true, rng);
}

// Solid HardRock balls, mostly near the bottom.
void place_rock_blobs(Cube& cube, CaveRng& rng) {
  const std::size_t size = cube.size;
  const std::int32_t top = static_cast<std::int32_t>(size);
  // Four unit draws of at most 1.0 give radii 0 to 8.
  std::vector<BallBrush> brushes;
  for (std::int32_t r = 0; r <= 8; ++r) brushes.emplace_back(r);
  const std::int32_t count = rng.next_range(top, 2 * top);
  for (std::int32_t blob = 0; blob < count; ++blob) {
    const std::int32_t x = rng.next_range(0, top);
    const std::int32_t y = rng.next_range(0, top);
    const std::size_t dd = trunc_sat_usize(rng.next_depth(size));
    const float a = rng.next_unit();
    const float b = rng.next_unit();
    const float c = rng.next_unit();
    const float e = rng.next_unit();
    const std::size_t radius = trunc_sat_usize((((a + b) + c) + e) * 0.25f * 8.0f);
    brushes[radius].paint(cube.cells, x, y, static_cast<std::int64_t>(std::min(dd, size - 1)),
                          size, id(Block::HardRock));
  }
}

// Lava sources in former cave air, each under a HardRock cap, never in the
// two bottom layers.
void place_lava_sources(Cube& cube, CaveRng& rng) {
  const std::size_t size = cube.size;
  const std::int32_t top = static_cast<std::int32_t>(size);
  const std::size_t layer = size * size;
  std::int32_t count = rng.next_range(top / 16, top / 2);
  if (count <= 0) return;
  const std::size_t attempts = 4 * layer;
  for (std::size_t attempt = 0; attempt < attempts; ++attempt) {
    const auto x = static_cast<std::size_t>(rng.next_range(0, top));
    const auto y = static_cast<std::size_t>(rng.next_range(0, top));
    const std::size_t d = trunc_sat_usize(rng.next_depth(size));
    if (d + 1 >= size - 1) continue;
    const std::size_t i = cube.index(x, y, d);
    if (cube.cells[i] != id(Block::Air)) continue;
    cube.cells[i] = id(Block::HardRock);
    cube.cells[i + layer] = id(Block::Lava);
    if (--count == 0) return;
  }
}

}  // namespace

std::vector<BlockId> generate_cave_system(std::size_t size, bool include_lava,
                                          std::uint32_t ore_walks, std::int32_t seed) {
  CaveRng rng(seed);
  const float u0 = rng.next_unit();
  Cube cube{size, std::vector<BlockId>(size * size * size, id(Block::Dirt))};

  const PerlinNoise ore_noise(size, rng);
  auto ore_at = [&](std::size_t x, std::size_t y, std::size_t d) { return ore_noise.at(x, y, d); };
  for (std::uint32_t walk = 0; walk < ore_walks; ++walk) {
    paint_with_random_walk_over(cube.cells, ore_at, size, 1, id(Block::Ore), false, rng);
  }
  paint_precious_veins(cube, rng);
  place_gems(cube, rng);
  clear_sky(cube, rng);
  carve_caves(cube, u0, rng);
  carve_tunnels(cube, rng);
  place_rock_blobs(cube, rng);
  if (include_lava) place_lava_sources(cube, rng);
  return std::move(cube.cells);
}

std::vector<BlockId> generate_world_blocks(std::size_t size, bool include_lava,
                                           std::uint32_t ore_walks, std::int32_t seed) {
  std::vector<BlockId> cells = generate_cave_system(size, include_lava, ore_walks, seed);
  // World row (y, z) is generator row (z, size - 1 - y). Rows of x stay whole,
  // so the cube is reordered in place by moving rows along the cycles of that
  // row permutation, without a second cube.
  const std::size_t rows = size * size;
  auto source_of = [size](std::size_t world_row) {
    const std::size_t y = world_row % size, z = world_row / size;
    return z + size * (size - 1 - y);
  };
  auto row = [&](std::size_t r) { return cells.begin() + static_cast<std::ptrdiff_t>(r * size); };
  std::vector<bool> placed(rows, false);
  std::vector<BlockId> held(size);
  for (std::size_t start = 0; start < rows; ++start) {
    if (placed[start]) continue;
    std::copy_n(row(start), size, held.begin());
    std::size_t to = start;
    for (std::size_t from = source_of(to); from != start; to = from, from = source_of(to)) {
      std::copy_n(row(from), size, row(to));
      placed[to] = true;
    }
    std::copy(held.begin(), held.end(), row(to));
    placed[to] = true;
  }
  return cells;
}

bool generate_cave_map(World& world, bool include_lava, std::int32_t ore_factor,
                       std::int32_t seed) {
  const std::uint32_t ore_walks = ore_factor > 0 ? static_cast<std::uint32_t>(ore_factor) : 0;
  return world.load_blocks(generate_world_blocks(kGridSize, include_lava, ore_walks, seed));
}

}  // namespace tessmark
