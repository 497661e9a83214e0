#include "world/meshing.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "cave/generator.hpp"
#include "world/catalogue.hpp"
#include "world/meshing_reference.hpp"

namespace tessmark {
namespace {

using Placement = std::pair<Cell, Block>;

World world_with(std::initializer_list<Placement> cells) {
  World w;
  for (const auto& [c, b] : cells) w.set_block(c.x, c.y, c.z, id(b));
  return w;
}

// One quad of a mesh, read back from its arrays.
struct Quad {
  MeshVec3 v[4];
  MeshVec3 normal;
  MeshVec2 uv[4];
  MeshColor color;
  MeshColor shade;
  std::int32_t texture;
  std::int32_t index[6];
  FaceDirection direction() const {
    const float n = normal.x + normal.y + normal.z;
    const int axis = normal.x != 0 ? 0 : normal.y != 0 ? 1 : 2;
    return static_cast<FaceDirection>(2 * axis + (n < 0 ? 1 : 0));
  }
  // Extent along the row and column axes of the direction, from the uv-free corners.
  std::pair<float, float> size() const {
    float lo[3] = {v[0].x, v[0].y, v[0].z}, hi[3] = {v[0].x, v[0].y, v[0].z};
    for (const auto& p : v) {
      const float c[3] = {p.x, p.y, p.z};
      for (int a = 0; a < 3; ++a) {
        lo[a] = std::min(lo[a], c[a]);
        hi[a] = std::max(hi[a], c[a]);
      }
    }
    const int d = static_cast<int>(direction());
    const int row = d < 2 ? 1 : 0, column = d < 4 ? 2 : 1;
    return {hi[row] - lo[row], hi[column] - lo[column]};
  }
};

std::vector<Quad> quads_of(const DebugMeshData& m) {
  EXPECT_EQ(m.normals.size(), m.vertices.size());
  EXPECT_EQ(m.uvs.size(), m.vertices.size());
  EXPECT_EQ(m.colors.size(), m.vertices.size());
  EXPECT_EQ(m.shade_colors.size(), m.vertices.size());
  EXPECT_EQ(m.texture_ids.size(), m.vertices.size());
  EXPECT_EQ(m.indices.size() * 2, m.vertices.size() * 3);
  std::vector<Quad> quads(m.vertices.size() / 4);
  for (std::size_t q = 0; q < quads.size(); ++q) {
    Quad& out = quads[q];
    for (std::size_t k = 0; k < 4; ++k) {
      out.v[k] = m.vertices[4 * q + k];
      out.uv[k] = m.uvs[4 * q + k];
      EXPECT_EQ(m.normals[4 * q + k], m.normals[4 * q]);
      EXPECT_EQ(m.colors[4 * q + k], m.colors[4 * q]);
      EXPECT_EQ(m.shade_colors[4 * q + k], m.shade_colors[4 * q]);
      EXPECT_EQ(m.texture_ids[4 * q + k], m.texture_ids[4 * q]);
    }
    out.normal = m.normals[4 * q];
    out.color = m.colors[4 * q];
    out.shade = m.shade_colors[4 * q];
    out.texture = m.texture_ids[4 * q];
    for (std::size_t k = 0; k < 6; ++k) out.index[k] = m.indices[6 * q + k];
  }
  return quads;
}

std::vector<Quad> quads_facing(const DebugMeshData& m, FaceDirection d) {
  std::vector<Quad> all = quads_of(m), picked;
  for (const Quad& q : all)
    if (q.direction() == d) picked.push_back(q);
  return picked;
}

DebugMeshData render_mesh(const World& w, Cell c) {
  return build_region_debug_mesh(w, region_of(c.x, c.y, c.z));
}
DebugMeshData collision_mesh(const World& w, Cell c, std::int32_t team) {
  return build_region_collision_mesh(w, region_of(c.x, c.y, c.z), team);
}

// Reports the first quad where two meshes part, rather than a wall of floats.
void expect_same_mesh(const DebugMeshData& actual, const DebugMeshData& expected,
                      const std::string& what) {
  if (actual == expected) return;
  ADD_FAILURE() << what << ": " << actual.vertices.size() / 4 << " quads, expected "
                << expected.vertices.size() / 4;
  const std::size_t n = std::min(actual.vertices.size(), expected.vertices.size()) / 4;
  for (std::size_t q = 0; q < n; ++q) {
    bool same = actual.texture_ids[4 * q] == expected.texture_ids[4 * q];
    for (std::size_t k = 4 * q; k < 4 * q + 4; ++k) {
      same = same && actual.vertices[k] == expected.vertices[k] &&
             actual.normals[k] == expected.normals[k] && actual.uvs[k] == expected.uvs[k] &&
             actual.colors[k] == expected.colors[k] &&
             actual.shade_colors[k] == expected.shade_colors[k];
    }
    for (std::size_t k = 6 * q; k < 6 * q + 6; ++k)
      same = same && actual.indices[k] == expected.indices[k];
    if (!same) {
      const MeshVec3 a = actual.vertices[4 * q], e = expected.vertices[4 * q];
      ADD_FAILURE() << what << ": first difference at quad " << q << ", vertex 0 (" << a.x << ", "
                    << a.y << ", " << a.z << ") texture " << actual.texture_ids[4 * q]
                    << ", expected (" << e.x << ", " << e.y << ", " << e.z << ") texture "
                    << expected.texture_ids[4 * q];
      return;
    }
  }
}

TEST(Meshing, SingleOreCellHasSixFacesInBothModes) {
  const Cell c{20, 20, 20};
  const World w = world_with({{c, Block::Ore}});
  const DebugMeshData render = render_mesh(w, c);
  EXPECT_EQ(render.vertices.size(), 24u);
  EXPECT_EQ(render.indices.size(), 36u);
  EXPECT_EQ(render.texture_ids, MeshArray<std::int32_t>(24, 2));
  for (const DebugMeshData& m : {render, collision_mesh(w, c, 1)}) {
    const std::vector<Quad> quads = quads_of(m);
    ASSERT_EQ(quads.size(), 6u);
    for (int d = 0; d < 6; ++d) EXPECT_EQ(static_cast<int>(quads[static_cast<std::size_t>(d)].direction()), d);
    const Quad& px = quads[0];
    EXPECT_EQ(px.v[0], (MeshVec3{21, 20, 20}));
    EXPECT_EQ(px.v[1], (MeshVec3{21, 21, 20}));
    EXPECT_EQ(px.v[2], (MeshVec3{21, 21, 21}));
    EXPECT_EQ(px.v[3], (MeshVec3{21, 20, 21}));
    EXPECT_EQ(px.normal, (MeshVec3{1, 0, 0}));
    EXPECT_EQ(px.uv[0], (MeshVec2{0, 0}));
    EXPECT_EQ(px.uv[1], (MeshVec2{1, 0}));
    EXPECT_EQ(px.uv[2], (MeshVec2{1, 1}));
    EXPECT_EQ(px.uv[3], (MeshVec2{0, 1}));
    EXPECT_EQ(px.color, (MeshColor{0.62f, 0.62f, 0.68f, 1.0f}));
    EXPECT_EQ(px.shade, (MeshColor{0.6f, 0.6f, 0.6f, 1.0f}));
    EXPECT_EQ(px.texture, 2);
    EXPECT_EQ(std::vector<std::int32_t>(px.index, px.index + 6), (std::vector<std::int32_t>{0, 2, 1, 0, 3, 2}));
    EXPECT_EQ(quads[5].index[0], 20);
  }
}

TEST(Meshing, CollisionMergesWhatRenderSplits) {
  const World w = world_with({{{20, 20, 20}, Block::Ore}, {{21, 20, 20}, Block::Ore}});
  const std::vector<Quad> merged = quads_facing(collision_mesh(w, {20, 20, 20}, 1), FaceDirection::PosY);
  ASSERT_EQ(merged.size(), 1u);
  EXPECT_EQ(merged[0].size(), (std::pair<float, float>{2, 1}));
  EXPECT_EQ(merged[0].uv[0], (MeshVec2{0, 0}));
  EXPECT_EQ(merged[0].uv[1], (MeshVec2{2, 0}));
  EXPECT_EQ(merged[0].uv[2], (MeshVec2{2, 1}));
  EXPECT_EQ(merged[0].uv[3], (MeshVec2{0, 1}));
  const std::vector<Quad> split = quads_facing(render_mesh(w, {20, 20, 20}), FaceDirection::PosY);
  ASSERT_EQ(split.size(), 2u);
  EXPECT_EQ(split[0].v[0], (MeshVec3{20, 21, 20}));
  EXPECT_EQ(split[1].v[0], (MeshVec3{21, 21, 20}));
}

TEST(Meshing, GreedyMergeTakesWidthBeforeHeight) {
  // Top faces in rows x = 20 (z 20..22), x = 21 (z 20..21), x = 22 (z 20).
  const World w = world_with({{{20, 20, 20}, Block::Dirt}, {{20, 20, 21}, Block::Dirt},
                              {{20, 20, 22}, Block::Dirt}, {{21, 20, 20}, Block::Dirt},
                              {{21, 20, 21}, Block::Dirt}, {{22, 20, 20}, Block::Dirt}});
  const std::vector<Quad> top = quads_facing(collision_mesh(w, {20, 20, 20}, 0), FaceDirection::PosY);
  ASSERT_EQ(top.size(), 3u);
  EXPECT_EQ(top[0].size(), (std::pair<float, float>{1, 3}));
  EXPECT_EQ(top[1].size(), (std::pair<float, float>{1, 2}));
  EXPECT_EQ(top[2].size(), (std::pair<float, float>{1, 1}));
  EXPECT_EQ(top[1].v[0], (MeshVec3{21, 21, 20}));
  // Render splits the same rectangles back into unit quads, rectangle by rectangle.
  EXPECT_EQ(quads_facing(render_mesh(w, {20, 20, 20}), FaceDirection::PosY).size(), 6u);
}

// In an all-dirt world the only faces are those toward the border, which counts
// as outside whatever it holds; border cells themselves are never meshed.
TEST(Meshing, BorderIsOutsideAndNeverMeshed) {
  World w;
  w.reset_empty(id(Block::Dirt));
  struct Case {
    int region;
    std::vector<FaceDirection> toward_border;
    float plane;
  };
  const Case cases[] = {
      {0, {FaceDirection::NegX, FaceDirection::NegY, FaceDirection::NegZ}, 1},
      {63, {FaceDirection::PosX, FaceDirection::PosY, FaceDirection::PosZ}, 63},
  };
  for (const Case& c : cases) {
    for (const DebugMeshData& m : {build_region_debug_mesh(w, c.region), build_region_collision_mesh(w, c.region, 1)}) {
      const std::vector<Quad> all = quads_of(m);
      std::size_t faces = 0;
      for (FaceDirection d : c.toward_border) {
        const std::vector<Quad> some = quads_facing(m, d);
        for (const Quad& q : some) {
          const auto [h, wd] = q.size();
          faces += static_cast<std::size_t>(h * wd);
          for (const MeshVec3& p : q.v) {
            const float on_axis = d == FaceDirection::NegX || d == FaceDirection::PosX ? p.x
                                  : d == FaceDirection::NegY || d == FaceDirection::PosY ? p.y
                                                                                         : p.z;
            EXPECT_EQ(on_axis, c.plane) << c.region;
          }
        }
        // Render needs one quad per face, collision merges each side to one rectangle.
        EXPECT_TRUE(some.size() == 225u || some.size() == 1u) << c.region << " " << some.size();
      }
      EXPECT_EQ(faces, 3u * 225u) << c.region;
      std::size_t listed = 0;
      for (FaceDirection d : c.toward_border) listed += quads_facing(m, d).size();
      EXPECT_EQ(listed, all.size()) << c.region;
    }
  }
}

// Two cells side by side along x: does each show a face toward the other?
TEST(Meshing, FacesBetweenNeighbours) {
  struct Case {
    BlockId a, b;
    bool render;
    std::int32_t team;
    bool a_face, b_face;
  };
  const BlockId dirt = id(Block::Dirt), lava = id(Block::Lava), gate1 = id(Block::Team1Gate),
                gate2 = id(Block::Team2Gate);
  const Case cases[] = {
      {dirt, dirt, true, 0, false, false},
      {dirt, lava, true, 0, true, true},
      {lava, lava, true, 0, false, false},
      {gate1, lava, true, 0, false, true},
      {dirt, gate2, true, 0, true, false},
      {gate1, gate2, true, 0, false, false},
      {200, lava, true, 0, true, true},
      {dirt, lava, false, 1, false, false},
      {dirt, gate1, false, 1, true, false},
      {dirt, gate1, false, 2, false, false},
      {dirt, gate1, false, 0, false, false},
      {dirt, gate2, false, 2, true, false},
      {gate1, gate2, false, 1, false, true},
      {gate1, gate2, false, 7, false, false},
  };
  for (const Case& c : cases) {
    World w;
    w.set_block(20, 20, 20, c.a);
    w.set_block(21, 20, 20, c.b);
    const DebugMeshData m = c.render ? render_mesh(w, {20, 20, 20}) : collision_mesh(w, {20, 20, 20}, c.team);
    const auto on_plane = [&](FaceDirection d) {
      int n = 0;
      for (const Quad& q : quads_facing(m, d)) n += q.v[0].x == 21.0f;
      return n;
    };
    const std::string what = std::to_string(c.a) + "|" + std::to_string(c.b) + " team " + std::to_string(c.team);
    EXPECT_EQ(on_plane(FaceDirection::PosX), c.a_face ? 1 : 0) << what;
    EXPECT_EQ(on_plane(FaceDirection::NegX), c.b_face ? 1 : 0) << what;
  }
}

TEST(Meshing, OwnGateIsOpenInTheCollisionMesh) {
  const Cell c{30, 30, 30};
  const World w = world_with({{c, Block::Team1Gate}});
  EXPECT_TRUE(collision_mesh(w, c, 1).empty());
  EXPECT_EQ(quads_of(collision_mesh(w, c, 2)).size(), 6u);
  EXPECT_EQ(quads_of(collision_mesh(w, c, 0)).size(), 6u);
  EXPECT_EQ(quads_of(render_mesh(w, c)).size(), 6u);
}

TEST(Meshing, LavaPlugSidesShowWhetherSomethingRestsOnIt) {
  struct Case {
    Cell plug;
    Block above;
    int render_side, collision_side;
  };
  const Case cases[] = {
      {{20, 20, 20}, Block::Dirt, 35, 33},
      {{20, 20, 20}, Block::Air, 33, 33},
      {{20, 20, 20}, Block::Lava, 35, 33},
      {{20, 62, 20}, Block::Dirt, 33, 33},  // the cell above is border
  };
  for (const Case& c : cases) {
    World w;
    w.blocks[static_cast<std::size_t>(cell_index(c.plug))] = id(Block::LavaPlug);
    w.blocks[static_cast<std::size_t>(cell_index(c.plug.x, c.plug.y + 1, c.plug.z))] = id(c.above);
    for (const bool render : {true, false}) {
      const DebugMeshData m = render ? render_mesh(w, c.plug) : collision_mesh(w, c.plug, 1);
      int sides = 0;
      for (const FaceDirection d : {FaceDirection::PosX, FaceDirection::NegX, FaceDirection::PosZ, FaceDirection::NegZ}) {
        for (const Quad& q : quads_facing(m, d)) {
          if (std::min(q.v[0].y, q.v[2].y) != static_cast<float>(c.plug.y)) continue;  // the block above
          ++sides;
          EXPECT_EQ(q.texture, render ? c.render_side : c.collision_side) << c.plug.y << " " << render;
        }
      }
      EXPECT_EQ(sides, 4);
    }
  }
}

TEST(Meshing, LooksOfUnnamedIdsLavaAndFuelUnderside) {
  struct Case {
    BlockId block;
    FaceDirection d;
    int texture;
    MeshColor color;
    float shade;
  };
  const Case cases[] = {
      {200, FaceDirection::PosY, 0, {0.32f, 0.34f, 0.38f, 1}, 0.8f},
      {255, FaceDirection::NegY, 0, {0.32f, 0.34f, 0.38f, 1}, 0.2f},
      {id(Block::Lava), FaceDirection::PosX, 32, {1.0f, 0.18f, 0.04f, 1}, 1.2f},
      {id(Block::Lava), FaceDirection::NegY, 32, {1.0f, 0.18f, 0.04f, 1}, 1.2f},
      {id(Block::Lava), FaceDirection::NegZ, 32, {1.0f, 0.18f, 0.04f, 1}, 1.2f},
      {id(Block::Fuel), FaceDirection::NegY, 11, {0.72f, 0.72f, 0.80f, 1}, 1.5f},
      {id(Block::Fuel), FaceDirection::PosX, 26, {0.32f, 0.34f, 0.38f, 1}, 0.6f},
      {id(Block::Team2Gate), FaceDirection::PosZ, 39, {1, 1, 1, 1}, 0.4f},
  };
  for (const Case& c : cases) {
    World w;
    w.set_block(40, 40, 40, c.block);
    const std::vector<Quad> quads = quads_facing(render_mesh(w, {40, 40, 40}), c.d);
    ASSERT_EQ(quads.size(), 1u) << int{c.block};
    EXPECT_EQ(quads[0].texture, c.texture) << int{c.block};
    EXPECT_EQ(quads[0].color, c.color) << int{c.block};
    EXPECT_EQ(quads[0].shade, (MeshColor{c.shade, c.shade, c.shade, 1})) << int{c.block};
  }
}

TEST(Meshing, RegionsOutOfRangeAndEmptyWorldsGiveEmptyMeshes) {
  World w = world_with({{{20, 20, 20}, Block::Ore}});
  for (const std::int32_t region : {64, -1, 1000, INT32_MIN, INT32_MAX}) {
    EXPECT_TRUE(build_region_debug_mesh(w, region) == DebugMeshData{}) << region;
    EXPECT_TRUE(build_region_collision_mesh(w, region, 1) == DebugMeshData{}) << region;
  }
  w.reset_empty(0);
  for (int r = 0; r < kRegionCount; ++r) {
    EXPECT_TRUE(build_region_debug_mesh(w, r).empty()) << r;
    EXPECT_TRUE(build_region_collision_mesh(w, r, 2).empty()) << r;
  }
}

// Meshing region after region into one record gives each region's own mesh.
TEST(Meshing, ReusedRecordHoldsOnlyTheLatestRegion) {
  const World w = world_with({{{20, 20, 20}, Block::Ore}, {{40, 40, 40}, Block::Team1Gate}});
  DebugMeshData mesh;
  for (const std::int32_t region : {region_of(20, 20, 20), region_of(40, 40, 40), 64, region_of(20, 20, 20)}) {
    build_region_debug_mesh(w, region, mesh);
    EXPECT_TRUE(mesh == build_region_debug_mesh(w, region)) << region;
    build_region_collision_mesh(w, region, 1, mesh);
    EXPECT_TRUE(mesh == build_region_collision_mesh(w, region, 1)) << region;
  }
}

TEST(Meshing, AppendDebugQuadSplitsIntoUnitQuadsRowByRow) {
  DebugMeshData split, whole;
  append_debug_quad(split, FaceDirection::PosZ, 9, 3, 5, 2, 3, id(Block::Dirt), 1, true);
  append_debug_quad(whole, FaceDirection::PosZ, 9, 3, 5, 2, 3, id(Block::Dirt), 1, false);
  const std::vector<Quad> units = quads_of(split);
  ASSERT_EQ(units.size(), 6u);
  // +Z vertex 3 is (u, v, L + 1): rows (x) outer, columns (y) inner.
  for (std::size_t k = 0; k < 6; ++k)
    EXPECT_EQ(units[k].v[3], (MeshVec3{static_cast<float>(3 + k / 3), static_cast<float>(5 + k % 3), 10})) << k;
  EXPECT_EQ(units[5].index[0], 20);
  const std::vector<Quad> one = quads_of(whole);
  ASSERT_EQ(one.size(), 1u);
  EXPECT_EQ(one[0].v[0], (MeshVec3{5, 5, 10}));
  EXPECT_EQ(one[0].uv[2], (MeshVec2{2, 3}));
}

// --- Against the plain transcription of the rules -------------------------------

// Small deterministic generator, the same on every platform.
struct TestRng {
  std::uint64_t s;
  std::uint32_t next() {
    s ^= s << 13;
    s ^= s >> 7;
    s ^= s << 17;
    return static_cast<std::uint32_t>(s >> 16);
  }
  int below(int n) { return static_cast<int>(next() % static_cast<std::uint32_t>(n)); }
};

// Caves carved into layered rock, with lava pools, gates, plugs under dirt,
// building blocks and a sprinkling of every id; the border is solid bedrock.
World cave_world(std::uint64_t seed) {
  TestRng rng{seed * 2654435761u + 1};
  std::vector<BlockId> cells(kCellCount);
  const BlockId common[] = {1, 1, 1, 1, 2, 5, 5, 3, 17, 18};
  for (int z = 0; z < kGridSize; ++z)
    for (int y = 0; y < kGridSize; ++y)
      for (int x = 0; x < kGridSize; ++x) {
        BlockId b = common[((x / 3) * 7 + (y / 2) * 3 + (z / 4) * 5 + seed) % 10];
        if (rng.below(9) == 0) b = static_cast<BlockId>(rng.below(256));
        if (!is_interior(x, y, z)) b = id(Block::Bedrock);
        cells[static_cast<std::size_t>(cell_index(x, y, z))] = b;
      }
  const auto ball = [&](int cx, int cy, int cz, int r, BlockId b) {
    for (int z = cz - r; z <= cz + r; ++z)
      for (int y = cy - r; y <= cy + r; ++y)
        for (int x = cx - r; x <= cx + r; ++x)
          if (is_interior(x, y, z) && (x - cx) * (x - cx) + (y - cy) * (y - cy) + (z - cz) * (z - cz) <= r * r)
            cells[static_cast<std::size_t>(cell_index(x, y, z))] = b;
  };
  for (int i = 0; i < 60; ++i) ball(rng.below(64), rng.below(64), rng.below(64), 2 + rng.below(6), 0);
  for (int i = 0; i < 8; ++i) ball(rng.below(64), rng.below(64), rng.below(64), 1 + rng.below(3), id(Block::Lava));
  const BlockId sprinkled[] = {6, 7, 8, 9, 10, 11, 12, 13, 14, 14, 15, 16, 19, 20, 21, 20, 21};
  for (int i = 0; i < 3000; ++i) {
    const int at = cell_index(1 + rng.below(62), 1 + rng.below(62), 1 + rng.below(62));
    cells[static_cast<std::size_t>(at)] = sprinkled[rng.below(static_cast<int>(std::size(sprinkled)))];
  }
  World w;
  w.load_blocks(cells);
  return w;
}

// Blocks of equal cells, so that rectangles grow large and their order matters.
World slab_world(std::uint64_t seed) {
  TestRng rng{seed + 99};
  std::vector<BlockId> cells(kCellCount);
  const BlockId palette[] = {0, 0, 0, 1, 2, 14, 19, 20, 21, 9, 10, 6, 8, 33};
  for (int z = 0; z < kGridSize; ++z)
    for (int y = 0; y < kGridSize; ++y)
      for (int x = 0; x < kGridSize; ++x) {
        const unsigned h = static_cast<unsigned>((x / 5) * 73856093 ^ (y / 3) * 19349663 ^ (z / 4) * 83492791) + static_cast<unsigned>(seed);
        BlockId b = palette[(h >> 3) % std::size(palette)];
        if (rng.below(40) == 0) b = palette[rng.below(static_cast<int>(std::size(palette)))];
        cells[static_cast<std::size_t>(cell_index(x, y, z))] = b;
      }
  World w;
  w.load_blocks(cells);
  return w;
}

TEST(MeshingAgainstReference, EveryRegionOfVariedWorlds) {
  World generated;
  generate_cave_map(generated, true, 12, 424242);
  const std::pair<const char*, World> worlds[] = {{"generated", generated},
                                                  {"caves 1", cave_world(1)},
                                                  {"caves 2", cave_world(2)},
                                                  {"slabs", slab_world(5)}};
  for (const auto& [name, w] : worlds) {
    for (int r = 0; r < kRegionCount; ++r) {
      const std::string where = std::string(name) + " region " + std::to_string(r);
      expect_same_mesh(build_region_debug_mesh(w, r), reference::region_mesh(w.blocks, r, true, 0),
                       where + " render");
      for (const std::int32_t team : {1, 2, 0}) {
        expect_same_mesh(build_region_collision_mesh(w, r, team),
                         reference::region_mesh(w.blocks, r, false, team),
                         where + " collision " + std::to_string(team));
      }
    }
  }
}

// Boxes of any size and place, including ones reaching past the border and
// larger than a region, one direction at a time, appended to one mesh.
TEST(MeshingAgainstReference, AnyBoxAndDirection) {
  const World w = cave_world(3);
  TestRng rng{7};
  DebugMeshData mesh, expected;
  for (int i = 0; i < 60; ++i) {
    const int x0 = rng.below(70) - 3, y0 = rng.below(70) - 3, z0 = rng.below(70) - 3;
    const int big = i % 3 == 0 ? 64 : 17;
    const CellBox box{x0, y0, z0, x0 + rng.below(big), y0 + rng.below(big), z0 + rng.below(big)};
    const int d = rng.below(6);
    const bool render = rng.below(2) == 0;
    const std::int32_t team = rng.below(4);
    append_greedy_region_faces(w.blocks, mesh, static_cast<FaceDirection>(d), box,
                               render ? FaceMode::render() : FaceMode::collision(team));
    reference::append_greedy_region_faces(w.blocks, expected, d, box.x0, box.y0, box.z0, box.x1,
                                          box.y1, box.z1, render, team);
    expect_same_mesh(mesh, expected, "box " + std::to_string(i));
    if (mesh.vertices.size() > 40000) {
      mesh = {};
      expected = {};
    }
  }
}

}  // namespace
}  // namespace tessmark
