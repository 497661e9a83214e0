#include "world/meshing.hpp"

#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <cstring>
#include <limits>
#include <memory>
#include <type_traits>

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
  std::size_t layer, row, column;
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
// Runs `f` with the direction as a compile-time constant.
template <class F>
void with_direction(FaceDirection d, F&& f) {
  using D = FaceDirection;
  switch (d) {
    case D::PosX: return f(std::integral_constant<D, D::PosX>{});
    case D::NegX: return f(std::integral_constant<D, D::NegX>{});
    case D::PosY: return f(std::integral_constant<D, D::PosY>{});
    case D::NegY: return f(std::integral_constant<D, D::NegY>{});
    case D::PosZ: return f(std::integral_constant<D, D::PosZ>{});
    case D::NegZ: return f(std::integral_constant<D, D::NegZ>{});
  }
}

constexpr bool faces_positive(FaceDirection d) { return (static_cast<int>(d) & 1) == 0; }

// Everything about a quad that follows from its texture and direction,
// looked up once per quad. Its texture coordinates are height * uv_h +
// width * uv_w, corner by corner (u then v); the products are exact.
struct QuadLook {
  MeshColor color;
  MeshColor shade;
  std::array<float, 8> uv_h, uv_w;
};
using LookTable = std::array<std::array<QuadLook, 256>, kFaceDirectionCount>;
constexpr LookTable make_looks() {
  LookTable t{};
  for (int d = 0; d < kFaceDirectionCount; ++d) {
    for (int tex = 0; tex < 256; ++tex) {
      const float s = shade_factor(tex, direction_at(d));
      QuadLook& look = t[static_cast<std::size_t>(d)][static_cast<std::size_t>(tex)];
      look.color = texture_color(tex);
      look.shade = {s, s, s, 1.0f};
      const UvCorners corners = uv_corners(tex, direction_at(d));
      for (std::size_t k = 0; k < 8; ++k) {
        const UvPick pick = corners[k / 2][k % 2];
        look.uv_h[k] = pick == kHeight ? 1.0f : 0.0f;
        look.uv_w[k] = pick == kWidth ? 1.0f : 0.0f;
      }
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

  template <FaceDirection kDirection>
  void put(unsigned layer, unsigned u, unsigned v, unsigned height, unsigned width,
           std::uint8_t texture) {
    constexpr std::size_t di = dir_index(kDirection);
    constexpr FaceAxes axes = axes_of(kDirection);
    constexpr auto corners = kCorners[di];
    const QuadLook& look = kLooks[di][texture];
    const float h = static_cast<float>(height);
    const float w = static_cast<float>(width);
    const float plane = static_cast<float>(faces_positive(kDirection) ? layer + 1 : layer);
    const float row[2] = {static_cast<float>(u), static_cast<float>(u + height)};
    const float column[2] = {static_cast<float>(v), static_cast<float>(v + width)};
    float uvs[8];
    for (std::size_t k = 0; k < 8; ++k) uvs[k] = h * look.uv_h[k] + w * look.uv_w[k];
    std::memcpy(uv, uvs, sizeof uvs);
    for (std::size_t k = 0; k < 4; ++k) {
      float p[3];
      p[axes.layer] = plane;
      p[axes.row] = row[corners[k].row];
      p[axes.column] = column[corners[k].column];
      vertex[k] = {p[0], p[1], p[2]};
      normal[k] = kNormals[di];
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
  // Face keys of one layer, [row][column], valid where the layer has a face,
  // and which faces match their neighbours (see merge_faces).
  std::array<std::array<std::uint16_t, kSpan>, kSpan> keys{};
  std::array<Word, kSpan> same_right{}, same_above{};
  // The box's cells plus the rows just below and above it, packed so that
  // reading across z does not hit the same cache sets over and over as the
  // world's 4096-byte stride does. Index: cell_at(x, y, z), box-relative.
  static constexpr std::array<int, 3> kCellStride{1, kSpan, kSpan * (kSpan + 2)};
  static constexpr std::size_t cell_at(int x, int y, int z) {
    return static_cast<std::size_t>(x + kCellStride[1] * (y + 1) + kCellStride[2] * z);
  }
  std::array<BlockId, kSpan * (kSpan + 2) * kSpan> cells{};
};

// Sets `bit` in the words of `count` cells in a row that are solid, lava or
// a gate (render) or that collide for the team (collision).
template <bool kRender, class Word>
void spread_line(const BlockId* cells, int count, Word bit, std::int32_t team, Word* solid,
                 Word* lava, Word* gate) {
  for (int i = 0; i < count; ++i) {
    const BlockId b = cells[i];
    if constexpr (kRender) {
      solid[i] = static_cast<Word>(solid[i] | (is_solid(b) ? bit : Word{0}));
      lava[i] = static_cast<Word>(lava[i] | (is_lava(b) ? bit : Word{0}));
      gate[i] = static_cast<Word>(gate[i] | (is_gate(b) ? bit : Word{0}));
    } else {
      (void)lava;
      (void)gate;
      solid[i] = static_cast<Word>(solid[i] | (collides_for_team(team, b) ? bit : Word{0}));
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
  const bool shell_low_x = interior_coord(x0 - 1);
  const bool shell_high_x = interior_coord(x0 + nx);
  const auto spread = [&](const BlockId* row, int bit_index, auto& planes, int line, bool shell) {
    const auto l = static_cast<std::size_t>(line);
    const auto bit = static_cast<Word>(Word{1} << bit_index);
    const auto put = [&](int from, int count) {
      const auto at = static_cast<std::size_t>(from + 1);
      spread_line<kRender>(row + from, count, bit, team, &planes.solid[l][at], &planes.lava[l][at],
                           &planes.gate[l][at]);
    };
    if (nx == kSpan) {
      put(0, kSpan);  // a whole row: a fixed count the compiler unrolls
    } else {
      put(0, nx);
    }
    if (shell && shell_low_x) put(-1, 1);
    if (shell && shell_high_x) put(nx, 1);
  };
  for (int z = -1; z <= nz; ++z) {
    if (!interior_coord(z0 + z)) continue;
    const bool z_inside = z >= 0 && z < nz;
    for (int y = -1; y <= ny; ++y) {
      if (!interior_coord(y0 + y)) continue;
      const bool y_inside = y >= 0 && y < ny;
      const BlockId* row = blocks.data() + cell_index(x0, y0 + y, z0 + z);
      if (z_inside) {
        // Lines along z also need the cells left and right of the box, for ±X faces.
        spread(row, z, scratch.along_z, y + 1, true);
        BlockId* copy = &scratch.cells[FaceScratch<Word, kSpan>::cell_at(0, y, z)];
        if (nx == kSpan) {
          std::memcpy(copy, row, kSpan);
        } else {
          std::memcpy(copy, row, static_cast<std::size_t>(nx));
        }
      }
      if (y_inside) spread(row, y, scratch.along_y, z + 1, false);
    }
  }
}

// Counts set bits without relying on a popcount instruction.
constexpr std::size_t bit_count(std::uint64_t v) {
  v = v - ((v >> 1) & 0x5555555555555555u);
  v = (v & 0x3333333333333333u) + ((v >> 2) & 0x3333333333333333u);
  v = (v + (v >> 4)) & 0x0F0F0F0F0F0F0F0Fu;
  return static_cast<std::size_t>((v * 0x0101010101010101u) >> 56);
}

// Fills the face lines of one direction, one per layer and row: the cells of
// the row that have a face toward their neighbour in the direction. Returns
// the number of faces.
template <bool kRender, FaceDirection kDirection, class Word, int kSpan>
std::size_t find_faces(FaceScratch<Word, kSpan>& scratch, const InteriorSpan& s) {
  constexpr FaceAxes axes = axes_of(kDirection);
  // For ±X the layer picks a word within a line set and the neighbour is the
  // next word; otherwise the layer picks the line set and the neighbour is the next set.
  constexpr bool across_x = axes.layer == 0;
  constexpr std::size_t step = faces_positive(kDirection) ? 1 : static_cast<std::size_t>(-1);
  const auto& planes = axes.layer == 2 ? scratch.along_y : scratch.along_z;
  const auto layers = static_cast<std::size_t>(s.extent[axes.layer]);
  const auto rows = static_cast<std::size_t>(s.extent[axes.row]);
  auto& faces = scratch.faces[dir_index(kDirection)];
  for (std::size_t l = 0; l < layers; ++l) {
    for (std::size_t i = 0; i < rows; ++i) {
      const std::size_t a = across_x ? i + 1 : l + 1, b = across_x ? l + 1 : i + 1;
      const std::size_t na = across_x ? a : a + step, nb = across_x ? b + step : b;
      if constexpr (kRender) {
        faces[l][i] = render_face_bits<Word>(planes.solid[a][b], planes.lava[a][b],
                                             planes.gate[a][b], planes.solid[na][nb],
                                             planes.lava[na][nb], planes.gate[na][nb]);
      } else {
        faces[l][i] = collision_face_bits<Word>(planes.solid[a][b], planes.solid[na][nb]);
      }
    }
  }
  // Lines outside the box stay zero, so the whole table can be counted.
  static_assert(sizeof faces % sizeof(std::uint64_t) == 0);
  std::size_t count = 0;
  for (std::size_t at = 0; at < sizeof faces; at += sizeof(std::uint64_t)) {
    std::uint64_t chunk;
    std::memcpy(&chunk, reinterpret_cast<const unsigned char*>(&faces) + at, sizeof chunk);
    count += bit_count(chunk);
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
void merge_faces(FaceScratch<Word, kSpan>& scratch, const InteriorSpan& s, FaceDirection d,
                 std::vector<FaceQuad>& out) {
  const FaceAxes axes = axes_of(d);
  const auto la = static_cast<std::size_t>(axes.layer);
  const auto ra = static_cast<std::size_t>(axes.row);
  const auto ca = static_cast<std::size_t>(axes.column);
  const int layers = s.extent[la];
  const int rows = s.extent[ra];
  using Scratch = FaceScratch<Word, kSpan>;
  const int row_stride = Scratch::kCellStride[ra];
  const int column_stride = Scratch::kCellStride[ca];
  const int u0 = s.origin[ra];
  const int v0 = s.origin[ca];
  const std::size_t di = dir_index(d);
  auto& keys = scratch.keys;
  auto& same_right = scratch.same_right;
  auto& same_above = scratch.same_above;
  for (int l = 0; l < layers; ++l) {
    auto& lines = scratch.faces[di][static_cast<std::size_t>(l)];
    const int layer = s.origin[la] + l;
    const BlockId* corner = scratch.cells.data() + Scratch::cell_at(0, 0, 0) + l * Scratch::kCellStride[la];
    // y of the cell at (row 0, column 0) of this layer, and its steps.
    const int y_corner = la == 1 ? layer : s.origin[1];
    const int y_per_row = ra == 1 ? 1 : 0;
    const int y_per_column = ca == 1 ? 1 : 0;
    constexpr int row_stride_y = Scratch::kCellStride[1];
    const auto key_at = [&](int i, int j) -> std::uint16_t {
      const BlockId* cell = corner + i * row_stride + j * column_stride;
      if constexpr (kRender) {
        // A plug is covered by a block on top; the top layer is never covered.
        const int y = y_corner + i * y_per_row + j * y_per_column;
        const bool covered = y < kGridSize - 2 && is_solid(cell[row_stride_y]);
        return static_cast<std::uint16_t>(*cell << 8 | kTextures[covered][di][*cell]);
      } else {
        return *cell;
      }
    };
    // Most layers hold few faces: visit only rows that have some.
    std::uint64_t occupied = 0;
    for (int i = 0; i < rows; ++i)
      occupied |= std::uint64_t{lines[static_cast<std::size_t>(i)] != 0} << i;
    if (occupied == 0) continue;
    // Read each face's key once and note, as bits, which faces match their
    // right-hand and upper neighbour; the merge then works on bits alone.
    // Bit c of same_right: faces c and c + 1 match. Bit c of same_above: face
    // c matches face c of the row before.
    for (std::uint64_t rest_rows = occupied; rest_rows != 0; rest_rows &= rest_rows - 1) {
      const int i = std::countr_zero(rest_rows);
      const auto ri = static_cast<std::size_t>(i);
      const Word above_line = i > 0 ? lines[ri - 1] : Word{0};
      auto& row_keys = keys[ri];
      Word right = 0, above = 0;
      int last = -2;
      std::uint16_t last_key = 0;
      for (Word rest = lines[ri]; rest != 0; rest = static_cast<Word>(rest & (rest - 1))) {
        const int j = std::countr_zero(rest);
        const std::uint16_t key = key_at(i, j);
        row_keys[static_cast<std::size_t>(j)] = key;
        right = static_cast<Word>(right | ((Word{j == last + 1 && key == last_key} << j) >> 1));
        above = static_cast<Word>(
            above | (Word{((above_line >> j) & 1) != 0 && keys[ri - 1][static_cast<std::size_t>(j)] == key} << j));
        last = j;
        last_key = key;
      }
      same_right[ri] = right;
      same_above[ri] = above;
    }
    for (std::uint64_t rest_rows = occupied; rest_rows != 0; rest_rows &= rest_rows - 1) {
      const int i = std::countr_zero(rest_rows);
      Word& row = lines[static_cast<std::size_t>(i)];
      while (row != 0) {
        const int j = std::countr_zero(row);
        const std::uint16_t key = keys[static_cast<std::size_t>(i)][static_cast<std::size_t>(j)];
        // Grow right over matching faces still in the row, then down over
        // rows whose faces under the run are all there and match.
        const auto chain = static_cast<Word>(same_right[static_cast<std::size_t>(i)] & (row >> 1));
        const int w = 1 + std::countr_one(static_cast<Word>(chain >> j));
        const auto run = static_cast<Word>(low_bits<Word>(w) << j);
        int h = 1;
        while (i + h < rows) {
          const auto below = static_cast<std::size_t>(i + h);
          if (static_cast<Word>(lines[below] & same_above[below] & run) != run) break;
          ++h;
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
  // The quads come in runs of one direction.
  for (std::size_t first = 0; first < quads.size();) {
    std::size_t end = first + 1;
    while (end < quads.size() && quads[end].direction == quads[first].direction) ++end;
    with_direction(quads[first].direction, [&](auto d) {
      // A private copy stays in registers: the index stores cannot touch it.
      QuadCursor at = cursor;
      for (const FaceQuad& q : quads.subspan(first, end - first))
        at.put<d.value>(q.layer, q.u, q.v, q.height, q.width, q.texture);
      cursor = at;
    });
    first = end;
  }
}

template <bool kRender, class Word, int kSpan>
void mesh_directions(std::span<const BlockId> blocks, const InteriorSpan& span, std::int32_t team,
                     std::span<const FaceDirection> directions, FaceScratch<Word, kSpan>& scratch,
                     DebugMeshData& mesh) {
  fill_planes<kRender>(blocks, span, team, scratch);
  std::size_t faces = 0;
  for (FaceDirection d : directions)
    with_direction(d, [&](auto known) { faces += find_faces<kRender, known.value>(scratch, span); });
  if (faces == 0) return;
  std::vector<FaceQuad> quads;
  quads.reserve(faces);
  for (FaceDirection d : directions) merge_faces<kRender>(scratch, span, d, quads);
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

void build_region_mesh(const World& world, std::int32_t region, FaceMode mode, DebugMeshData& mesh) {
  mesh.clear();
  InteriorSpan span{};
  if (!is_region(region) || !clip_to_interior(region_box(region), span)) return;
  RegionScratch scratch;
  mesh_directions(world.blocks, span, mode, kAllDirections, scratch, mesh);
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
      for (unsigned c = 0; c < width; ++c)
        with_direction(direction, [&](auto d) { cursor.put<d.value>(layer, u + r, v + c, 1, 1, texture); });
    return;
  }
  QuadCursor cursor = QuadCursor::append_to(mesh, 1);
  with_direction(direction, [&](auto d) { cursor.put<d.value>(layer, u, v, height, width, texture); });
}

DebugMeshData build_region_debug_mesh(const World& world, std::int32_t region) {
  DebugMeshData mesh;
  build_region_debug_mesh(world, region, mesh);
  return mesh;
}

DebugMeshData build_region_collision_mesh(const World& world, std::int32_t region,
                                          std::int32_t player_team) {
  DebugMeshData mesh;
  build_region_collision_mesh(world, region, player_team, mesh);
  return mesh;
}

void build_region_debug_mesh(const World& world, std::int32_t region, DebugMeshData& mesh) {
  build_region_mesh(world, region, FaceMode::render(), mesh);
}

void build_region_collision_mesh(const World& world, std::int32_t region, std::int32_t player_team,
                                 DebugMeshData& mesh) {
  build_region_mesh(world, region, FaceMode::collision(player_team), mesh);
}

}  // namespace tessmark
