#pragma once
// Background region mesh jobs. Each accepted job copies the world on the
// main thread, then builds the region's render and collision meshes on a
// thread of its own and appends them to a queue shared with the world object
// that started it. Job threads never touch engine values; the main thread
// turns results into dictionaries when it takes them.

#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>

#include "world/grid.hpp"
#include "world/meshing.hpp"

namespace tessmark {

struct RegionMeshJobResult {
  DebugMeshData render;
  DebugMeshData collision;
  std::int64_t job_id = 0;
  std::int32_t region = 0;
};

// Finished jobs, oldest first. Shared by the world object and its running
// jobs; whoever lets go last frees it with any results still waiting.
class MeshJobQueue {
 public:
  // May throw std::bad_alloc; the queue is then left as it was.
  void push(RegionMeshJobResult&& result);
  std::optional<RegionMeshJobResult> pop();

 private:
  std::mutex mutex_;
  std::deque<RegionMeshJobResult> results_;
};

// Starts a job that meshes `region` of a copy of `world` for `player_team`
// and appends the result, tagged `job_id`, to `results`. Throws
// std::system_error when the system refuses a thread; nothing is queued then.
void start_region_mesh_thread(const World& world, std::shared_ptr<MeshJobQueue> results,
                              std::int64_t job_id, std::int32_t region, std::int32_t player_team);

// Waits until every job thread has finished and exited, so that none is
// still running the library's code when the library is unloaded. Called at
// Scene deinitialization; jobs are short.
void wait_for_mesh_jobs();

}  // namespace tessmark
