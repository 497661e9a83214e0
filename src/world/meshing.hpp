#pragma once
// Region meshes. The visible faces of a box of cells are found one direction
// and one layer at a time, merged greedily into rectangles and written as
// quads with positions, normals, texture coordinates, colours, shade colours,
// texture ids and triangle indices. Render meshes draw every face as its own
// unit quad; collision meshes for a team keep the merged rectangles whole and
// leave that team's gate open. Meshing only reads the grid.

#include <cstdint>
#include <memory>
#include <new>
#include <span>
#include <type_traits>
#include <utility>
#include <vector>

#include "world/catalogue.hpp"
#include "world/grid.hpp"

namespace tessmark {

// Same layouts as the engine's Vector3, Vector2 and Color. Left uninitialised
// by default, like the arrays they are written into.
struct MeshVec3 {
  float x, y, z;
  friend constexpr bool operator==(const MeshVec3&, const MeshVec3&) = default;
};
struct MeshVec2 {
  float x, y;
  friend constexpr bool operator==(const MeshVec2&, const MeshVec2&) = default;
};
struct MeshColor {
  float r, g, b, a;
  friend constexpr bool operator==(const MeshColor&, const MeshColor&) = default;
};

// Growing a mesh array leaves the new elements uninitialised: the mesher
// writes every one right away, and zero-filling them first would cost a
// second pass over the whole mesh.
template <class T>
struct UninitializedAllocator : std::allocator<T> {
  using value_type = T;
  template <class U>
  struct rebind {
    using other = UninitializedAllocator<U>;
  };
  UninitializedAllocator() = default;
  template <class U>
  constexpr UninitializedAllocator(const UninitializedAllocator<U>&) noexcept {}

  template <class U>
  void construct(U* p) noexcept(std::is_nothrow_default_constructible_v<U>) {
    ::new (static_cast<void*>(p)) U;
  }
  template <class U, class... Args>
  void construct(U* p, Args&&... args) {
    ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
  }
};
template <class T>
using MeshArray = std::vector<T, UninitializedAllocator<T>>;

// One mesh. Every quad adds four entries to each of the first six arrays
// (the last four all equal per quad) and six to `indices`.
struct DebugMeshData {
  MeshArray<MeshVec3> vertices;
  MeshArray<MeshVec3> normals;
  MeshArray<MeshVec2> uvs;
  MeshArray<MeshColor> colors;
  MeshArray<MeshColor> shade_colors;
  MeshArray<std::int32_t> texture_ids;
  MeshArray<std::int32_t> indices;

  bool empty() const { return vertices.empty(); }
  // Empties every array but keeps its memory for the next mesh.
  void clear() {
    vertices.clear();
    normals.clear();
    uvs.clear();
    colors.clear();
    shade_colors.clear();
    texture_ids.clear();
    indices.clear();
  }
  friend bool operator==(const DebugMeshData&, const DebugMeshData&) = default;
};

struct FaceMode {
  enum class Kind : std::uint8_t { Render, Collision };
  Kind kind = Kind::Render;
  std::int32_t player_team = 0;  // read in collision mode only

  static constexpr FaceMode render() { return {Kind::Render, 0}; }
  static constexpr FaceMode collision(std::int32_t team) { return {Kind::Collision, team}; }
  constexpr bool is_render() const { return kind == Kind::Render; }
};

// Half-open cell ranges x0..x1, y0..y1, z0..z1.
struct CellBox {
  int x0 = 0, y0 = 0, z0 = 0, x1 = 0, y1 = 0, z1 = 0;
};
CellBox region_box(int region);

// Appends the faces of one direction of the box: for each layer along the
// direction's axis, the faces are merged into rectangles, widest along the
// columns first, and written with append_debug_quad (split into unit quads in
// render mode). `blocks` is a whole grid in cell-index order.
void append_greedy_region_faces(std::span<const BlockId> blocks, DebugMeshData& mesh,
                                FaceDirection direction, const CellBox& box, FaceMode mode);

// Appends the quad covering `height` cells along the direction's row axis from
// `u` and `width` cells along its column axis from `v`, on the face side of
// cell layer `layer`; with `split`, one unit quad per covered cell instead.
void append_debug_quad(DebugMeshData& mesh, FaceDirection direction, unsigned layer, unsigned u,
                       unsigned v, unsigned height, unsigned width, BlockId block,
                       std::uint8_t texture, bool split);

// The two meshes of a region, all six directions in order. Region numbers
// outside 0..63 give an empty mesh.
DebugMeshData build_region_debug_mesh(const World& world, std::int32_t region);
DebugMeshData build_region_collision_mesh(const World& world, std::int32_t region,
                                          std::int32_t player_team);

// The same meshes written into `mesh`, which is cleared first. A caller that
// meshes region after region with one record reuses its arrays' memory
// instead of allocating and freeing a few hundred kilobytes each time.
void build_region_debug_mesh(const World& world, std::int32_t region, DebugMeshData& mesh);
void build_region_collision_mesh(const World& world, std::int32_t region, std::int32_t player_team,
                                 DebugMeshData& mesh);

}  // namespace tessmark
