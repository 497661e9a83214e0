#include "mesh_jobs.hpp"

#include <atomic>
#include <thread>
#include <utility>
#include <vector>

namespace tessmark {

void MeshJobQueue::push(RegionMeshJobResult&& result) {
  const std::lock_guard lock(mutex_);
  results_.push_back(std::move(result));
}

std::optional<RegionMeshJobResult> MeshJobQueue::pop() {
  const std::lock_guard lock(mutex_);
  if (results_.empty()) return std::nullopt;
  std::optional<RegionMeshJobResult> oldest(std::move(results_.front()));
  results_.pop_front();
  return oldest;
}

namespace {

// Everything a job owns: its copy of the world, its hold on the queue and
// what to build.
struct RegionMeshJob {
  World world;
  std::shared_ptr<MeshJobQueue> results;
  std::int64_t job_id;
  std::int32_t region;
  std::int32_t player_team;

  void operator()() noexcept {
    try {
      RegionMeshJobResult result{build_region_debug_mesh(world, region),
                                 build_region_collision_mesh(world, region, player_team), job_id,
                                 region};
      std::vector<BlockId>().swap(world.blocks);
      results->push(std::move(result));
    } catch (...) {
      // Out of memory: this job's meshes are dropped, the queue is untouched.
    }
    std::vector<BlockId>().swap(world.blocks);
    results.reset();
  }
};

// Job threads not yet joined. Scripts never wait for a job, but the library
// must not be unloaded while one still runs its code, so each thread is kept
// until it is known to have ended: finished ones are joined (at once, they
// are on their way out) whenever a new job starts, the rest when the library
// shuts down. Used from the main thread only.
class JobThreads {
 public:
  JobThreads() = default;
  JobThreads(const JobThreads&) = delete;
  JobThreads& operator=(const JobThreads&) = delete;
  ~JobThreads() { join_all(); }

  void start(RegionMeshJob&& job) {
    join_finished();
    auto finished = std::make_shared<std::atomic<bool>>(false);
    // Room first: once the thread exists, keeping it must not fail.
    entries_.reserve(entries_.size() + 1);
    std::thread thread([job = std::move(job), finished]() mutable {
      job();
      finished->store(true, std::memory_order_release);
    });
    entries_.push_back({std::move(thread), std::move(finished)});
  }

  void join_all() {
    for (Entry& entry : entries_) entry.thread.join();
    entries_.clear();
  }

 private:
  struct Entry {
    std::thread thread;
    std::shared_ptr<std::atomic<bool>> finished;
  };

  void join_finished() {
    std::size_t kept = 0;
    for (Entry& entry : entries_) {
      if (entry.finished->load(std::memory_order_acquire)) {
        entry.thread.join();
      } else {
        // Into a slot whose thread was joined or moved on; never onto itself,
        // which would replace a running thread.
        if (&entries_[kept] != &entry) entries_[kept] = std::move(entry);
        ++kept;
      }
    }
    entries_.resize(kept);
  }

  std::vector<Entry> entries_;
};

JobThreads& job_threads() {
  static JobThreads threads;
  return threads;
}

}  // namespace

void start_region_mesh_thread(const World& world, std::shared_ptr<MeshJobQueue> results,
                              std::int64_t job_id, std::int32_t region, std::int32_t player_team) {
  job_threads().start(RegionMeshJob{world, std::move(results), job_id, region, player_team});
}

void wait_for_mesh_jobs() { job_threads().join_all(); }

}  // namespace tessmark
