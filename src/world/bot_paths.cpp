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
constexpr std::uint32_t step_code(int dx, int dy, int dz) {
  return static_cast<std::uint32_t>((dx + 1) + 3 * (dy + 1) + 9 * (dz + 1));
}
constexpr std::uint32_t kStayCode = step_code(0, 0, 0);
constexpr int step_back(std::uint32_t code) {
  const int c = static_cast<int>(code);
  return -((c % 3 - 1) + kGridSize * (c / 3 % 3 - 1) + kGridSize * kGridSize * (c / 9 - 1));
}

// The state of one search, a word per grid cell: whether the cell has been
// discovered and the step from its parent, plus the answers of the two
// placement tests, which neighbouring expansions ask again and again. The
// search's stamp sits in the high bits; a word with an older stamp reads as
// blank, so nothing is cleared between searches. Kept per thread and reused,
// so a search allocates only its result.
class SearchScratch {
 public:
  static constexpr std::uint32_t kStepMask = 0x1Fu;
  static constexpr std::uint32_t kDiscovered = 1u << 5;
  static constexpr std::uint32_t kStandsKnown = 1u << 6;
  static constexpr std::uint32_t kStands = 1u << 7;
  static constexpr std::uint32_t kHangsKnown = 1u << 8;
  static constexpr std::uint32_t kHangs = 1u << 9;

  void begin() {
    if (++stamp_ > kMaxStamp) {
      std::fill(words_.begin(), words_.end(), 0u);
      stamp_ = 1;
    }
    discovered_ = 0;
    head_ = tail_ = 0;
  }

  std::uint32_t& word(int index) {
    std::uint32_t& w = words_[static_cast<std::size_t>(index)];
    if (w >> kStampShift != stamp_) w = stamp_ << kStampShift;
    return w;
  }

  // Maps a cell to its parent and queues it, unless it was discovered before.
  void discover(int index, std::uint32_t step) {
    std::uint32_t& w = word(index);
    if (w & kDiscovered) return;
    w |= kDiscovered | step;
    queue_[tail_++] = index;
    ++discovered_;
  }

  int parent(int index) const {
    return index + step_back(words_[static_cast<std::size_t>(index)] & kStepMask);
  }

  bool queue_empty() const { return head_ == tail_; }
  int pop() { return queue_[head_++]; }
  std::uint32_t discovered() const { return discovered_; }

 private:
  static constexpr int kStampShift = 10;
  static constexpr std::uint32_t kMaxStamp = (~0u) >> kStampShift;

  std::vector<std::uint32_t> words_ = std::vector<std::uint32_t>(kCellCount, 0u);
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

// One search's moves. The mode is a template argument so that each mode
// compiles to its own tight loop.
template <bool kMining>
class BotPathSearch {
 public:
  BotPathSearch(const World& world, std::int32_t player_team, SearchScratch& scratch)
      : world_(world), roles_(bot_cells::roles(player_team)), scratch_(scratch) {}

  // Adds the moves out of c, in the order that decides between equally short
  // paths: the four directions +x, -x, +z, -z, then the ladder climbs.
  void expand(Cell c) {
    constexpr int dxs[4] = {1, -1, 0, 0};
    constexpr int dzs[4] = {0, 0, 1, -1};
    const bool standing = stands(c);
    // Only a bot that hangs, or may climb, needs to know about ladders.
    const bool on_ladder = (!standing || !kMining) && hangs(c);
    for (int d = 0; d < 4; ++d) {
      const int dx = dxs[d], dz = dzs[d];
      if (!column_in_box(c.x + dx, c.z + dz)) continue;
      const Cell level{c.x + dx, c.y, c.z + dz};
      if (standing) {
        // A level walk hides a step down, which hides a step up.
        for (int dy : {0, -1, 1}) {
          const Cell next{level.x, c.y + dy, level.z};
          if (height_in_box(next.y) && stands(next)) {
            offer(next, dx, dy, dz);
            break;
          }
        }
        if (!kMining && hangs(level)) offer(level, dx, 0, dz);
      } else if (on_ladder && bot_cells::surface_is_valid<Reach>(world_, level, roles_)) {
        // A hanging bot can only step off sideways onto level ground.
        offer(level, dx, 0, dz);
      }
    }
    if (on_ladder && !kMining) {
      // The ladder must stand beside the lower body cell of the higher position.
      const Cell below{c.x, c.y - 1, c.z};
      if (c.y >= 2 && hangs(below) && bot_cells::ladder_beside<Reach>(world_, c.x, c.y + 1, c.z)) {
        offer(below, 0, -1, 0);
      }
      const Cell above{c.x, c.y + 1, c.z};
      if (c.y <= kBoxMaxY - 1 && hangs(above) &&
          bot_cells::ladder_beside<Reach>(world_, c.x, c.y + 2, c.z)) {
        offer(above, 0, 1, 0);
      }
    }
  }

 private:
  // Every position the search looks at lies in the search box.
  using Reach = bot_cells::NearSearchBox;

  // bot_path_surface_is_valid for this search's team and mode, worked out once per cell.
  bool stands(Cell c) {
    std::uint32_t& w = scratch_.word(cell_index(c));
    if (!(w & SearchScratch::kStandsKnown)) {
      w |= SearchScratch::kStandsKnown;
      if (bot_cells::path_surface_is_valid<Reach>(world_, c, roles_, kMining)) {
        w |= SearchScratch::kStands;
      }
    }
    return (w & SearchScratch::kStands) != 0;
  }

  // bot_ladder_position_is_valid for this search's team, worked out once per
  // cell. A bot can hang only beside a ladder in one of the rows along x
  // through or beside its body cells, and most rows hold none, so those
  // positions are ruled out first.
  bool hangs(Cell c) {
    const std::uint64_t rows = ladder_rows(c.y + 1) | ladder_rows(c.y + 2);
    if (((rows >> (c.z - 1)) & 0b111u) == 0) return false;
    std::uint32_t& w = scratch_.word(cell_index(c));
    if (!(w & SearchScratch::kHangsKnown)) {
      w |= SearchScratch::kHangsKnown;
      if (bot_cells::ladder_position_is_valid<Reach>(world_, c, roles_)) {
        w |= SearchScratch::kHangs;
      }
    }
    return (w & SearchScratch::kHangs) != 0;
  }

  // Bit z: the row along x at height y and depth z holds a ladder. Looked at
  // once per search and layer, when first asked.
  std::uint64_t ladder_rows(int y) {
    const auto layer = static_cast<std::size_t>(y);
    if (!ladder_rows_known_[layer]) {
      std::uint64_t rows = 0;
      for (int z = 0; z < kGridSize; ++z) {
        const BlockId* row = world_.blocks.data() + cell_index(0, y, z);
        std::uint8_t any = 0;
        for (int x = 0; x < kGridSize; ++x) any |= static_cast<std::uint8_t>(is_ladder(row[x]));
        rows |= static_cast<std::uint64_t>(any != 0) << z;
      }
      ladder_rows_[layer] = rows;
      ladder_rows_known_[layer] = true;
    }
    return ladder_rows_[layer];
  }

  void offer(Cell next, int dx, int dy, int dz) {
    scratch_.discover(cell_index(next), step_code(dx, dy, dz));
  }

  const World& world_;
  const bot_cells::BlockRoles& roles_;
  SearchScratch& scratch_;
  std::array<std::uint64_t, kGridSize> ladder_rows_{};
  std::array<bool, kGridSize> ladder_rows_known_{};
};

std::vector<Point> build_path(const SearchScratch& scratch, int start, int goal,
                              Point destination) {
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

// Breadth-first from the start, which is already queued; the goal counts only
// once it comes off the queue before the budget is spent.
template <bool kMining>
std::vector<Point> search_path(const World& world, std::int32_t player_team, SearchScratch& scratch,
                               int start_index, int goal_index, std::uint32_t limit,
                               Point destination) {
  BotPathSearch<kMining> search(world, player_team, scratch);
  while (!scratch.queue_empty()) {
    const int index = scratch.pop();
    if (index == goal_index) return build_path(scratch, start_index, goal_index, destination);
    if (scratch.discovered() >= limit) return {};
    search.expand(cell_at_index(index));
  }
  return {};
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
  return mining ? search_path<true>(world, player_team, scratch, start_index, goal_index, limit,
                                    destination)
                : search_path<false>(world, player_team, scratch, start_index, goal_index, limit,
                                     destination);
}

}  // namespace tessmark
