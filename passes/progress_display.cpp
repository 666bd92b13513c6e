#include "passes/progress_display.h"

#include <algorithm>
#include <utility>

#include "engines/progress_meter.h"

namespace zelk::passes {
namespace {

constexpr auto kReportInterval = std::chrono::milliseconds(100);
// Speeds taken over less time than this say more about the start than the
// pass, so the first report waits for it; a pass over a few thousand small
// files is often over by then and never asks for their sizes.
constexpr auto kShortestMeasurement = std::chrono::milliseconds(250);

}  // namespace

ProgressDisplay::ProgressDisplay(engines::ProgressSink& bar, PassProgressObserver& overall, OrderedHashing& hashing,
                                 std::int64_t filesTotal)
    : bar_(bar),
      overall_(overall),
      hashing_(hashing),
      started_(std::chrono::steady_clock::now()),
      lastReport_(started_) {
  progress_.filesTotal = filesTotal;
}

HashedFile ProgressDisplay::await(const std::string& name) {
  progress_.currentFile = name;
  HashedFile result;
  {
    engines::detail::ProgressMeter meter(&bar_);
    // Most files are done before anyone could see their bar: the size is
    // only asked for once the pass has to wait.
    bool sized = false;
    result = hashing_.next([&] {
      if (!sized) meter.setSize(hashing_.awaitedSize());
      sized = true;
      meter.advance(hashing_.fileBytesRead());
      report(hashing_.bytesRead(), false);
    });
    if (!sized) meter.setSize(result.bytesRead);
    if (!result.cancelled) meter.advance(result.bytesRead);
  }
  ++progress_.filesDone;
  report(hashing_.bytesRead(), false);
  return result;
}

void ProgressDisplay::skipped(const std::string& name) {
  progress_.currentFile = name;
  ++progress_.filesDone;
}

void ProgressDisplay::finished() {
  if (!overall_.showsPassProgress()) return;
  progress_.filesDone = progress_.filesTotal;
  takeTotal();
  report(std::max(hashing_.bytesRead(), progress_.bytesTotal), true);
}

void ProgressDisplay::takeTotal() {
  if (totalTaken_) return;
  progress_.bytesTotal = hashing_.totalBytes();
  totalTaken_ = true;
}

void ProgressDisplay::report(std::int64_t bytesDone, bool force) {
  if (!overall_.showsPassProgress()) return;
  const auto now = std::chrono::steady_clock::now();
  if (!force && (now - lastReport_ < kReportInterval || now - started_ < kShortestMeasurement)) return;
  lastReport_ = now;
  takeTotal();
  // Files that grew while they were read must not take the total past 100 %.
  progress_.bytesDone = std::min(bytesDone, progress_.bytesTotal);
  const double seconds = std::chrono::duration<double>(now - started_).count();
  if (now - started_ >= kShortestMeasurement && progress_.bytesDone > 0) {
    progress_.bytesPerSecond = static_cast<double>(progress_.bytesDone) / seconds;
    progress_.secondsLeft = static_cast<double>(progress_.bytesTotal - progress_.bytesDone) / progress_.bytesPerSecond;
  }
  overall_.passProgress(progress_);
}

}  // namespace zelk::passes
