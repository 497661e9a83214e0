// Background mesh jobs without the engine: the shared result queue, jobs
// delivering while the main thread takes results, and a queue outliving the
// world object that made it.

#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <memory>

#include "mesh_jobs.hpp"
#include "world/catalogue.hpp"
#include "world/meshing.hpp"

namespace tessmark {
namespace {

World busy_world() {
  World w;
  for (int i = 0; i < 3000; ++i)
    w.set_block(1 + (i * 7) % 62, 1 + (i * 13) % 62, 1 + (i * 29) % 62,
                static_cast<BlockId>(1 + i % 21));
  return w;
}

TEST(MeshJobQueue, HandsOutResultsOldestFirst) {
  MeshJobQueue queue;
  EXPECT_FALSE(queue.pop().has_value());
  for (std::int64_t id = 1; id <= 3; ++id) queue.push({{}, {}, id, static_cast<std::int32_t>(id * 10)});
  for (std::int64_t id = 1; id <= 3; ++id) {
    const auto result = queue.pop();
    ASSERT_TRUE(result.has_value());
    EXPECT_EQ(result->job_id, id);
    EXPECT_EQ(result->region, id * 10);
  }
  EXPECT_FALSE(queue.pop().has_value());
}

// Results are taken while other jobs still run; every job delivers exactly
// once, with the meshes of the world as it was when the job started.
TEST(MeshJobs, EveryJobDeliversItsMeshesOnce) {
  World world = busy_world();
  const World at_start = world;
  auto queue = std::make_shared<MeshJobQueue>();
  std::map<std::int64_t, RegionMeshJobResult> delivered;
  const auto take_all = [&] {
    while (auto result = queue->pop()) {
      EXPECT_TRUE(delivered.emplace(result->job_id, std::move(*result)).second);
    }
  };
  for (std::int64_t job = 1; job <= 128; ++job) {
    start_region_mesh_thread(world, queue, job, static_cast<std::int32_t>(job % 64),
                             static_cast<std::int32_t>(job % 3));
    if (job == 64) world.reset_empty(id(Block::Dirt));  // later jobs see the new world
    if (job % 16 == 0) take_all();
  }
  wait_for_mesh_jobs();
  take_all();
  ASSERT_EQ(delivered.size(), 128u);
  World after = at_start;
  after.reset_empty(id(Block::Dirt));
  for (const auto& [job, result] : delivered) {
    const World& seen = job <= 64 ? at_start : after;
    EXPECT_EQ(result.region, job % 64);
    EXPECT_TRUE(result.render == build_region_debug_mesh(seen, result.region)) << job;
    EXPECT_TRUE(result.collision ==
                build_region_collision_mesh(seen, result.region, static_cast<std::int32_t>(job % 3)))
        << job;
  }
}

TEST(MeshJobs, TheLastRunningJobFreesAnAbandonedQueue) {
  const World world = busy_world();
  auto queue = std::make_shared<MeshJobQueue>();
  const std::weak_ptr<MeshJobQueue> watch = queue;
  for (std::int64_t job = 1; job <= 40; ++job)
    start_region_mesh_thread(world, queue, job, static_cast<std::int32_t>(job % 64), 1);
  queue.reset();  // the world object goes away without waiting
  wait_for_mesh_jobs();
  EXPECT_TRUE(watch.expired());
}

}  // namespace
}  // namespace tessmark
