#include "passes/ordered_hashing.h"

#include <algorithm>
#include <chrono>
#include <utility>

namespace zelk::passes {
namespace {

constexpr auto kTick = std::chrono::milliseconds(100);

}  // namespace

int workerCount(int jobs) {
  if (jobs <= 0) jobs = static_cast<int>(std::thread::hardware_concurrency());
  return std::clamp(jobs, 1, kMaxJobs);
}

OrderedHashing::OrderedHashing(std::vector<HashRequest> requests, int jobs, bool spinningDisk, std::stop_token stop)
    : requests_(std::move(requests)),
      results_(requests_.size()),
      ready_(requests_.size(), 0),
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
      const std::lock_guard lock(mutex_);
      results_[i] = std::move(result);
      ready_[i] = 1;
      // Waking the waiting thread costs a system call: only for its file.
      if (i == awaited_) resultReady_.notify_all();
    }
  } catch (...) {
    // Handed to the thread that runs the pass, which ends it and reports it.
    {
      const std::lock_guard lock(mutex_);
      if (!failure_) failure_ = std::current_exception();
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
  std::unique_lock lock(mutex_);
  for (;;) {
    if (failure_) std::rethrow_exception(failure_);
    if (ready_.at(index) != 0) return std::move(results_[index]);
    if (stop_.stop_requested()) return HashedFile{engines::FileReadStatus::OpenFailed, {}, 0, true};
    awaited_ = index;
    const std::cv_status waited = resultReady_.wait_for(lock, kTick);
    awaited_ = kNothingAwaited;
    if (waited == std::cv_status::timeout) {
      lock.unlock();
      waiting();
      lock.lock();
    }
  }
}

}  // namespace zelk::passes
