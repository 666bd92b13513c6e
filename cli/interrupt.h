#pragma once
// Ctrl+C during a pass: the first asks the pass to stop, so it ends with its
// cancelled outcome (no list written, the report so far); a second ends the
// process at once, removing temporary files as every terminating signal does.

#include <stop_token>
#include <thread>

namespace zelk::cli {

class InterruptStopsPass {
 public:
  // Takes SIGINT over until destroyed; what handled it before (see
  // platform::removePendingFilesOnTermination) handles the second one.
  InterruptStopsPass();
  ~InterruptStopsPass();
  InterruptStopsPass(const InterruptStopsPass&) = delete;
  InterruptStopsPass& operator=(const InterruptStopsPass&) = delete;

  std::stop_token token() const { return stop_.get_token(); }

 private:
  std::stop_source stop_;
  std::jthread watcher_;
};

}  // namespace zelk::cli
