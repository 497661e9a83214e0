#include "world/resources.hpp"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <optional>

#include "world/catalogue.hpp"

namespace tessmark {
namespace {

// How far beside a resource a bot looks for a standing place.
constexpr int kMaxApproachSteps = 8;
// Each cell walked through on the way in costs as much as this much distance.
constexpr float kDigStepCost = 1.5f;

struct ResourceKind {
  std::int32_t cash_value;
  // Distance counts less for more valuable blocks.
  float score_divisor;
};

std::optional<ResourceKind> resource_kind(BlockId v, bool search_ore) {
  if (search_ore) {
    if (is_ore(v)) return ResourceKind{0, 1.0f};
    return std::nullopt;
  }
  if (!is_precious(v)) return std::nullopt;
  const auto cash = static_cast<std::int32_t>(precious_cash_value(v));
  return ResourceKind{cash, static_cast<float>(cash)};
}

// Orders every float, NaNs included, so equal inputs sort the same on every run.
std::int32_t total_order_key(float f) {
  const auto bits = std::bit_cast<std::int32_t>(f);
  return bits ^ static_cast<std::int32_t>(static_cast<std::uint32_t>(bits >> 31) >> 1);
}

bool cell_less(Cell a, Cell b) {
  if (a.x != b.x) return a.x < b.x;
  if (a.y != b.y) return a.y < b.y;
  return a.z < b.z;
}

constexpr Point cell_centre(int x, int y, int z) {
  return {static_cast<float>(x) + 0.5f, static_cast<float>(y) + 0.5f, static_cast<float>(z) + 0.5f};
}

float squared_distance(Point a, Point b) {
  const float dx = a.x - b.x, dy = a.y - b.y, dz = a.z - b.z;
  return dx * dx + dy * dy + dz * dz;
}

// The places a bot must keep away from. Positions too far from the grid to
// matter are dropped up front, so that a long list of far-away positions
// costs nothing per test.
class AvoidZones {
 public:
  AvoidZones(std::span<const Point> positions, float radius) {
    const float r = radius > 0.0f ? radius : 0.0f;  // NaN counts as 0
    radius_squared_ = r * r;
    if (!(radius_squared_ > 0.0f)) return;  // nothing is strictly inside radius 0
    for (const Point& a : positions) {
      if (may_reach_grid(a, r)) near_.push_back(a);
    }
  }

  // Strictly inside the radius: a point at exactly the radius is not avoided.
  bool avoids(Point p) const {
    for (const Point& a : near_) {
      if (radius_squared_ > squared_distance(p, a)) return true;
    }
    return false;
  }

 private:
  // Every tested point lies at least one unit inside the grid's bounding box,
  // so a position whose distance to the box exceeds the radius (with room for
  // single-precision rounding) can never avoid one.
  static bool may_reach_grid(Point a, float r) {
    auto gap = [](float v) {
      return std::max({0.0, -static_cast<double>(v), static_cast<double>(v) - kGridSize});
    };
    const double gx = gap(a.x), gy = gap(a.y), gz = gap(a.z);
    const double to_box = std::sqrt(gx * gx + gy * gy + gz * gz);
    return to_box <= static_cast<double>(r) * 1.001 + 1.0;  // false for NaN
  }

  float radius_squared_ = 0.0f;
  std::vector<Point> near_;
};

// Air cells as bit masks: one bit per x along each row of fixed y and z, and
// one bit per z along each row of fixed x and y. A standing place is two air
// cells over a floor, so the nearest one in a direction falls out of a few
// bit operations instead of a walk of up to eight cells, which matters with
// thousands of ore blocks buried in dirt.
class AirMasks {
 public:
  void build(const World& world) {
    for (int z = 0; z < kGridSize; ++z) {
      for (int y = 0; y < kGridSize; ++y) {
        along_x_[static_cast<std::size_t>(y + kGridSize * z)] =
            air_bits(world.blocks.data() + cell_index(0, y, z));
      }
    }
    for (int y = 0; y < kGridSize; ++y) transpose_layer(y);
  }

  // Bit x: cell (x, y, z) holds air.
  std::uint64_t along_x(int y, int z) const {
    return along_x_[static_cast<std::size_t>(y + kGridSize * z)];
  }
  // Bit z: cell (x, y, z) holds air.
  std::uint64_t along_z(int x, int y) const {
    return along_z_[static_cast<std::size_t>(x + kGridSize * y)];
  }

 private:
  static_assert(kGridSize == 64, "one row of cells is one 64-bit mask");
  static_assert(std::endian::native == std::endian::little, "bytes load into masks in x order");

  // Eight cells at a time: the classic zero-byte test leaves 0x80 in every
  // air byte, and one multiply gathers those eight bits.
  static std::uint64_t air_bits(const BlockId* row) {
    static_assert(id(Block::Air) == 0, "the zero-byte test finds air");
    constexpr std::uint64_t kLow7 = 0x7F7F7F7F7F7F7F7Full;
    std::uint64_t bits = 0;
    for (int word = 0; word < kGridSize / 8; ++word) {
      std::uint64_t v;
      std::memcpy(&v, row + 8 * word, 8);
      const std::uint64_t zero_bytes = ~(((v & kLow7) + kLow7) | v | kLow7);
      bits |= (((zero_bytes >> 7) * 0x0102040810204080ull) >> 56) << (8 * word);
    }
    return bits;
  }

  // Turns the layer's rows along x (indexed by z) into rows along z (indexed
  // by x): a 64 x 64 bit matrix transpose by swapping ever smaller blocks.
  void transpose_layer(int y) {
    std::array<std::uint64_t, 64> m;
    for (int z = 0; z < 64; ++z) m[static_cast<std::size_t>(z)] = along_x(y, z);
    std::uint64_t keep = 0x00000000FFFFFFFFull;
    for (int j = 32; j != 0; j >>= 1, keep ^= keep << j) {
      for (int k = 0; k < 64; k = ((k | j) + 1) & ~j) {
        auto& lo = m[static_cast<std::size_t>(k)];
        auto& hi = m[static_cast<std::size_t>(k | j)];
        const std::uint64_t t = ((lo >> j) ^ hi) & keep;
        lo ^= t << j;
        hi ^= t;
      }
    }
    for (int x = 0; x < 64; ++x) {
      along_z_[static_cast<std::size_t>(x + kGridSize * y)] = m[static_cast<std::size_t>(x)];
    }
  }

  std::array<std::uint64_t, kGridSize * kGridSize> along_x_{};
  std::array<std::uint64_t, kGridSize * kGridSize> along_z_{};
};

// Reused per thread: the masks are rebuilt by every search.
AirMasks& air_masks() {
  thread_local AirMasks masks;
  return masks;
}

struct ScoredTarget {
  std::int32_t score_key;
  AccessibleResourceTarget target;
};

class ResourceScan {
 public:
  ResourceScan(const World& world, const AirMasks& air, Point origin, const AvoidZones& avoid,
               float max_vertical_delta)
      : world_(world),
        air_(air),
        origin_(origin),
        avoid_(avoid),
        max_vertical_delta_(max_vertical_delta > 0.0f ? max_vertical_delta : 0.0f) {}

  // The best target of the resource at (x, y, z), if a bot can get at it.
  std::optional<ScoredTarget> best_target(int x, int y, int z, ResourceKind kind) const {
    std::optional<ScoredTarget> best;
    if (avoid_.avoids(cell_centre(x, y, z))) return best;
    constexpr int dxs[4] = {-1, 1, 0, 0};
    constexpr int dzs[4] = {0, 0, -1, 1};
    for (int d = 0; d < 4; ++d) offer(best, side_approach(x, y, z, dxs[d], dzs[d], kind));
    offer(best, approach_from_below(x, y, z, kind));
    return best;
  }

 private:
  bool is_air(int x, int y, int z) const { return is_empty(world_.at(x, y, z)); }
  bool is_floor(int x, int y, int z) const { return is_approach_floor(world_.at(x, y, z)); }

  bool usable_approach(Point a) const {
    return !avoid_.avoids(a) && std::fabs(a.y - origin_.y) <= max_vertical_delta_;
  }

  float distance_from_origin(Point a) const { return std::sqrt(squared_distance(a, origin_)); }

  // Steps to the nearest standing place in direction (dx, dz): two air cells
  // over a floor, at most eight steps out and never past the interior; 0 if
  // there is none.
  int steps_to_spot(int x, int y, int z, int dx, int dz) const {
    const bool along_x = dx != 0;
    const int from = along_x ? x : z;
    const int step = along_x ? dx : dz;
    auto row = [&](int height) {
      return along_x ? air_.along_x(height, z) : air_.along_z(x, height);
    };
    // Air at body height and above it, something under it.
    std::uint64_t spots = row(y) & row(y + 1) & ~row(y - 1);
    const int nearest = step < 0 ? std::max(1, from - kMaxApproachSteps) : from + 1;
    const int farthest = step < 0 ? from - 1 : std::min(kGridSize - 2, from + kMaxApproachSteps);
    if (nearest > farthest) return 0;
    spots &= (~0ull >> (63 - farthest)) & (~0ull << nearest);
    while (spots != 0) {
      const int at = step < 0 ? 63 - std::countl_zero(spots) : std::countr_zero(spots);
      const int wx = along_x ? at : x, wz = along_x ? z : at;
      if (is_floor(wx, y - 1, wz)) return std::abs(at - from);  // not lava
      spots &= ~(1ull << at);
    }
    return 0;
  }

  // A standing place up to eight columns out in direction (dx, dz), and the
  // first block in the way back to the resource.
  std::optional<ScoredTarget> side_approach(int x, int y, int z, int dx, int dz,
                                            ResourceKind kind) const {
    const int steps = steps_to_spot(x, y, z, dx, dz);
    if (steps == 0) return std::nullopt;

    // Walk back in: every column needs a floor, and the first solid cell at
    // body height is where the digging starts.
    std::optional<Cell> work;
    for (int t = steps - 1; t >= 0 && !work; --t) {
      const int tx = x + t * dx, tz = z + t * dz;
      if (avoid_.avoids(cell_centre(tx, y, tz)) || !is_floor(tx, y - 1, tz)) return std::nullopt;
      if (!is_air(tx, y, tz)) {
        work = Cell{tx, y, tz};
      } else if (!is_air(tx, y + 1, tz)) {
        work = Cell{tx, y + 1, tz};
      }
    }
    if (!work || !is_minable_work_cell(world_.at(cell_index(*work)))) return std::nullopt;

    const Point approach{static_cast<float>(x + steps * dx) + 0.5f, static_cast<float>(y) + 0.95f,
                         static_cast<float>(z + steps * dz) + 0.5f};
    if (!usable_approach(approach)) return std::nullopt;
    const float distance = distance_from_origin(approach);
    const float dig = static_cast<float>(steps - 1) * kDigStepCost;
    const float score = (dig * dig + distance * distance) / kind.score_divisor;
    return scored(x, y, z, *work, approach, distance, score, kind);
  }

  // Standing in a two-cell pocket right under the resource.
  std::optional<ScoredTarget> approach_from_below(int x, int y, int z, ResourceKind kind) const {
    if (y < 4 || !is_air(x, y - 1, z) || !is_air(x, y - 2, z) || !is_floor(x, y - 3, z)) {
      return std::nullopt;
    }
    const Point approach{static_cast<float>(x) + 0.5f, static_cast<float>(y) - 1.05f,
                         static_cast<float>(z) + 0.5f};
    if (!usable_approach(approach)) return std::nullopt;
    const float distance = distance_from_origin(approach);
    const float score = (distance * distance) / kind.score_divisor;
    return scored(x, y, z, Cell{x, y, z}, approach, distance, score, kind);
  }

  ScoredTarget scored(int x, int y, int z, Cell work, Point approach, float distance, float score,
                      ResourceKind kind) const {
    return {total_order_key(score),
            {Cell{x, y, z}, work, approach, world_.at(x, y, z), kind.cash_value, distance}};
  }

  // Lower score wins; on a tie the smaller work cell; on a full tie the
  // earlier candidate stays.
  static void offer(std::optional<ScoredTarget>& best, std::optional<ScoredTarget> candidate) {
    if (!candidate) return;
    if (!best || candidate->score_key < best->score_key ||
        (candidate->score_key == best->score_key &&
         cell_less(candidate->target.work_position, best->target.work_position))) {
      best = candidate;
    }
  }

  const World& world_;
  const AirMasks& air_;
  Point origin_;
  const AvoidZones& avoid_;
  float max_vertical_delta_;
};

}  // namespace

std::vector<AccessibleResourceTarget> find_accessible_resources(
    const World& world, Point origin, std::span<const Point> avoid_positions, float avoid_radius,
    float max_vertical_delta, bool search_ore, std::size_t limit) {
  if (limit == 0) return {};
  const AvoidZones avoid(avoid_positions, avoid_radius);
  AirMasks& air = air_masks();
  air.build(world);
  const ResourceScan scan(world, air, origin, avoid, max_vertical_delta);

  // Resources are rare: rows are first tested as a whole against the id
  // range of the kind searched for, which the compiler turns into a few
  // vector compares.
  std::array<bool, 256> wanted{};
  int lowest = 256, highest = -1;
  for (int v = 0; v < 256; ++v) {
    wanted[v] = resource_kind(static_cast<BlockId>(v), search_ore).has_value();
    if (wanted[v]) lowest = std::min(lowest, v), highest = std::max(highest, v);
  }
  if (highest < 0) return {};
  const auto first_id = static_cast<BlockId>(lowest);
  const auto id_span = static_cast<BlockId>(highest - lowest);

  // The scan visits every resource exactly once, so the best target of each
  // is settled before the next resource is looked at.
  thread_local std::vector<ScoredTarget> found;  // keeps its capacity from call to call
  found.clear();
  for (int z = 1; z <= kGridSize - 2; ++z) {
    for (int y = 2; y <= kGridSize - 3; ++y) {
      const BlockId* row = world.blocks.data() + cell_index(0, y, z);
      std::uint8_t row_has_any = 0;
      for (int x = 0; x < kGridSize; ++x) {
        row_has_any |=
            static_cast<std::uint8_t>(static_cast<BlockId>(row[x] - first_id) <= id_span);
      }
      if (row_has_any == 0) continue;
      for (int x = 1; x <= kGridSize - 2; ++x) {
        if (!wanted[row[x]]) continue;
        if (auto best = scan.best_target(x, y, z, *resource_kind(row[x], search_ore))) {
          found.push_back(*best);
        }
      }
    }
  }

  // Resource cells are unique, so this order is fully determined.
  const auto better = [](const ScoredTarget& a, const ScoredTarget& b) {
    if (a.score_key != b.score_key) return a.score_key < b.score_key;
    return cell_less(a.target.resource_position, b.target.resource_position);
  };
  const std::size_t kept = std::min(limit, found.size());
  std::partial_sort(found.begin(), found.begin() + static_cast<std::ptrdiff_t>(kept), found.end(),
                    better);
  std::vector<AccessibleResourceTarget> targets;
  targets.reserve(kept);
  for (std::size_t i = 0; i < kept; ++i) targets.push_back(found[i].target);
  return targets;
}

}  // namespace tessmark
