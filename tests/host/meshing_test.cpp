// Region meshes and background mesh jobs through the engine: the mesh
// dictionaries' keys, order and array types, job ids and results, and jobs
// that outlive their world object or run into the library's unloading.

#include <chrono>
#include <cstdint>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "engine/values.hpp"
#include "host_fixture.hpp"

namespace tessmark::host {
namespace {

const std::vector<std::string> kMeshKeys{"vertices", "normals",     "uvs",    "colors",
                                         "shade_colors", "texture_ids", "indices"};
const std::vector<std::int32_t> kMeshTypes{kPackedVector3Array, kPackedVector3Array,
                                           kPackedVector2Array, kPackedColorArray,
                                           kPackedColorArray,   kPackedInt32Array,
                                           kPackedInt32Array};

// Seven arrays in order with their engine types, sized for `quads` quads.
void expect_mesh_dictionary(const Value& mesh, std::size_t quads, const std::string& what) {
  ASSERT_EQ(mesh.type(), kDictionary) << what;
  ASSERT_EQ(mesh.keys(), kMeshKeys) << what;
  for (std::size_t k = 0; k < kMeshKeys.size(); ++k) {
    const Value array = mesh.at(kMeshKeys[k]);
    EXPECT_EQ(array.type(), kMeshTypes[k]) << what << " " << kMeshKeys[k];
    EXPECT_EQ(array.size(), (kMeshKeys[k] == "indices" ? 6 : 4) * quads) << what << " " << kMeshKeys[k];
  }
}

void expect_same_mesh(const Value& actual, const Value& expected, const std::string& what) {
  ASSERT_EQ(actual.keys(), kMeshKeys) << what;
  for (const char* key : {"vertices", "normals"})
    EXPECT_EQ(actual.at(key).vec3_values(), expected.at(key).vec3_values()) << what << " " << key;
  for (const char* key : {"texture_ids", "indices"})
    EXPECT_EQ(actual.at(key).int32_values(), expected.at(key).int32_values()) << what << " " << key;
  for (const char* key : {"uvs", "colors", "shade_colors"})
    EXPECT_EQ(actual.at(key).size(), expected.at(key).size()) << what << " " << key;
}

class MeshMethods : public HostTest, public ::testing::WithParamInterface<CallPath> {
 protected:
  Value run(const std::string& method, const std::vector<Value>& args = {}) {
    return invoke(GetParam(), method, args);
  }

  // Jobs finish on their own time; poll like a game loop would.
  Value next_job_result() {
    for (int tries = 0; tries < 20000; ++tries) {
      Value result = run("take_region_mesh_job_result");
      if (result.size() != 0) return result;
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ADD_FAILURE() << "no job result arrived";
    return run("take_region_mesh_job_result");
  }
};

TEST_P(MeshMethods, MeshDictionaryHoldsSevenTypedArraysInOrder) {
  ASSERT_TRUE(run("set_block", {20, 20, 20, 2}).as_bool());  // Ore, in region 21
  const Value render = run("build_region_debug_mesh", {21});
  expect_mesh_dictionary(render, 6, "render");
  EXPECT_EQ(render.at("texture_ids").int32_values(), std::vector<std::int32_t>(24, 2));
  EXPECT_EQ(render.at("vertices").vec3_values()[0], (Vec3{21, 20, 20}));
  EXPECT_EQ(render.at("normals").vec3_values()[0], (Vec3{1, 0, 0}));
  EXPECT_EQ(render.at("indices").int32_values()[5], 2);
  expect_mesh_dictionary(run("build_region_collision_mesh", {21, 1}), 6, "collision");
}

TEST_P(MeshMethods, RegionsOutsideTheGridGiveSevenEmptyArrays) {
  run("reset_empty", {1});
  for (const int region : {64, -1, 1000}) {
    expect_mesh_dictionary(run("build_region_debug_mesh", {region}), 0, std::to_string(region));
    expect_mesh_dictionary(run("build_region_collision_mesh", {region, 1}), 0, std::to_string(region));
  }
  expect_mesh_dictionary(run("build_region_debug_mesh", {0}), 3 * 15 * 15, "region 0");
}

TEST_P(MeshMethods, AGateIsOpenOnlyInItsTeamsCollisionMesh) {
  ASSERT_TRUE(run("set_block", {30, 30, 30, 20}).as_bool());  // Team1Gate, region 21
  expect_mesh_dictionary(run("build_region_collision_mesh", {21, 1}), 0, "team 1");
  expect_mesh_dictionary(run("build_region_collision_mesh", {21, 2}), 6, "team 2");
  expect_mesh_dictionary(run("build_region_collision_mesh", {21, 0}), 6, "team 0");
}

TEST_P(MeshMethods, JobIdsCountFromOneAndRefusedRegionsUseNone) {
  EXPECT_EQ(run("take_region_mesh_job_result").size(), 0u);
  EXPECT_EQ(run("start_region_mesh_job", {5, 1}).as_int(), 1);
  EXPECT_EQ(run("start_region_mesh_job", {64, 1}).as_int(), 0);
  EXPECT_EQ(run("start_region_mesh_job", {-1, 1}).as_int(), 0);
  EXPECT_EQ(run("start_region_mesh_job", {6, 2}).as_int(), 2);
  std::set<std::int64_t> ids;
  for (int n = 0; n < 2; ++n) {
    const Value result = next_job_result();
    ASSERT_EQ(result.keys(), (std::vector<std::string>{"job_id", "region", "render", "collision"}));
    const std::int64_t id = result.at("job_id").as_int();
    EXPECT_EQ(result.at("region").as_int(), id == 1 ? 5 : 6);
    EXPECT_TRUE(ids.insert(id).second) << id;
  }
  EXPECT_EQ(ids, (std::set<std::int64_t>{1, 2}));
  EXPECT_EQ(run("take_region_mesh_job_result").size(), 0u);
}

// A job meshes the world as it was when it started.
TEST_P(MeshMethods, JobResultIsTheMeshOfTheWorldAtItsStart) {
  for (const Vec3& c : {Vec3{20, 20, 5}, Vec3{21, 20, 5}, Vec3{25, 25, 7}})
    run("set_block", {static_cast<int>(c.x), static_cast<int>(c.y), static_cast<int>(c.z), 2});
  run("set_block", {26, 25, 7, 20});  // Team1Gate
  run("set_block", {18, 18, 3, 19});  // Lava
  const Value render = run("build_region_debug_mesh", {5});
  const Value collision = run("build_region_collision_mesh", {5, 1});
  EXPECT_EQ(run("start_region_mesh_job", {5, 1}).as_int(), 1);
  run("set_block", {22, 22, 8, 1});
  run("set_block", {20, 20, 5, 0});
  const Value result = next_job_result();
  EXPECT_EQ(result.at("job_id").as_int(), 1);
  EXPECT_EQ(result.at("region").as_int(), 5);
  expect_mesh_dictionary(result.at("render"), render.at("vertices").size() / 4, "render");
  expect_same_mesh(result.at("render"), render, "render");
  expect_same_mesh(result.at("collision"), collision, "collision");
  EXPECT_EQ(run("take_region_mesh_job_result").size(), 0u);
}

INSTANTIATE_TEST_SUITE_P(BothCallPaths, MeshMethods, ::testing::ValuesIn(kBothPaths),
                         call_path_name);

// Hundreds of jobs started back to back, results taken while others still
// run, two world objects freed with jobs in flight, and the library shut
// down right after: every result arrives at most once, nothing crashes,
// nothing leaks, and no job thread is left running the unloaded code.
TEST_F(HostTest, MeshJobsOutliveTheirWorldAndEndBeforeUnload) {
  for (int i = 0; i < 400; ++i)
    host.ptrcall(world, "set_block", {1 + (i * 7) % 62, 1 + (i * 13) % 62, 1 + (i * 29) % 62, i % 22});
  std::set<std::int64_t> seen;
  const auto take_one = [&] {
    const Value result = host.ptrcall(world, "take_region_mesh_job_result", {});
    if (result.size() == 0) return;
    const std::int64_t id = result.at("job_id").as_int();
    EXPECT_TRUE(seen.insert(id).second) << "job " << id << " delivered twice";
    EXPECT_EQ(result.at("region").as_int(), (id - 1) % 64);
  };
  for (int i = 0; i < 200; ++i) {
    EXPECT_EQ(host.ptrcall(world, "start_region_mesh_job", {i % 64, i % 3}).as_int(), i + 1);
    if (i % 5 == 0) take_one();
  }
  Object* other = host.instantiate("TessmarkWorld");
  ASSERT_NE(other, nullptr);
  host.ptrcall(other, "reset_empty", {1});
  for (int i = 0; i < 50; ++i) host.ptrcall(other, "start_region_mesh_job", {i, 2});
  host.free_object(other);
  for (int i = 0; i < 20; ++i) take_one();
  host.free_object(world);
  world = nullptr;
  host.unload();
  EXPECT_LE(seen.size(), 200u);
  EXPECT_EQ(host.errors, std::vector<std::string>{});
}

}  // namespace
}  // namespace tessmark::host
