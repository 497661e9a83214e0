#include "world/bot_paths.hpp"

#include <algorithm>
#include <array>

#include "world/catalogue.hpp"

namespace tessmark {
namespace {

// Bots search inside a box that keeps every neighbour column interior.
constexpr int kBoxMinXz = 2, kBoxMaxXz = kGridSize - 3;
constexpr int kBoxMinY = 1, kBoxMaxY = kGridSize - 3;
// One expansion adds at most two positions per direction and two climbs.
constexpr std::uint32_t kMaxCandidates = 10;

constexpr bool column_in_box(int x, int z) {
  return x >= kBoxMinXz && x <= kBoxMaxXz && z >= kBoxMinXz && z <= kBoxMaxXz;
}
constexpr bool height_in_box(int y) { return y >= kBoxMinY && y <= kBoxMaxY; }
constexpr bool in_search_box(Cell c) { return column_in_box(c.x, c.z) && height_in_box(c.y); }

// Every move changes each coordinate by -1, 0 or +1, so a parent link fits in
// five bits as the step taken from the parent.
constexpr int step_code(int dx, int dy, int dz) { return (dx + 1) + 3 * (dy + 1) + 9 * (dz + 1); }
constexpr int kStayCode = step_code(0, 0, 0);
constexpr int step_back(int code) {
  return -((code % 3 - 1) + kGridSize * (code / 3 % 3 - 1) + kGridSize * kGridSize * (code / 9 - 1));
}

// The visited set and parent map of one search, a word per grid cell: the
// search's stamp in the high bits (stale stamps read as unvisited, so no
// clearing between searches) and the step from the parent in the low five.
// Kept per thread and reused, so a search allocates only its result.
class SearchScratch {
 public:
  void begin() {
    if (++stamp_ > kMaxStamp) {
      std::fill(marks_.begin(), marks_.end(), 0u);
      stamp_ = 1;
    }
    discovered_ = 0;
    head_ = tail_ = 0;
  }

  bool visited(int index) const { return marks_[static_cast<std::size_t>(index)] >> kCodeBits == stamp_; }

  void discover(int index, int code) {
    marks_[static_cast<std::size_t>(index)] = stamp_ << kCodeBits | static_cast<std::uint32_t>(code);
    queue_[tail_++] = index;
    ++discovered_;
  }

  int parent(int index) const {
    return index + step_back(static_cast<int>(marks_[static_cast<std::size_t>(index)] & kCodeMask));
  }

  bool queue_empty() const { return head_ == tail_; }
  int pop() { return queue_[head_++]; }
  std::uint32_t discovered() const { return discovered_; }

 private:
  static constexpr int kCodeBits = 5;
  static constexpr std::uint32_t kCodeMask = (1u << kCodeBits) - 1;
  static constexpr std::uint32_t kMaxStamp = (~0u) >> kCodeBits;

  std::vector<std::uint32_t> marks_ = std::vector<std::uint32_t>(kCellCount, 0u);
  // Every discovered cell is queued once; discovery stops within one
  // expansion of the budget.
  std::array<int, kBotPathMaxNodes + kMaxCandidates> queue_{};
  std::uint32_t stamp_ = 0;
  std::uint32_t discovered_ = 0;
  std::uint32_t head_ = 0, tail_ = 0;
};

SearchScratch& search_scratch() {
  thread_local SearchScratch scratch;
  return scratch;
}

class BotPathSearch {
 public:
  BotPathSearch(const World& world, std::int32_t player_team, bool mining, SearchScratch& scratch)
      : world_(world), team_(player_team), mining_(mining), scratch_(scratch) {}

  // Adds the moves out of c, in the order that decides between equally short
  // paths: the four directions +x, -x, +z, -z, then the ladder climbs.
  void expand(Cell c) {
    constexpr int dxs[4] = {1, -1, 0, 0};
    constexpr int dzs[4] = {0, 0, 1, -1};
    const bool stands = bot_path_surface_is_valid(world_, c, team_, mining_);
    // Only a bot that hangs, or may climb, needs to know about ladders.
    const bool on_ladder = (!stands || !mining_) && bot_ladder_position_is_valid(world_, c, team_);
    for (int d = 0; d < 4; ++d) {
      const int dx = dxs[d], dz = dzs[d];
      if (!column_in_box(c.x + dx, c.z + dz)) continue;
      const Cell level{c.x + dx, c.y, c.z + dz};
      if (stands) {
        // A level walk hides a step down, which hides a step up.
        for (int dy : {0, -1, 1}) {
          const Cell next{level.x, c.y + dy, level.z};
          if (height_in_box(next.y) && bot_path_surface_is_valid(world_, next, team_, mining_)) {
            offer(next, dx, dy, dz);
            break;
          }
        }
        if (!mining_ && bot_ladder_position_is_valid(world_, level, team_)) offer(level, dx, 0, dz);
      } else if (on_ladder && bot_surface_is_valid(world_, level, team_)) {
        // A hanging bot can only step off sideways onto level ground.
        offer(level, dx, 0, dz);
      }
    }
    if (on_ladder && !mining_) {
      // The ladder must stand beside the lower body cell of the higher position.
      if (c.y >= 2 && bot_ladder_position_is_valid(world_, {c.x, c.y - 1, c.z}, team_) &&
          bot_cells::ladder_beside(world_, c.x, c.y + 1, c.z)) {
        offer({c.x, c.y - 1, c.z}, 0, -1, 0);
      }
      if (c.y <= kBoxMaxY - 1 && bot_ladder_position_is_valid(world_, {c.x, c.y + 1, c.z}, team_) &&
          bot_cells::ladder_beside(world_, c.x, c.y + 2, c.z)) {
        offer({c.x, c.y + 1, c.z}, 0, 1, 0);
      }
    }
  }

 private:
  void offer(Cell next, int dx, int dy, int dz) {
    const int index = cell_index(next);
    if (!scratch_.visited(index)) scratch_.discover(index, step_code(dx, dy, dz));
  }

  const World& world_;
  std::int32_t team_;
  bool mining_;
  SearchScratch& scratch_;
};

std::vector<Point> build_path(const SearchScratch& scratch, int start, int goal, Point destination) {
  std::vector<int> cells{goal};
  for (int at = goal; at != start;) {
    at = scratch.parent(at);
    cells.push_back(at);
  }
  std::vector<Point> path;
  path.reserve(cells.size());
  for (auto it = cells.rbegin(); it != cells.rend(); ++it) {
    path.push_back(bot_reference_point(cell_at_index(*it)));
  }
  // The bot finishes where it was sent, not at the centre of the goal cell.
  path.back() = destination;
  return path;
}

}  // namespace

std::vector<Point> find_bot_path(const World& world, Point origin, Point destination,
                                 std::int32_t player_team, std::uint32_t max_nodes, bool mining) {
  const Cell start = bot_support_of_point(origin);
  const Cell goal = bot_support_of_point(destination);
  if (!in_search_box(start) || !in_search_box(goal)) return {};
  if (!bot_surface_is_valid(world, start, player_team) ||
      !bot_surface_is_valid(world, goal, player_team)) {
    return {};
  }
  if (start == goal) return {destination};
  const std::uint32_t limit = std::clamp<std::uint32_t>(max_nodes, 1, kBotPathMaxNodes);

  SearchScratch& scratch = search_scratch();
  scratch.begin();
  const int start_index = cell_index(start);
  const int goal_index = cell_index(goal);
  scratch.discover(start_index, kStayCode);
  BotPathSearch search(world, player_team, mining, scratch);
  while (!scratch.queue_empty()) {
    const int index = scratch.pop();
    // The goal counts only once it comes off the queue, budget permitting.
    if (index == goal_index) return build_path(scratch, start_index, goal_index, destination);
    if (scratch.discovered() >= limit) return {};
    search.expand(cell_at_index(index));
  }
  return {};
}

}  // namespace tessmark
