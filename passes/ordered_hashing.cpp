#include "passes/ordered_hashing.h"

#include <algorithm>
#include <chrono>
#include <optional>
#include <stdexcept>
#include <utility>

#include "platform/files.h"

namespace zelk::passes {
namespace {

constexpr auto kTick = std::chrono::milliseconds(100);
constexpr std::size_t kBatchPerWorker = 8;
// What all workers together may hold for reading, whatever the folder holds.
constexpr std::int64_t kAllBuffers = std::int64_t{64} << 20;

}  // namespace

int workerCount(int jobs) {
  if (jobs <= 0) jobs = static_cast<int>(std::thread::hardware_concurrency());
  return std::clamp(jobs, 1, kMaxJobs);
}

OrderedHashing::OrderedHashing(int jobs, bool spinningDisk, std::stop_token stop, const KindDecisions* decisions)
    : workerLimit_(workerCount(jobs)),
      diskTurns_(spinningDisk && workerLimit_ > 1 ? std::make_unique<DiskTurns>() : nullptr),
      decisions_(decisions),
      forwardStop_(std::move(stop), [this] { stop_.request_stop(); }) {}

OrderedHashing::~OrderedHashing() {
  stop_.request_stop();
  workers_.clear();  // joins
}

void OrderedHashing::add(HashRequest request) {
  if (sealed_.load()) throw std::logic_error("a file asked for after the first result");
  bool wake = false;
  {
    const std::lock_guard lock(mutex_);
    slots_.emplace_back(std::move(request));
    wake = idleWorkers_ > 0;
  }
  if (wake) queued_.notify_one();
  if (workerLimit_ > 1 && workers_.size() < static_cast<std::size_t>(workerLimit_)) {
    workers_.emplace_back([this] { work(); });
  }
}

std::int64_t OrderedHashing::totalBytes() const {
  std::int64_t total = 0;
  for (const Slot& slot : slots_) {
    total += slot.ready.load() ? slot.bytesRead.load(std::memory_order_relaxed)
                               : platform::listedFileSize(slot.request.path);
  }
  return total;
}

std::int64_t OrderedHashing::awaitedSize() const {
  return consumed_ < slots_.size() ? platform::listedFileSize(slots_[consumed_].request.path) : 0;
}

std::int64_t OrderedHashing::fileBytesRead() const {
  return consumed_ < slots_.size() ? slots_[consumed_].bytesRead.load(std::memory_order_relaxed) : 0;
}

OrderedHashing::Claimed OrderedHashing::claim() {
  const std::stop_token stop = stop_.get_token();
  if (!sealed_.load(std::memory_order_acquire)) {
    std::unique_lock lock(mutex_);
    if (claimed_.load() >= slots_.size() && !sealed_.load()) {
      ++idleWorkers_;
      queued_.wait(lock, stop, [this] { return claimed_.load() < slots_.size() || sealed_.load(); });
      --idleWorkers_;
    }
    if (stop.stop_requested()) return {nullptr, 0};
    if (!sealed_.load()) {
      const std::size_t index = claimed_++;
      return {&slots_[index], index};
    }
  }
  if (stop.stop_requested()) return {nullptr, 0};
  const std::size_t index = claimed_++;
  if (index >= slots_.size()) return {nullptr, 0};
  return {&slots_[index], index};
}

void OrderedHashing::work() {
  engines::ReadSettings settings;
  settings.wholeFileLimit = std::max<std::int64_t>(0, kAllBuffers / workerLimit_ - engines::kHasherBuffers);
  engines::FileHasher hasher(settings);
  const std::stop_token stop = stop_.get_token();
  try {
    for (Claimed next = claim(); next.slot != nullptr; next = claim()) {
      Slot& slot = *next.slot;
      std::optional<DiskTurns::Turn> turn;
      if (diskTurns_) turn.emplace(*diskTurns_, next.index);
      engines::ReadEvents events;
      events.block = [&](std::int64_t bytes) {
        slot.bytesRead.fetch_add(bytes, std::memory_order_relaxed);
        allBytes_.fetch_add(bytes, std::memory_order_relaxed);
      };
      slot.result = hasher.hash(slot.request.path, kindsToRead(slot.request), stop, events, turn ? &*turn : nullptr);
      turn.reset();
      slot.ready.store(true);
      // Waking the waiting thread costs a system call and a switch: only
      // once what it waits for is there. (It sets awaited_ before it looks
      // at ready again, so one of the two sees the other.)
      if (next.index >= awaited_.load()) {
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

engines::KindSet OrderedHashing::kindsToRead(const HashRequest& request) const {
  return decisions_ != nullptr ? decisions_->narrowed(request.kinds) : request.kinds;
}

HashedFile OrderedHashing::next(const std::function<void()>& waiting) {
  if (!sealed_.load()) {
    {
      const std::lock_guard lock(mutex_);
      sealed_.store(true, std::memory_order_release);
    }
    queued_.notify_all();
  }
  if (consumed_ >= slots_.size()) throw std::out_of_range("no file left to hash");
  HashedFile result = workers_.empty() ? hashHere(waiting) : awaitWorkers(waiting);
  ++consumed_;
  return result;
}

HashedFile OrderedHashing::hashHere(const std::function<void()>& waiting) {
  Slot& slot = slots_[consumed_];
  auto lastTick = std::chrono::steady_clock::now();
  engines::ReadEvents events;
  events.block = [&](std::int64_t bytes) {
    slot.bytesRead.fetch_add(bytes, std::memory_order_relaxed);
    allBytes_.fetch_add(bytes, std::memory_order_relaxed);
    const auto now = std::chrono::steady_clock::now();
    if (now - lastTick < kTick) return;
    lastTick = now;
    waiting();
  };
  HashedFile result = hereHasher_.hash(slot.request.path, kindsToRead(slot.request), stop_.get_token(), events);
  slot.ready.store(true);
  return result;
}

HashedFile OrderedHashing::awaitWorkers(const std::function<void()>& waiting) {
  Slot& slot = slots_[consumed_];
  for (;;) {
    if (failed_.load()) {
      const std::lock_guard lock(mutex_);
      std::rethrow_exception(failure_);
    }
    if (slot.ready.load()) return std::move(slot.result);
    if (stop_.stop_requested()) {
      HashedFile cancelled;
      cancelled.cancelled = true;
      return cancelled;
    }
    // Small files are done faster than a thread wakes up: once it has to
    // wait, the pass waits for several results at once. Should the last of
    // them be in already, only the awaited one can still wake it.
    std::unique_lock lock(mutex_);
    const std::size_t batchEnd = std::min(consumed_ + kBatchPerWorker * workers_.size(), slots_.size() - 1);
    awaited_.store(slots_[batchEnd].ready.load() ? consumed_ : batchEnd);
    const bool woken = slot.ready.load() || failed_.load() ||
                       resultReady_.wait_for(lock, kTick) == std::cv_status::no_timeout;
    awaited_.store(kNothingAwaited);
    lock.unlock();
    if (!woken) waiting();
  }
}

}  // namespace zelk::passes
