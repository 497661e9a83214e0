#pragma once
// The meshing rules written out the plain way: one face mask per layer filled
// cell by cell, a greedy scan over it, and every quad written value by value.
// It shares no tables with the real mesher on purpose, so the two can only
// agree if both follow the rules; the tests compare them on whole worlds.

#include <cstdint>
#include <vector>

#include "world/meshing.hpp"

namespace tessmark::reference {

inline bool inside(int x, int y, int z) {
  return x >= 1 && x <= 62 && y >= 1 && y <= 62 && z >= 1 && z <= 62;
}

inline int block_at(const std::vector<BlockId>& blocks, int x, int y, int z) {
  return blocks[static_cast<std::size_t>(x + 64 * y + 4096 * z)];
}

inline int texture_of(int block, int dir, int side_of_plug) {
  static const int table[14][6] = {
      {8, 8, 9, 9, 8, 8},         // 6
      {10, 10, 10, 10, 10, 10},   // 7
      {6, 6, 7, 25, 6, 6},        // 8
      {26, 26, 25, 11, 27, 27},   // 9
      {16, 22, 14, 14, 18, 20},   // 10
      {17, 23, 15, 15, 19, 21},   // 11
      {26, 26, 36, 9, 27, 27},    // 12
      {26, 26, 37, 9, 27, 27},    // 13
      {-1, -1, 34, 35, -1, -1},   // 14
  };
  if (block >= 1 && block <= 5) return block;
  if (block >= 6 && block <= 14) {
    const int t = table[block - 6][dir];
    return t < 0 ? side_of_plug : t;
  }
  switch (block) {
    case 15: return 28;
    case 16: return 29;
    case 17: return 30;
    case 18: return 31;
    case 19: return 32;
    case 20: return 38;
    case 21: return 39;
    default: return 0;
  }
}

inline void append_debug_quad(DebugMeshData& mesh, int dir, unsigned layer, unsigned u, unsigned v,
                              unsigned height, unsigned width, int block, int texture, bool split) {
  if (split && (height >= 2 || width >= 2)) {
    for (unsigned r = 0; r < height; ++r)
      for (unsigned c = 0; c < width; ++c)
        append_debug_quad(mesh, dir, layer, u + r, v + c, 1, 1, block, texture, false);
    return;
  }
  const auto base = static_cast<std::int32_t>(mesh.vertices.size());
  const float L = static_cast<float>(layer), U = static_cast<float>(u), V = static_cast<float>(v);
  const float h = static_cast<float>(height), w = static_cast<float>(width);
  MeshVec3 p[4];
  MeshVec3 normal;
  switch (dir) {
    case 0:
      p[0] = {L + 1, U, V}; p[1] = {L + 1, U + h, V}; p[2] = {L + 1, U + h, V + w}; p[3] = {L + 1, U, V + w};
      normal = {1, 0, 0};
      break;
    case 1:
      p[0] = {L, U, V + w}; p[1] = {L, U + h, V + w}; p[2] = {L, U + h, V}; p[3] = {L, U, V};
      normal = {-1, 0, 0};
      break;
    case 2:
      p[0] = {U, L + 1, V}; p[1] = {U, L + 1, V + w}; p[2] = {U + h, L + 1, V + w}; p[3] = {U + h, L + 1, V};
      normal = {0, 1, 0};
      break;
    case 3:
      p[0] = {U + h, L, V + w}; p[1] = {U, L, V + w}; p[2] = {U, L, V}; p[3] = {U + h, L, V};
      normal = {0, -1, 0};
      break;
    case 4:
      p[0] = {U + h, V, L + 1}; p[1] = {U + h, V + w, L + 1}; p[2] = {U, V + w, L + 1}; p[3] = {U, V, L + 1};
      normal = {0, 0, 1};
      break;
    default:
      p[0] = {U, V, L}; p[1] = {U, V + w, L}; p[2] = {U + h, V + w, L}; p[3] = {U + h, V, L};
      normal = {0, 0, -1};
      break;
  }
  MeshVec2 uv[4];
  const int t = texture;
  if (t == 6 || t == 33) {
    uv[0] = {0, h}; uv[1] = {0, 0}; uv[2] = {w, 0}; uv[3] = {w, h};
  } else if (t == 8) {
    uv[0] = {0, 0}; uv[1] = {0, h}; uv[2] = {w, h}; uv[3] = {w, 0};
  } else if ((t >= 16 && t <= 23) || (t == 32 && (dir == 0 || dir == 1))) {
    uv[0] = {w, h}; uv[1] = {w, 0}; uv[2] = {0, 0}; uv[3] = {0, h};
  } else if (t == 32 && dir == 2) {
    uv[0] = {0, h}; uv[1] = {w, h}; uv[2] = {w, 0}; uv[3] = {0, 0};
  } else if (t == 32 && dir == 3) {
    uv[0] = {0, 0}; uv[1] = {0, h}; uv[2] = {w, h}; uv[3] = {w, 0};
  } else if (t == 32) {
    uv[0] = {h, w}; uv[1] = {h, 0}; uv[2] = {0, 0}; uv[3] = {0, w};
  } else {
    uv[0] = {0, 0}; uv[1] = {h, 0}; uv[2] = {h, w}; uv[3] = {0, w};
  }
  float r = 0.32f, g = 0.34f, b = 0.38f;
  switch (t) {
    case 1: r = 0.45f; g = 0.34f; b = 0.24f; break;
    case 2: r = 0.62f; g = 0.62f; b = 0.68f; break;
    case 3: r = 0.95f; g = 0.70f; b = 0.18f; break;
    case 4: r = 0.26f; g = 0.78f; b = 0.95f; break;
    case 5: r = 0.29f; g = 0.30f; b = 0.34f; break;
    case 6: case 7: r = 0.25f; g = 0.85f; b = 0.45f; break;
    case 8: case 9: r = 0.58f; g = 0.36f; b = 0.16f; break;
    case 10: r = 0.82f; g = 0.12f; b = 0.10f; break;
    case 11: r = 0.72f; g = 0.72f; b = 0.80f; break;
    case 28: r = 0.82f; g = 0.08f; b = 0.08f; break;
    case 29: r = 0.08f; g = 0.20f; b = 0.82f; break;
    case 32: r = 1.0f; g = 0.18f; b = 0.04f; break;
    case 33: r = 0.10f; g = 0.10f; b = 0.11f; break;
    case 34: r = 0.05f; g = 0.05f; b = 0.055f; break;
    case 35: r = 0.23f; g = 0.21f; b = 0.18f; break;
    case 38: case 39: r = 1.0f; g = 1.0f; b = 1.0f; break;
    default: break;
  }
  float s = dir <= 1 ? 0.6f : dir == 2 ? 0.8f : dir == 3 ? 0.2f : 0.4f;
  if (t == 32) s = 1.2f;
  if (t == 11 && dir == 3) s = 1.5f;
  for (int k = 0; k < 4; ++k) {
    mesh.vertices.push_back(p[k]);
    mesh.normals.push_back(normal);
    mesh.uvs.push_back(uv[k]);
    mesh.colors.push_back({r, g, b, 1.0f});
    mesh.shade_colors.push_back({s, s, s, 1.0f});
    mesh.texture_ids.push_back(t);
  }
  for (int k : {0, 2, 1, 0, 3, 2}) mesh.indices.push_back(base + k);
}

// Render mode when `render` is set (then `team` is not read), otherwise
// collision mode for `team`.
inline void append_greedy_region_faces(const std::vector<BlockId>& blocks, DebugMeshData& mesh,
                                       int dir, int x0, int y0, int z0, int x1, int y1, int z1,
                                       bool render, int team) {
  const int lo[3] = {x0, y0, z0};
  const int hi[3] = {x1, y1, z1};
  int layer_axis = 0, row_axis = 1, col_axis = 2;
  if (dir == 2 || dir == 3) { layer_axis = 1; row_axis = 0; col_axis = 2; }
  if (dir == 4 || dir == 5) { layer_axis = 2; row_axis = 0; col_axis = 1; }
  const int step[6][3] = {{1, 0, 0}, {-1, 0, 0}, {0, 1, 0}, {0, -1, 0}, {0, 0, 1}, {0, 0, -1}};
  const int rows = hi[row_axis] - lo[row_axis];
  const int cols = hi[col_axis] - lo[col_axis];
  std::vector<std::uint16_t> mask(static_cast<std::size_t>(rows * cols));
  const auto passable = [&](int b) { return (b == 20 && team == 1) || (b == 21 && team == 2); };
  for (int layer = lo[layer_axis]; layer < hi[layer_axis]; ++layer) {
    for (auto& m : mask) m = 0;
    for (int i = 0; i < rows; ++i) {
      for (int j = 0; j < cols; ++j) {
        int c[3];
        c[layer_axis] = layer;
        c[row_axis] = lo[row_axis] + i;
        c[col_axis] = lo[col_axis] + j;
        if (!inside(c[0], c[1], c[2])) continue;
        const int b = block_at(blocks, c[0], c[1], c[2]);
        if (b == 0) continue;
        const int nx = c[0] + step[dir][0], ny = c[1] + step[dir][1], nz = c[2] + step[dir][2];
        const bool outside = !inside(nx, ny, nz);
        const int n = outside ? 0 : block_at(blocks, nx, ny, nz);
        bool face;
        if (render) {
          if (outside || n == 0) face = true;
          else if (b == 20 || b == 21) face = false;
          else if (b == 19) face = n != 19;
          else face = n == 19 || n == 20 || n == 21;
        } else {
          face = !passable(b) && (outside || n == 0 || passable(n));
        }
        if (!face) continue;
        int key = b;
        if (render) {
          const bool open_top = c[1] > 61 || block_at(blocks, c[0], c[1] + 1, c[2]) == 0;
          key = b * 256 + texture_of(b, dir, open_top ? 33 : 35);
        }
        mask[static_cast<std::size_t>(i * cols + j)] = static_cast<std::uint16_t>(key);
      }
    }
    for (int i = 0; i < rows; ++i) {
      for (int j = 0; j < cols;) {
        const std::uint16_t key = mask[static_cast<std::size_t>(i * cols + j)];
        if (key == 0) {
          ++j;
          continue;
        }
        int w = 1;
        while (j + w < cols && mask[static_cast<std::size_t>(i * cols + j + w)] == key) ++w;
        int h = 1;
        for (; i + h < rows; ++h) {
          bool all = true;
          for (int k = 0; k < w; ++k)
            if (mask[static_cast<std::size_t>((i + h) * cols + j + k)] != key) all = false;
          if (!all) break;
        }
        for (int a = 0; a < h; ++a)
          for (int k = 0; k < w; ++k) mask[static_cast<std::size_t>((i + a) * cols + j + k)] = 0;
        const int block = render ? key / 256 : key;
        const int texture = render ? key % 256 : texture_of(key, dir, 33);
        append_debug_quad(mesh, dir, static_cast<unsigned>(layer),
                          static_cast<unsigned>(lo[row_axis] + i),
                          static_cast<unsigned>(lo[col_axis] + j), static_cast<unsigned>(h),
                          static_cast<unsigned>(w), block, texture, render);
        j += w;
      }
    }
  }
}

inline DebugMeshData region_mesh(const std::vector<BlockId>& blocks, int region, bool render,
                                 int team) {
  DebugMeshData mesh;
  if (region < 0 || region > 63) return mesh;
  const int x0 = (region % 4) * 16, y0 = ((region / 4) % 4) * 16, z0 = (region / 16) * 16;
  for (int dir = 0; dir < 6; ++dir)
    append_greedy_region_faces(blocks, mesh, dir, x0, y0, z0, x0 + 16, y0 + 16, z0 + 16, render,
                               team);
  return mesh;
}

}  // namespace tessmark::reference
