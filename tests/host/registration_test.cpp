// What the engine learns when it loads the library, and how the library
// comes and goes with the initialisation levels.

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "host_fixture.hpp"

namespace tessmark::host {
namespace {

struct ExpectedArgument {
  const char* name;
  std::int32_t type;
  std::int32_t metadata;
};

struct ExpectedMethod {
  const char* name;
  std::uint32_t flags;
  std::vector<ExpectedArgument> arguments;
  std::int32_t result;  // kNil: no result
  std::int32_t result_metadata;
};

constexpr std::int32_t kInt32 = 3, kInt64 = 4, kFloat32 = 9;
constexpr std::uint32_t kNormal = 1, kConst = 5;

const ExpectedArgument kX{"x", kInt, kInt32}, kY{"y", kInt, kInt32}, kZ{"z", kInt, kInt32};
const ExpectedArgument kOrigin{"origin", kVector3, 0}, kDirection{"direction", kVector3, 0};
const std::vector<ExpectedArgument> kResourceArguments = {
    kOrigin,
    {"avoid_positions", kPackedVector3Array, 0},
    {"avoid_radius", kFloat, kFloat32},
    {"max_vertical_delta", kFloat, kFloat32}};
const std::vector<ExpectedArgument> kPathArguments = {
    kOrigin,
    {"destination", kVector3, 0},
    {"player_team", kInt, kInt32},
    {"max_nodes", kInt, kInt32}};

std::vector<ExpectedArgument> resource_arguments_with_limit() {
  std::vector<ExpectedArgument> arguments = kResourceArguments;
  arguments.push_back({"limit", kInt, kInt32});
  return arguments;
}

// The script API in registration order, as scripts and the editor see it.
const std::vector<ExpectedMethod> kMethodTable = {
    {"reset_empty", kNormal, {{"fill_type", kInt, kInt32}}, kNil, 0},
    {"load_blocks", kNormal, {{"blocks", kPackedByteArray, 0}}, kBool, 0},
    {"generate_cave_map",
     kNormal,
     {{"include_lava", kBool, 0}, {"ore_factor", kInt, kInt32}, {"seed", kInt, kInt32}},
     kBool,
     0},
    {"set_tessmark_virus", kNormal, {{"enabled", kBool, 0}}, kNil, 0},
    {"set_block", kNormal, {kX, kY, kZ, {"block_type", kInt, kInt32}}, kBool, 0},
    {"block_at", kConst, {kX, kY, kZ}, kInt, kInt32},
    {"lava_count", kConst, {}, kInt, kInt32},
    {"take_dirty_regions", kNormal, {}, kPackedInt32Array, 0},
    {"build_region_debug_mesh", kConst, {{"region", kInt, kInt32}}, kDictionary, 0},
    {"build_region_collision_mesh",
     kConst,
     {{"region", kInt, kInt32}, {"player_team", kInt, kInt32}},
     kDictionary,
     0},
    {"start_region_mesh_job",
     kNormal,
     {{"region", kInt, kInt32}, {"player_team", kInt, kInt32}},
     kInt,
     kInt64},
    {"take_region_mesh_job_result", kNormal, {}, kDictionary, 0},
    {"raycast", kConst, {kOrigin, kDirection, {"max_distance", kFloat, kFloat32}}, kDictionary, 0},
    {"scan_prospecting_radar", kConst, {kOrigin, {"look_vector", kVector3, 0}}, kDictionary, 0},
    {"find_accessible_precious_resource", kConst, kResourceArguments, kDictionary, 0},
    {"find_accessible_precious_resources", kConst, resource_arguments_with_limit(), kArray, 0},
    {"find_accessible_ore_resource", kConst, kResourceArguments, kDictionary, 0},
    {"find_bot_surface_path", kConst, kPathArguments, kPackedVector3Array, 0},
    {"find_bot_mining_path", kConst, kPathArguments, kPackedVector3Array, 0},
    {"use_pickaxe",
     kNormal,
     {kOrigin,
      kDirection,
      {"mine_lava", kBool, 0},
      {"player_ore", kInt, kInt32},
      {"player_ore_max", kInt, kInt32},
      {"player_weight", kInt, kInt32},
      {"player_weight_max", kInt, kInt32}},
     kDictionary,
     0},
    {"use_construction_gun",
     kNormal,
     {kOrigin,
      kDirection,
      {"block_type", kInt, kInt32},
      {"player_team", kInt, kInt32},
      {"player_ore", kInt, kInt32},
      {"player_ore_max", kInt, kInt32},
      {"sandbox", kBool, 0}},
     kDictionary,
     0},
    {"detonate_at", kNormal, {kX, kY, kZ, {"radius", kInt, kInt32}}, kDictionary, 0},
    {"do_lava_stuff", kNormal, {}, kNil, 0},
};

// The methods registered so far, in table order; every registered method
// must be in the table, at its place.
std::vector<ExpectedMethod> registered_part_of_table(const ClassRecord& record) {
  std::set<std::string> registered;
  for (const MethodRecord& m : record.methods) registered.insert(m.name);
  std::vector<ExpectedMethod> expected;
  for (const ExpectedMethod& m : kMethodTable)
    if (registered.count(m.name) != 0) expected.push_back(m);
  return expected;
}

TEST_F(HostTest, OneClassDerivedFromRefCountedWithTheMethodTable) {
  EXPECT_EQ(host.class_names(), std::set<std::string>{"TessmarkWorld"});
  const ClassRecord& record = *host.find_class("TessmarkWorld");
  EXPECT_EQ(record.parent, "RefCounted");
  EXPECT_TRUE(record.is_exposed);
  EXPECT_FALSE(record.is_virtual || record.is_abstract || record.is_runtime);
  EXPECT_EQ(record.get_virtual(record.userdata, nullptr, 0), nullptr);

  const std::vector<ExpectedMethod> expected = registered_part_of_table(record);
  ASSERT_EQ(record.methods.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    const ExpectedMethod& want = expected[i];
    const MethodRecord& got = record.methods[i];
    SCOPED_TRACE(want.name);
    EXPECT_EQ(got.name, want.name);
    EXPECT_EQ(got.flags, want.flags);
    EXPECT_EQ(got.default_argument_count, 0u);
    EXPECT_EQ(got.has_return, want.result != kNil);
    if (got.has_return) {
      EXPECT_EQ(got.result.type, want.result);
      EXPECT_EQ(got.result.metadata, want.result_metadata);
    }
    ASSERT_EQ(got.arguments.size(), want.arguments.size());
    for (std::size_t a = 0; a < want.arguments.size(); ++a) {
      EXPECT_EQ(got.arguments[a].name, want.arguments[a].name);
      EXPECT_EQ(got.arguments[a].type, want.arguments[a].type);
      EXPECT_EQ(got.arguments[a].metadata, want.arguments[a].metadata);
    }
  }
}

TEST_F(HostTest, RegistersNoPropertiesSignalsOrConstants) {
  // The library never asks for the functions that would register them.
  for (const std::string& name : host.looked_up) {
    EXPECT_EQ(name.find("property"), std::string::npos) << name;
    EXPECT_EQ(name.find("signal"), std::string::npos) << name;
    EXPECT_EQ(name.find("constant"), std::string::npos) << name;
  }
  // Each interface function is looked up once, at load.
  std::vector<std::string> sorted = host.looked_up;
  std::sort(sorted.begin(), sorted.end());
  EXPECT_EQ(std::adjacent_find(sorted.begin(), sorted.end()), sorted.end());
}

// Loads and unloads with no object in between.
class Lifecycle : public ::testing::Test {
 protected:
  void TearDown() override {
    host.unload();
    EXPECT_EQ(host.faults, std::vector<std::string>{});
    EXPECT_EQ(live_bodies(), 0);
    EXPECT_EQ(live_names(), 0);
  }
  EngineHost host;
};

const std::set<std::string> kNone;
const std::set<std::string> kWorld{"TessmarkWorld"};

TEST_F(Lifecycle, StartupRunsEveryLevelAndTheClassLivesFromSceneToSceneDeinit) {
  ASSERT_TRUE(host.load(LoadMode::kStartup));
  EXPECT_EQ(host.minimum_level, kScene);
  host.unload();
  EXPECT_EQ(host.initialized, (std::vector<std::int32_t>{kCore, kServers, kScene, kEditor}));
  EXPECT_EQ(host.deinitialized, (std::vector<std::int32_t>{kEditor, kScene, kServers, kCore}));
  // After Core, Servers, Scene, Editor; then after deinit of Editor, Scene, Servers, Core.
  EXPECT_EQ(host.classes_after_level, (std::vector<std::set<std::string>>{
                                          kNone, kNone, kWorld, kWorld, kWorld, kNone, kNone,
                                          kNone}));
}

TEST_F(Lifecycle, HotLoadStartsAtTheMinimumLevel) {
  ASSERT_TRUE(host.load(LoadMode::kHotLoad));
  EXPECT_EQ(host.initialized, (std::vector<std::int32_t>{kScene, kEditor}));
  EXPECT_EQ(host.class_names(), kWorld);
  host.unload();
  EXPECT_EQ(host.deinitialized, (std::vector<std::int32_t>{kEditor, kScene}));
  EXPECT_EQ(host.class_names(), kNone);
}

TEST_F(Lifecycle, LoadsAgainAfterUnloading) {
  for (LoadMode mode : {LoadMode::kStartup, LoadMode::kHotLoad, LoadMode::kStartup}) {
    ASSERT_TRUE(host.load(mode));
    Object* world = host.instantiate("TessmarkWorld");
    ASSERT_NE(world, nullptr);
    EXPECT_TRUE(host.ptrcall(world, "set_block", {3, 3, 3, 19}).as_bool());
    EXPECT_EQ(host.ptrcall(world, "lava_count", {}).as_int(), 1);
    host.free_object(world);
    host.unload();
    EXPECT_EQ(host.class_names(), kNone);
  }
  EXPECT_EQ(host.errors, std::vector<std::string>{});
}

TEST_F(Lifecycle, EntryRefusesAnEngineWithoutAFunctionItNeeds) {
  host.withheld = {"classdb_register_extension_class5"};
  EXPECT_FALSE(host.load());
  EXPECT_FALSE(host.loaded());
  ASSERT_EQ(host.errors.size(), 1u);
  EXPECT_NE(host.errors[0].find("classdb_register_extension_class5"), std::string::npos);

  host.withheld.clear();
  host.errors.clear();
  ASSERT_TRUE(host.load());  // and loads once the engine has it
  EXPECT_EQ(host.class_names(), kWorld);
}

TEST_F(Lifecycle, EntryRefusesAnEngineWithoutABuiltInMethod) {
  host.withheld = {"variant_get_ptr_builtin_method"};
  EXPECT_FALSE(host.load());
  EXPECT_EQ(host.errors.size(), 1u);
}

TEST_F(Lifecycle, ObjectsAreAttachedToARefCountedEngineObject) {
  ASSERT_TRUE(host.load());
  Object* world = host.instantiate("TessmarkWorld");
  EXPECT_EQ(world->engine_class, "RefCounted");
  EXPECT_EQ(world->extension_class, "TessmarkWorld");
  Object* second = host.instantiate("TessmarkWorld");
  EXPECT_NE(world->instance, second->instance);  // each object has its own world
  host.ptrcall(world, "set_block", {4, 4, 4, 2});
  EXPECT_EQ(host.ptrcall(second, "block_at", {4, 4, 4}).as_int(), 0);
  host.free_object(second);
  host.free_object(world);
  EXPECT_EQ(host.live_objects, 0);
}

}  // namespace
}  // namespace tessmark::host
