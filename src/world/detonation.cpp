#include "world/detonation.hpp"

#include <algorithm>
#include <array>
#include <bit>
#include <optional>

#include "world/catalogue.hpp"

namespace tessmark {

namespace {

constexpr int kLowestInterior = 1;
constexpr int kHighestInterior = kGridSize - 2;
constexpr int kWidestOffset = kHighestInterior - kLowestInterior;  // 61
// From any interior cell a ball of this radius covers the whole interior, so
// larger radii act exactly like it and the squares stay small.
constexpr int kWholeInteriorRadius = 106;
static_assert(kWholeInteriorRadius * kWholeInteriorRadius >= 3 * kWidestOffset * kWidestOffset);

// reach(rem): the largest offset o with o * o <= rem (rem >= 0), capped at the
// widest offset between two interior cells.
constexpr int kReachTableSize = kWidestOffset * kWidestOffset;
constexpr std::array<std::uint8_t, kReachTableSize> kReachTable = [] {
  std::array<std::uint8_t, kReachTableSize> table{};
  int o = 0;
  for (int rem = 0; rem < kReachTableSize; ++rem) {
    while ((o + 1) * (o + 1) <= rem) ++o;
    table[static_cast<std::size_t>(rem)] = static_cast<std::uint8_t>(o);
  }
  return table;
}();

int reach(int rem) {
  return rem >= kReachTableSize ? kWidestOffset : kReachTable[static_cast<std::size_t>(rem)];
}

// Bits lo..hi of a 64-bit mask; empty when lo > hi.
std::uint64_t bit_range(int lo, int hi) {
  if (lo > hi) return 0;
  return (~std::uint64_t{0} >> (63 - hi)) & (~std::uint64_t{0} << lo);
}

// The interior cells a blast can still act on, one bit per z in each (x, y)
// column. A column is read from the grid the first time a blast reaches it;
// from then on cells only leave, as the blast clears them. This lets a chain
// through thousands of explosives with a large radius skip the space it has
// already emptied instead of rescanning it for every explosive.
class BlastTargets {
 public:
  explicit BlastTargets(const World& world)
      : world_(world), columns_(static_cast<std::size_t>(kGridSize * kGridSize), 0) {
    // Columns not read yet count as possibly holding targets.
    rows_.fill(bit_range(kLowestInterior, kHighestInterior));
  }

  // The y of every column at this x that may still hold targets.
  std::uint64_t rows(int x) const { return rows_[static_cast<std::size_t>(x)]; }

  std::uint64_t column(int x, int y) {
    if ((read_[static_cast<std::size_t>(x)] >> y & 1) == 0) read_column(x, y);
    return columns_[slot(x, y)];
  }

  void remove(int x, int y, int z) {
    std::uint64_t& bits = columns_[slot(x, y)];
    bits &= ~(std::uint64_t{1} << z);
    if (bits == 0) rows_[static_cast<std::size_t>(x)] &= ~(std::uint64_t{1} << y);
  }

 private:
  static std::size_t slot(int x, int y) { return static_cast<std::size_t>(x + kGridSize * y); }

  void read_column(int x, int y) {
    std::uint64_t bits = 0;
    for (int z = kLowestInterior; z <= kHighestInterior; ++z) {
      if (is_reached_by_blast(world_.at(x, y, z))) bits |= std::uint64_t{1} << z;
    }
    columns_[slot(x, y)] = bits;
    read_[static_cast<std::size_t>(x)] |= std::uint64_t{1} << y;
    if (bits == 0) rows_[static_cast<std::size_t>(x)] &= ~(std::uint64_t{1} << y);
  }

  const World& world_;
  std::vector<std::uint64_t> columns_;
  std::array<std::uint64_t, kGridSize> rows_{};
  std::array<std::uint64_t, kGridSize> read_{};
};

// One explosive's scan of its ball, paused while a chained explosive it met
// runs its own. x, y, z is the next cell to look at (0: the start of the range).
struct BlastScan {
  Cell centre;
  int x = 0, y = 0, z = 0;
};

class Detonation {
 public:
  Detonation(World& world, int radius)
      : world_(world), radius_(radius), radius_squared_(radius * radius), targets_(world) {}

  std::vector<Cell> run(Cell start) {
    set_off(start);
    // An explicit stack instead of recursion: a chain can reach every
    // explosive in the grid, far deeper than the main thread's stack allows.
    while (!scans_.empty()) {
      if (const std::optional<Cell> next = scan_on(scans_.back())) {
        set_off(*next);
      } else {
        scans_.pop_back();
      }
    }
    return std::move(cleared_);
  }

 private:
  void clear(Cell c) {
    world_.write_cell(c.x, c.y, c.z, id(Block::Air));
    cleared_.push_back(c);
  }

  void set_off(Cell c) {
    clear(c);
    scans_.push_back({c, std::max(kLowestInterior, c.x - radius_), 0, 0});
  }

  // Continues the scan in x, then y, then z order over the ball's interior
  // cells, clearing as it goes. Stops at the next explosive (already cleared,
  // for the caller to set off) or returns nothing when the ball is done.
  std::optional<Cell> scan_on(BlastScan& s) {
    const Cell c = s.centre;
    const int x_hi = std::min(kHighestInterior, c.x + radius_);
    for (; s.x <= x_hi; ++s.x, s.y = 0, s.z = 0) {
      const int dx = s.x - c.x;
      const int rem_x = radius_squared_ - dx * dx;
      const int ry = reach(rem_x);
      const int y_hi = std::min(kHighestInterior, c.y + ry);
      if (s.y == 0) s.y = std::max(kLowestInterior, c.y - ry);
      for (std::uint64_t ys = targets_.rows(s.x) & bit_range(s.y, y_hi); ys != 0; ys &= ys - 1) {
        const int y = std::countr_zero(ys);
        if (y != s.y) {
          s.y = y;
          s.z = 0;
        }
        const int dy = y - c.y;
        const int rz = reach(rem_x - dy * dy);
        const int z_hi = std::min(kHighestInterior, c.z + rz);
        if (s.z == 0) s.z = std::max(kLowestInterior, c.z - rz);
        for (std::uint64_t zs = targets_.column(s.x, y) & bit_range(s.z, z_hi); zs != 0; zs &= zs - 1) {
          const int z = std::countr_zero(zs);
          const Cell cell{s.x, y, z};
          const bool chains = is_explosive(world_.at(cell_index(cell)));
          targets_.remove(cell.x, cell.y, cell.z);
          if (chains) {
            s.z = z + 1;
            return cell;
          }
          clear(cell);
        }
      }
    }
    return std::nullopt;
  }

  World& world_;
  const int radius_;
  const int radius_squared_;
  BlastTargets targets_;
  std::vector<Cell> cleared_;
  std::vector<BlastScan> scans_;
};

}  // namespace

std::vector<Cell> detonate_at_cells(World& world, std::int32_t x, std::int32_t y, std::int32_t z,
                                    std::int32_t radius) {
  if (!is_interior(x, y, z) || !is_explosive(world.at(x, y, z))) return {};
  const int r = std::clamp(radius, 0, kWholeInteriorRadius);
  return Detonation(world, r).run({x, y, z});
}

}  // namespace tessmark
