#include "passes/ordered_hashing.h"

#include <algorithm>
#include <chrono>
#include <stdexcept>
#include <utility>

#include "platform/files.h"

namespace zelk::passes {
namespace {

constexpr auto kTick = std::chrono::milliseconds(100);
constexpr std::size_t kBatchPerWorker = 8;

}  // namespace

int workerCount(int jobs) {
  if (jobs <= 0) jobs = static_cast<int>(std::thread::hardware_concurrency());
  return std::clamp(jobs, 1, kMaxJobs);
}

OrderedHashing::OrderedHashing(std::vector<HashRequest> requests, int jobs, bool spinningDisk, std::stop_token stop)
    : requests_(std::move(requests)),
      results_(requests_.size()),
      ready_(std::make_unique<std::atomic<bool>[]>(requests_.size() + 1)),
      fileBytes_(std::make_unique<std::atomic<std::int64_t>[]>(requests_.size() + 1)),
      onSpinningDisk_(spinningDisk),
      forwardStop_(std::move(stop), [this] { stop_.request_stop(); }),
      hereHasher_(spinningDisk ? &spinningDisk_ : nullptr) {
  const auto workers = std::min<std::size_t>(static_cast<std::size_t>(workerCount(jobs)), requests_.size());
  if (workers < 2) return;
  workers_.reserve(workers);
  for (std::size_t i = 0; i < workers; ++i) workers_.emplace_back([this] { work(); });
}

OrderedHashing::~OrderedHashing() {
  stop_.request_stop();
  workers_.clear();  // joins
}

std::int64_t OrderedHashing::takeListedSizes() {
  std::int64_t total = 0;
  listedSizes_.reserve(requests_.size());
  for (const HashRequest& request : requests_) {
    listedSizes_.push_back(platform::listedFileSize(request.path));
    total += listedSizes_.back();
  }
  return total;
}

std::int64_t OrderedHashing::fileBytesRead() const { return fileBytes_[consumed_].load(std::memory_order_relaxed); }

void OrderedHashing::work() {
  FileHasher hasher(onSpinningDisk_ ? &spinningDisk_ : nullptr);
  const std::stop_token stop = stop_.get_token();
  try {
    for (std::size_t i = claimed_++; i < requests_.size() && !stop.stop_requested(); i = claimed_++) {
      std::atomic<std::int64_t>& fileBytes = fileBytes_[i];
      HashedFile result = hasher.hash(requests_[i].path, requests_[i].kind, stop, [&](std::int64_t bytes) {
        fileBytes.fetch_add(bytes, std::memory_order_relaxed);
        allBytes_.fetch_add(bytes, std::memory_order_relaxed);
      });
      results_[i] = std::move(result);
      ready_[i].store(true);
      // Waking the waiting thread costs a system call and a switch: only
      // once what it waits for is there. (It sets awaited_ before it looks
      // at ready_ again, so one of the two sees the other.)
      if (i >= awaited_.load()) {
        { const std::lock_guard lock(mutex_); }
        resultReady_.notify_all();
      }
    }
  } catch (...) {
    // Handed to the thread that runs the pass, which ends it and reports it.
    {
      const std::lock_guard lock(mutex_);
      if (!failure_) failure_ = std::current_exception();
      failed_.store(true);
    }
    stop_.request_stop();
    resultReady_.notify_all();
  }
}

HashedFile OrderedHashing::next(const std::function<void()>& waiting) {
  HashedFile result = workers_.empty() ? hashHere(waiting) : awaitWorkers(waiting);
  ++consumed_;
  return result;
}

HashedFile OrderedHashing::hashHere(const std::function<void()>& waiting) {
  const HashRequest& request = requests_.at(consumed_);
  std::atomic<std::int64_t>& fileBytes = fileBytes_[consumed_];
  auto lastTick = std::chrono::steady_clock::now();
  return hereHasher_.hash(request.path, request.kind, stop_.get_token(), [&](std::int64_t bytes) {
    fileBytes.fetch_add(bytes, std::memory_order_relaxed);
    allBytes_.fetch_add(bytes, std::memory_order_relaxed);
    const auto now = std::chrono::steady_clock::now();
    if (now - lastTick < kTick) return;
    lastTick = now;
    waiting();
  });
}

HashedFile OrderedHashing::awaitWorkers(const std::function<void()>& waiting) {
  const std::size_t index = consumed_;
  if (index >= requests_.size()) throw std::out_of_range("no request left");
  for (;;) {
    if (failed_.load()) {
      const std::lock_guard lock(mutex_);
      std::rethrow_exception(failure_);
    }
    if (ready_[index].load()) return std::move(results_[index]);
    if (stop_.stop_requested()) return HashedFile{engines::FileReadStatus::OpenFailed, {}, 0, true};
    // Small files are done faster than a thread wakes up: once it has to
    // wait, the pass waits for several results at once (the tick still ends
    // the wait in time for the display, and for results already in).
    std::unique_lock lock(mutex_);
    awaited_.store(std::min(index + kBatchPerWorker * workers_.size(), requests_.size() - 1));
    const bool woken = ready_[index].load() || failed_.load() ||
                       resultReady_.wait_for(lock, kTick) == std::cv_status::no_timeout;
    awaited_.store(kNothingAwaited);
    lock.unlock();
    if (!woken) waiting();
  }
}

}  // namespace zelk::passes
