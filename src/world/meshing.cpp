#include "world/meshing.hpp"

#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <limits>
#include <memory>

namespace tessmark {
namespace {

constexpr std::size_t dir_index(FaceDirection d) { return static_cast<std::size_t>(d); }
constexpr FaceDirection direction_at(int i) { return static_cast<FaceDirection>(i); }

// --- How a quad looks --------------------------------------------------------

constexpr MeshColor texture_color(int texture) {
  switch (texture) {
    case 1: return {0.45f, 0.34f, 0.24f, 1.0f};
    case 2: return {0.62f, 0.62f, 0.68f, 1.0f};
    case 3: return {0.95f, 0.70f, 0.18f, 1.0f};
    case 4: return {0.26f, 0.78f, 0.95f, 1.0f};
    case 5: return {0.29f, 0.30f, 0.34f, 1.0f};
    case 6:
    case 7: return {0.25f, 0.85f, 0.45f, 1.0f};
    case 8:
    case 9: return {0.58f, 0.36f, 0.16f, 1.0f};
    case 10: return {0.82f, 0.12f, 0.10f, 1.0f};
    case 11: return {0.72f, 0.72f, 0.80f, 1.0f};
    case 28: return {0.82f, 0.08f, 0.08f, 1.0f};
    case 29: return {0.08f, 0.20f, 0.82f, 1.0f};
    case 32: return {1.0f, 0.18f, 0.04f, 1.0f};
    case 33: return {0.10f, 0.10f, 0.11f, 1.0f};
    case 34: return {0.05f, 0.05f, 0.055f, 1.0f};
    case 35: return {0.23f, 0.21f, 0.18f, 1.0f};
    case 38:
    case 39: return {1.0f, 1.0f, 1.0f, 1.0f};
    default: return {0.32f, 0.34f, 0.38f, 1.0f};
  }
}

// Side faces darker than the top, the bottom darkest; lava glows on every
// side and the underside of texture 11 is lit up. Not clamped at 1.
constexpr float shade_factor(int texture, FaceDirection d) {
  if (texture == 32) return 1.2f;
  if (texture == 11 && d == FaceDirection::NegY) return 1.5f;
  switch (d) {
    case FaceDirection::PosX:
    case FaceDirection::NegX: return 0.6f;
    case FaceDirection::PosY: return 0.8f;
    case FaceDirection::NegY: return 0.2f;
    default: return 0.4f;
  }
}

// Texture coordinates run in cell units, so a texture repeats once per cell
// across a merged quad. Each corner picks 0, the height or the width.
enum UvPick : std::uint8_t { kZero, kHeight, kWidth };
using UvCorners = std::array<std::array<UvPick, 2>, 4>;

constexpr UvCorners uv_corners(int texture, FaceDirection d) {
  constexpr UvCorners upright{{{kZero, kHeight}, {kZero, kZero}, {kWidth, kZero}, {kWidth, kHeight}}};
  constexpr UvCorners ladder{{{kZero, kZero}, {kZero, kHeight}, {kWidth, kHeight}, {kWidth, kZero}}};
  constexpr UvCorners mirrored{{{kWidth, kHeight}, {kWidth, kZero}, {kZero, kZero}, {kZero, kHeight}}};
  constexpr UvCorners lava_top{{{kZero, kHeight}, {kWidth, kHeight}, {kWidth, kZero}, {kZero, kZero}}};
  constexpr UvCorners lava_z{{{kHeight, kWidth}, {kHeight, kZero}, {kZero, kZero}, {kZero, kWidth}}};
  constexpr UvCorners plain{{{kZero, kZero}, {kHeight, kZero}, {kHeight, kWidth}, {kZero, kWidth}}};
  if (texture == 6 || texture == 33) return upright;
  if (texture == 8) return ladder;
  if (texture >= 16 && texture <= 23) return mirrored;
  if (texture == 32) {
    switch (d) {
      case FaceDirection::PosX:
      case FaceDirection::NegX: return mirrored;
      case FaceDirection::PosY: return lava_top;
      case FaceDirection::NegY: return ladder;
      default: return lava_z;
    }
  }
  return plain;
}

// Corner k of a quad sits at (u + h * row, v + w * column) in the face plane.
struct CornerSteps {
  std::uint8_t row, column;
};
constexpr std::array<std::array<CornerSteps, 4>, kFaceDirectionCount> kCorners{{
    {{{0, 0}, {1, 0}, {1, 1}, {0, 1}}},
    {{{0, 1}, {1, 1}, {1, 0}, {0, 0}}},
    {{{0, 0}, {0, 1}, {1, 1}, {1, 0}}},
    {{{1, 1}, {0, 1}, {0, 0}, {1, 0}}},
    {{{1, 0}, {1, 1}, {0, 1}, {0, 0}}},
    {{{0, 0}, {0, 1}, {1, 1}, {1, 0}}},
}};

constexpr std::array<MeshVec3, kFaceDirectionCount> kNormals{{
    {1, 0, 0}, {-1, 0, 0}, {0, 1, 0}, {0, -1, 0}, {0, 0, 1}, {0, 0, -1}}};

// Axis numbers: 0 is x, 1 is y, 2 is z.
struct FaceAxes {
  int layer, row, column;
};
constexpr FaceAxes axes_of(FaceDirection d) {
  switch (d) {
    case FaceDirection::PosX:
    case FaceDirection::NegX: return {0, 1, 2};
    case FaceDirection::PosY:
    case FaceDirection::NegY: return {1, 0, 2};
    default: return {2, 0, 1};
  }
}
constexpr bool faces_positive(FaceDirection d) { return (static_cast<int>(d) & 1) == 0; }
constexpr std::array<int, 3> kAxisStride{1, kGridSize, kGridSize * kGridSize};

// Everything about a quad that follows from its texture and direction,
// looked up once per quad.
struct QuadLook {
  MeshColor color;
  MeshColor shade;
  UvCorners uv;
};
using LookTable = std::array<std::array<QuadLook, 256>, kFaceDirectionCount>;
constexpr LookTable make_looks() {
  LookTable t{};
  for (int d = 0; d < kFaceDirectionCount; ++d) {
    for (int tex = 0; tex < 256; ++tex) {
      const float s = shade_factor(tex, direction_at(d));
      t[static_cast<std::size_t>(d)][static_cast<std::size_t>(tex)] = {
          texture_color(tex), {s, s, s, 1.0f}, uv_corners(tex, direction_at(d))};
    }
  }
  return t;
}
constexpr LookTable kLooks = make_looks();

// face_texture_id for every block, direction and plug cover, as a table for the hot loops.
using TextureTable = std::array<std::array<std::array<std::uint8_t, 256>, kFaceDirectionCount>, 2>;
constexpr TextureTable make_textures() {
  TextureTable t{};
  for (int covered = 0; covered < 2; ++covered)
    for (int d = 0; d < kFaceDirectionCount; ++d)
      for (int b = 0; b < 256; ++b)
        t[static_cast<std::size_t>(covered)][static_cast<std::size_t>(d)]
         [static_cast<std::size_t>(b)] =
             face_texture_id(static_cast<BlockId>(b), direction_at(d), covered != 0);
  return t;
}
constexpr TextureTable kTextures = make_textures();

// Write position in the seven arrays of a mesh, sized beforehand.
struct QuadCursor {
  MeshVec3* vertex;
  MeshVec3* normal;
  MeshVec2* uv;
  MeshColor* color;
  MeshColor* shade;
  std::int32_t* texture_id;
  std::int32_t* index;
  std::int32_t base;

  // Grows every array by `quads` quads and points at the first new one.
  static QuadCursor append_to(DebugMeshData& mesh, std::size_t quads) {
    const std::size_t v = mesh.vertices.size();
    const auto grow = [](auto& array, std::size_t count) {
      const std::size_t at = array.size();
      array.resize(at + count);
      return array.data() + at;
    };
    return {grow(mesh.vertices, 4 * quads),     grow(mesh.normals, 4 * quads),
            grow(mesh.uvs, 4 * quads),          grow(mesh.colors, 4 * quads),
            grow(mesh.shade_colors, 4 * quads), grow(mesh.texture_ids, 4 * quads),
            grow(mesh.indices, 6 * quads),      static_cast<std::int32_t>(v)};
  }

  void put(FaceDirection d, unsigned layer, unsigned u, unsigned v, unsigned height,
           unsigned width, std::uint8_t texture) {
    const std::size_t di = dir_index(d);
    const FaceAxes axes = axes_of(d);
    const QuadLook& look = kLooks[di][texture];
    const float h = static_cast<float>(height);
    const float w = static_cast<float>(width);
    const float plane = static_cast<float>(faces_positive(d) ? layer + 1 : layer);
    const std::array<float, 3> uv_value{0.0f, h, w};
    for (std::size_t k = 0; k < 4; ++k) {
      const CornerSteps step = kCorners[di][k];
      std::array<float, 3> p{};
      p[static_cast<std::size_t>(axes.layer)] = plane;
      p[static_cast<std::size_t>(axes.row)] = static_cast<float>(step.row ? u + height : u);
      p[static_cast<std::size_t>(axes.column)] = static_cast<float>(step.column ? v + width : v);
      vertex[k] = {p[0], p[1], p[2]};
      normal[k] = kNormals[di];
      uv[k] = {uv_value[look.uv[k][0]], uv_value[look.uv[k][1]]};
      color[k] = look.color;
      shade[k] = look.shade;
      texture_id[k] = texture;
    }
    // Two triangles, clockwise seen from the side the normal points to.
    index[0] = base;
    index[1] = base + 2;
    index[2] = base + 1;
    index[3] = base;
    index[4] = base + 3;
    index[5] = base + 2;
    vertex += 4;
    normal += 4;
    uv += 4;
    color += 4;
    shade += 4;
    texture_id += 4;
    index += 6;
    base += 4;
  }
};

// --- Finding and merging faces -------------------------------------------------

// One merged rectangle, or one unit face of a render mesh.
struct FaceQuad {
  std::uint8_t layer, u, v, height, width, texture;
  FaceDirection direction;
};

// The part of a box that can hold faces: interior cells only.
struct InteriorSpan {
  std::array<int, 3> origin;  // x0, y0, z0
  std::array<int, 3> extent;  // cells along x, y, z; all positive
};

constexpr bool interior_coord(int c) { return c >= 1 && c <= kGridSize - 2; }

bool clip_to_interior(const CellBox& box, InteriorSpan& span) {
  const std::array<int, 3> lo{box.x0, box.y0, box.z0};
  const std::array<int, 3> hi{box.x1, box.y1, box.z1};
  for (std::size_t a = 0; a < 3; ++a) {
    const int first = std::max(lo[a], 1);
    const int end = std::min(hi[a], kGridSize - 1);
    if (first >= end) return false;
    span.origin[a] = first;
    span.extent[a] = end - first;
  }
  return true;
}

// Bit masks of the cells of a box, one word per line of cells, and the faces
// found from them. Each face test then covers a whole line at once. `Word` has
// a bit per cell along the line and `kSpan` cells is the longest box side.
template <class Word, int kSpan>
struct FaceScratch {
  static constexpr int kPadded = kSpan + 2;
  using Lines = std::array<std::array<Word, kPadded>, kPadded>;
  struct Planes {
    Lines solid{}, lava{}, gate{};  // `solid` means "collides" in collision mode
  };
  // Lines along z, indexed [y + 1][x + 1]; lines along y, indexed [z + 1][x + 1].
  // The extra line on each side holds the neighbours just outside the box.
  Planes along_z, along_y;
  // Face lines per direction, layer and row; bit j is column j.
  std::array<std::array<std::array<Word, kSpan>, kSpan>, kFaceDirectionCount> faces{};
};

template <bool kRender, class Word>
void spread_line(const BlockId* cells, int count, int bit, std::int32_t team, Word* solid,
                 Word* lava, Word* gate) {
  for (int i = 0; i < count; ++i) {
    const BlockId b = cells[i];
    if constexpr (kRender) {
      solid[i] = static_cast<Word>(solid[i] | (Word{is_solid(b)} << bit));
      lava[i] = static_cast<Word>(lava[i] | (Word{is_lava(b)} << bit));
      gate[i] = static_cast<Word>(gate[i] | (Word{is_gate(b)} << bit));
    } else {
      (void)lava;
      (void)gate;
      solid[i] = static_cast<Word>(solid[i] | (Word{collides_for_team(team, b)} << bit));
    }
  }
}

// Reads the box and its one-cell shell once. Cells outside the interior stay
// zero: they have no faces and count as air to their neighbours.
template <bool kRender, class Word, int kSpan>
void fill_planes(std::span<const BlockId> blocks, const InteriorSpan& s, std::int32_t team,
                 FaceScratch<Word, kSpan>& scratch) {
  const auto [x0, y0, z0] = s.origin;
  const auto [nx, ny, nz] = s.extent;
  // The x range with its shell, cut back to the interior.
  const int first_x = interior_coord(x0 - 1) ? -1 : 0;
  const int end_x = interior_coord(x0 + nx) ? nx + 1 : nx;
  const int count = end_x - first_x;
  const auto spread = [&](const BlockId* row, int bit, auto& planes, int line) {
    const auto l = static_cast<std::size_t>(line);
    const auto at = static_cast<std::size_t>(first_x + 1);
    spread_line<kRender>(row + first_x, count, bit, team, &planes.solid[l][at],
                         &planes.lava[l][at], &planes.gate[l][at]);
  };
  for (int z = -1; z <= nz; ++z) {
    if (!interior_coord(z0 + z)) continue;
    const bool z_inside = z >= 0 && z < nz;
    for (int y = -1; y <= ny; ++y) {
      if (!interior_coord(y0 + y)) continue;
      const bool y_inside = y >= 0 && y < ny;
      const BlockId* row = blocks.data() + cell_index(x0, y0 + y, z0 + z);
      if (z_inside) spread(row, z, scratch.along_z, y + 1);
      if (y_inside) spread(row, y, scratch.along_y, z + 1);
    }
  }
}

// The face line of one row of one layer: cells of the row that have a face
// toward their neighbour in the direction.
template <bool kRender, class Word, int kSpan>
Word face_line(const FaceScratch<Word, kSpan>& scratch, FaceDirection d, int layer, int row) {
  const bool along_z = d != FaceDirection::PosZ && d != FaceDirection::NegZ;
  const auto& planes = along_z ? scratch.along_z : scratch.along_y;
  const int step = faces_positive(d) ? 1 : -1;
  // For ±X the layer is the x index of a line; otherwise it picks the line set.
  std::size_t a = static_cast<std::size_t>(row + 1), b = static_cast<std::size_t>(layer + 1);
  std::size_t na = a, nb = b + static_cast<std::size_t>(step);
  if (d != FaceDirection::PosX && d != FaceDirection::NegX) {
    std::swap(a, b);
    na = a + static_cast<std::size_t>(step);
    nb = b;
  }
  if constexpr (kRender) {
    return render_face_bits<Word>(planes.solid[a][b], planes.lava[a][b], planes.gate[a][b],
                                  planes.solid[na][nb], planes.lava[na][nb], planes.gate[na][nb]);
  } else {
    return collision_face_bits<Word>(planes.solid[a][b], planes.solid[na][nb]);
  }
}

template <bool kRender, class Word, int kSpan>
std::size_t find_faces(FaceScratch<Word, kSpan>& scratch, const InteriorSpan& s, FaceDirection d) {
  const FaceAxes axes = axes_of(d);
  const int layers = s.extent[static_cast<std::size_t>(axes.layer)];
  const int rows = s.extent[static_cast<std::size_t>(axes.row)];
  std::size_t count = 0;
  auto& faces = scratch.faces[dir_index(d)];
  for (int l = 0; l < layers; ++l) {
    for (int i = 0; i < rows; ++i) {
      const Word line = face_line<kRender>(scratch, d, l, i);
      faces[static_cast<std::size_t>(l)][static_cast<std::size_t>(i)] = line;
      count += static_cast<std::size_t>(std::popcount(line));
    }
  }
  return count;
}

template <class Word>
constexpr Word low_bits(int n) {
  return n >= std::numeric_limits<Word>::digits ? static_cast<Word>(~Word{0})
                                                 : static_cast<Word>((Word{1} << n) - 1);
}

// The greedy pass over the face lines of one direction: rows in order, and
// within a row the lowest remaining face first; a rectangle grows along the
// row while the faces match, then over the following rows while all of its
// columns match. Faces match when block and texture are equal (render) or
// the block is (collision).
template <bool kRender, class Word, int kSpan>
void merge_faces(std::span<const BlockId> blocks, FaceScratch<Word, kSpan>& scratch,
                 const InteriorSpan& s, FaceDirection d, std::vector<FaceQuad>& out) {
  const FaceAxes axes = axes_of(d);
  const auto la = static_cast<std::size_t>(axes.layer);
  const auto ra = static_cast<std::size_t>(axes.row);
  const auto ca = static_cast<std::size_t>(axes.column);
  const int layers = s.extent[la];
  const int rows = s.extent[ra];
  const int row_stride = kAxisStride[ra];
  const int column_stride = kAxisStride[ca];
  const int u0 = s.origin[ra];
  const int v0 = s.origin[ca];
  const std::size_t di = dir_index(d);
  for (int l = 0; l < layers; ++l) {
    auto& lines = scratch.faces[di][static_cast<std::size_t>(l)];
    const int layer = s.origin[la] + l;
    const BlockId* corner = blocks.data() + layer * kAxisStride[la] + u0 * row_stride + v0 * column_stride;
    // y of the cell at (row 0, column 0) of this layer, and its steps.
    const int y_corner = la == 1 ? layer : s.origin[1];
    const int y_per_row = ra == 1 ? 1 : 0;
    const int y_per_column = ca == 1 ? 1 : 0;
    const auto key_at = [&](int i, int j) -> std::uint32_t {
      const BlockId* cell = corner + i * row_stride + j * column_stride;
      if constexpr (kRender) {
        // A plug is covered by a block on top; the top layer is never covered.
        const int y = y_corner + i * y_per_row + j * y_per_column;
        const bool covered = y < kGridSize - 2 && is_solid(cell[kGridSize]);
        return static_cast<std::uint32_t>(*cell) << 8 | kTextures[covered][di][*cell];
      } else {
        return *cell;
      }
    };
    for (int i = 0; i < rows; ++i) {
      Word& row = lines[static_cast<std::size_t>(i)];
      while (row != 0) {
        const int j = std::countr_zero(row);
        const std::uint32_t key = key_at(i, j);
        int w = 1;
        while (((row >> (j + w)) & 1) != 0 && key_at(i, j + w) == key) ++w;
        const auto run = static_cast<Word>(low_bits<Word>(w) << j);
        int h = 1;
        for (; i + h < rows; ++h) {
          const Word next = lines[static_cast<std::size_t>(i + h)];
          if (static_cast<Word>(next & run) != run) break;
          bool same = true;
          for (int c = j; c < j + w && same; ++c) same = key_at(i + h, c) == key;
          if (!same) break;
        }
        for (int k = 0; k < h; ++k) {
          Word& cleared = lines[static_cast<std::size_t>(i + k)];
          cleared = static_cast<Word>(cleared & ~run);
        }
        const auto at = [](int c) { return static_cast<std::uint8_t>(c); };
        if constexpr (kRender) {
          const auto texture = static_cast<std::uint8_t>(key & 0xFF);
          for (int r = 0; r < h; ++r)
            for (int c = 0; c < w; ++c)
              out.push_back({at(layer), at(u0 + i + r), at(v0 + j + c), 1, 1, texture, d});
        } else {
          out.push_back({at(layer), at(u0 + i), at(v0 + j), at(h), at(w), kTextures[0][di][key], d});
        }
      }
    }
  }
}

void write_quads(DebugMeshData& mesh, std::span<const FaceQuad> quads) {
  QuadCursor cursor = QuadCursor::append_to(mesh, quads.size());
  for (const FaceQuad& q : quads) cursor.put(q.direction, q.layer, q.u, q.v, q.height, q.width, q.texture);
}

template <bool kRender, class Word, int kSpan>
void mesh_directions(std::span<const BlockId> blocks, const InteriorSpan& span, std::int32_t team,
                     std::span<const FaceDirection> directions, FaceScratch<Word, kSpan>& scratch,
                     DebugMeshData& mesh) {
  fill_planes<kRender>(blocks, span, team, scratch);
  std::size_t faces = 0;
  for (FaceDirection d : directions) faces += find_faces<kRender>(scratch, span, d);
  if (faces == 0) return;
  std::vector<FaceQuad> quads;
  quads.reserve(faces);
  for (FaceDirection d : directions) merge_faces<kRender>(blocks, scratch, span, d, quads);
  write_quads(mesh, quads);
}

template <class Word, int kSpan>
void mesh_directions(std::span<const BlockId> blocks, const InteriorSpan& span, FaceMode mode,
                     std::span<const FaceDirection> directions, FaceScratch<Word, kSpan>& scratch,
                     DebugMeshData& mesh) {
  if (mode.is_render()) {
    mesh_directions<true>(blocks, span, 0, directions, scratch, mesh);
  } else {
    mesh_directions<false>(blocks, span, mode.player_team, directions, scratch, mesh);
  }
}

// Regions fit sixteen-bit lines; any other box up to the whole interior takes 64-bit ones.
using RegionScratch = FaceScratch<std::uint16_t, kRegionSize>;
using LargeScratch = FaceScratch<std::uint64_t, kGridSize - 2>;

constexpr std::array<FaceDirection, kFaceDirectionCount> kAllDirections{
    FaceDirection::PosX, FaceDirection::NegX, FaceDirection::PosY,
    FaceDirection::NegY, FaceDirection::PosZ, FaceDirection::NegZ};

DebugMeshData build_region_mesh(const World& world, std::int32_t region, FaceMode mode) {
  DebugMeshData mesh;
  InteriorSpan span{};
  if (!is_region(region) || !clip_to_interior(region_box(region), span)) return mesh;
  RegionScratch scratch;
  mesh_directions(world.blocks, span, mode, kAllDirections, scratch, mesh);
  return mesh;
}

}  // namespace

CellBox region_box(int region) {
  const Cell o = region_origin(region);
  return {o.x, o.y, o.z, o.x + kRegionSize, o.y + kRegionSize, o.z + kRegionSize};
}

void append_greedy_region_faces(std::span<const BlockId> blocks, DebugMeshData& mesh,
                                FaceDirection direction, const CellBox& box, FaceMode mode) {
  InteriorSpan span{};
  if (blocks.size() != static_cast<std::size_t>(kCellCount) || !clip_to_interior(box, span)) return;
  const std::array<FaceDirection, 1> one{direction};
  if (*std::max_element(span.extent.begin(), span.extent.end()) <= kRegionSize) {
    const auto scratch = std::make_unique<RegionScratch>();
    mesh_directions(blocks, span, mode, one, *scratch, mesh);
  } else {
    const auto scratch = std::make_unique<LargeScratch>();
    mesh_directions(blocks, span, mode, one, *scratch, mesh);
  }
}

void append_debug_quad(DebugMeshData& mesh, FaceDirection direction, unsigned layer, unsigned u,
                       unsigned v, unsigned height, unsigned width, BlockId /*block*/,
                       std::uint8_t texture, bool split) {
  if (split && (height >= 2 || width >= 2)) {
    QuadCursor cursor = QuadCursor::append_to(mesh, std::size_t{height} * width);
    for (unsigned r = 0; r < height; ++r)
      for (unsigned c = 0; c < width; ++c) cursor.put(direction, layer, u + r, v + c, 1, 1, texture);
    return;
  }
  QuadCursor::append_to(mesh, 1).put(direction, layer, u, v, height, width, texture);
}

DebugMeshData build_region_debug_mesh(const World& world, std::int32_t region) {
  return build_region_mesh(world, region, FaceMode::render());
}

DebugMeshData build_region_collision_mesh(const World& world, std::int32_t region,
                                          std::int32_t player_team) {
  return build_region_mesh(world, region, FaceMode::collision(player_team));
}

}  // namespace tessmark
