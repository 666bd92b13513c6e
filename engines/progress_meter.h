#pragma once
// The percentage rules every block-reading engine follows, in one place.

#include <cstdint>

#include "engines/progress.h"

namespace zelk::engines::detail {

// Shows the bar on construction and hides it on destruction, so it is hidden
// on every way out. In between, advance() sets the bar only when the whole
// percentage of the bytes read rises. Sizes are counted in whole KiB, so a
// file under 1 KiB, or of unknown size (negative), never moves the bar.
class ProgressMeter {
 public:
  // A null sink shows nothing.
  explicit ProgressMeter(ProgressSink* sink) : sink_(sink) {
    if (sink_ != nullptr) sink_->showProgress();
  }
  ~ProgressMeter() {
    if (sink_ != nullptr) sink_->hideProgress();
  }
  ProgressMeter(const ProgressMeter&) = delete;
  ProgressMeter& operator=(const ProgressMeter&) = delete;

  void setSize(std::int64_t size) { sizeKiB_ = size / 1024; }

  void advance(std::int64_t bytesRead) {
    if (sink_ == nullptr || sizeKiB_ <= 0) return;
    std::int64_t percent = bytesRead / 1024 * 100 / sizeKiB_;
    // A file that grows while it is read must not push the bar past its end.
    if (percent > 100) percent = 100;
    if (percent > shown_) {
      shown_ = percent;
      sink_->setProgress(static_cast<int>(percent));
    }
  }

 private:
  ProgressSink* sink_;
  std::int64_t sizeKiB_ = 0;
  std::int64_t shown_ = 0;
};

}  // namespace zelk::engines::detail
