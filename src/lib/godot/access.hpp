#pragma once
// Per-object access bookkeeping: const methods share the world, the others
// take it exclusively, for the whole call. Calls arrive on the main thread
// only, so this is counting, not locking; a conflict can only come from
// re-entrance and is refused.

namespace tessmark::godot {

class AccessTracker {
 public:
  bool try_share() {
    if (exclusive_) return false;
    ++shared_;
    return true;
  }
  bool try_take() {
    if (exclusive_ || shared_ > 0) return false;
    exclusive_ = true;
    return true;
  }
  void release_shared() { --shared_; }
  void release_exclusive() { exclusive_ = false; }
  bool idle() const { return !exclusive_ && shared_ == 0; }

 private:
  int shared_ = 0;
  bool exclusive_ = false;
};

// Holds shared or exclusive access for one scope, if it could be taken.
class ScopedAccess {
 public:
  ScopedAccess(AccessTracker& tracker, bool exclusive)
      : tracker_(tracker),
        exclusive_(exclusive),
        held_(exclusive ? tracker.try_take() : tracker.try_share()) {}
  ScopedAccess(const ScopedAccess&) = delete;
  ScopedAccess& operator=(const ScopedAccess&) = delete;
  ~ScopedAccess() {
    if (!held_) return;
    if (exclusive_) {
      tracker_.release_exclusive();
    } else {
      tracker_.release_shared();
    }
  }
  bool held() const { return held_; }

 private:
  AccessTracker& tracker_;
  bool exclusive_;
  bool held_;
};

}  // namespace tessmark::godot
