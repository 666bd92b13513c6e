#pragma once
// What a pass shows while it waits for checksums: the bar of the file it
// waits for (shown before, set about ten times a second and when the file is
// done, hidden after), and the overall progress about ten times a second
// from a quarter of a second in, and once when the last file is done.
// Everything is called on the thread that runs the pass.

#include <chrono>
#include <cstdint>
#include <string>

#include "engines/progress.h"
#include "passes/ordered_hashing.h"
#include "passes/pass_progress.h"

namespace zelk::passes {

class ProgressDisplay {
 public:
  // Every file `hashing` is to hash has been asked for.
  ProgressDisplay(engines::ProgressSink& bar, PassProgressObserver& overall, OrderedHashing& hashing,
                  std::int64_t filesTotal);

  // The next result of the hashing, for the file listed as `name`. Counts
  // the file as done.
  HashedFile await(const std::string& name);

  // A file that needed no reading is done.
  void skipped(const std::string& name);

  // Every file is done: the last report.
  void finished();

 private:
  void report(std::int64_t bytesDone, bool force);
  void takeTotal();

  engines::ProgressSink& bar_;
  PassProgressObserver& overall_;
  OrderedHashing& hashing_;
  bool totalTaken_ = false;  // the total is taken when first shown
  PassProgress progress_;
  std::chrono::steady_clock::time_point started_;
  std::chrono::steady_clock::time_point lastReport_;
};

}  // namespace zelk::passes
