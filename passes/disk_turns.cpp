#include "passes/disk_turns.h"

namespace zelk::passes {

bool DiskTurns::Turn::take(const std::stop_token& stop) {
  std::unique_lock lock(turns_.mutex_);
  return turns_.advanced_.wait(lock, stop, [this] { return turns_.next_ == index_; });
}

void DiskTurns::Turn::release() {
  if (released_) return;
  released_ = true;
  {
    const std::lock_guard lock(turns_.mutex_);
    std::vector<bool>& released = turns_.released_;
    if (released.size() <= index_) released.resize(index_ + 1);
    released[index_] = true;
    if (turns_.next_ != index_) return;
    while (turns_.next_ < released.size() && released[turns_.next_]) ++turns_.next_;
  }
  turns_.advanced_.notify_all();
}

}  // namespace zelk::passes
