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
// Results per worker the pass waits for at once, once it has to wait: a
// wait costs two thread switches, more than hashing a small file, and 32
// takes a fifth of the futex calls of 8 over 10,000 files of 4 KiB.
constexpr std::size_t kBatchPerWorker = 32;
// What all workers together may hold for reading, whatever the folder holds.
constexpr std::int64_t kAllBuffers = std::int64_t{64} << 20;

}  // namespace

int workerCount(int jobs) {
  if (jobs <= 0) jobs = static_cast<int>(std::thread::hardware_concurrency());
  return std::clamp(jobs, 1, kMaxJobs);
}

OrderedHashing::OrderedHashing(int jobs, bool spinningDisk, std::stop_token stop, PathOf pathOf,
                               const KindDecisions* decisions)
    : pathOf_(std::move(pathOf)),
      window_(std::make_unique<Result[]>(kWindow)),
      workerLimit_(workerCount(jobs)),
      diskTurns_(spinningDisk && workerLimit_ > 1 ? std::make_unique<DiskTurns>() : nullptr),
      decisions_(decisions),
      forwardStop_(std::move(stop), [this] { stop_.request_stop(); }) {}

OrderedHashing::~OrderedHashing() {
  stop_.request_stop();
  workers_.clear();  // joins
}

void OrderedHashing::add(engines::KindSet kinds) {
  if (sealed_.load()) throw std::logic_error("a file asked for after the first result");
  bool wake = false;
  {
    const std::lock_guard lock(mutex_);
    kinds_.push_back(kinds);
    wake = idleWorkers_ > 0;
  }
  if (wake) queued_.notify_one();
  // One job hashes on the calling thread, unless the file is one for MD5
  // lanes, which need several files in flight and so a worker.
  const bool lanesPay = kinds == engines::ChecksumKind::Md5 && engines::Md5LaneReader::pays();
  if ((workerLimit_ > 1 || lanesPay) && workers_.size() < static_cast<std::size_t>(workerLimit_)) {
    workers_.emplace_back([this] { work(); });
  }
}

std::string OrderedHashing::pathAt(std::size_t index) const {
  std::string path;
  pathOf_(index, path);
  return path;
}

std::int64_t OrderedHashing::totalBytes() const {
  std::int64_t total = consumedBytes_;
  const std::size_t consumed = consumed_.load();
  for (std::size_t index = consumed; index < kinds_.size(); ++index) {
    const Result& result = resultOf(index);
    const bool read = index < consumed + kWindow && result.ready.load();
    total += read ? result.bytesRead.load(std::memory_order_relaxed) : platform::listedFileSize(pathAt(index));
  }
  return total;
}

std::int64_t OrderedHashing::awaitedSize() const {
  const std::size_t consumed = consumed_.load();
  return consumed < kinds_.size() ? platform::listedFileSize(pathAt(consumed)) : 0;
}

std::int64_t OrderedHashing::fileBytesRead() const {
  const std::size_t consumed = consumed_.load();
  return consumed < kinds_.size() ? resultOf(consumed).bytesRead.load(std::memory_order_relaxed) : 0;
}

OrderedHashing::Claimed OrderedHashing::claim() {
  const std::stop_token stop = stop_.get_token();
  Claimed claimed;
  if (!sealed_.load(std::memory_order_acquire)) {
    std::unique_lock lock(mutex_);
    if (claimed_.load() >= kinds_.size() && !sealed_.load()) {
      ++idleWorkers_;
      queued_.wait(lock, stop, [this] { return claimed_.load() < kinds_.size() || sealed_.load(); });
      --idleWorkers_;
    }
    if (stop.stop_requested()) return claimed;
    if (!sealed_.load()) {
      claimed.index = claimed_++;
      claimed.kinds = kinds_[claimed.index];
      pathOf_(claimed.index, claimed.path);
      claimed.valid = true;
      return claimed;
    }
  }
  if (stop.stop_requested()) return claimed;
  claimed.index = claimed_++;
  if (claimed.index >= kinds_.size()) return claimed;
  claimed.kinds = kinds_[claimed.index];
  pathOf_(claimed.index, claimed.path);
  claimed.valid = true;
  return claimed;
}

bool OrderedHashing::awaitRoom(std::size_t index) {
  if (hasRoomFor(index)) return true;
  std::unique_lock lock(mutex_);
  ++roomWaiters_;
  const bool room = room_.wait(lock, stop_.get_token(), [&] { return hasRoomFor(index); });
  --roomWaiters_;
  return room;
}

void OrderedHashing::deliver(std::size_t index, HashedFile file) {
  Result& result = resultOf(index);
  result.file = std::move(file);
  result.ready.store(true);
  // Waking the waiting thread costs a system call and a switch: only once
  // what it waits for is there. (It sets awaited_ before it looks at ready
  // again, so one of the two sees the other.)
  if (index >= awaited_.load()) {
    { const std::lock_guard lock(mutex_); }
    resultReady_.notify_all();
  }
}

void OrderedHashing::hashClaimed(Claimed& next, engines::FileHasher& hasher, engines::Md5LaneReader* lanes) {
  const std::stop_token stop = stop_.get_token();
  // Claimed in order and so turned at the disk in order.
  std::optional<DiskTurns::Turn> turn;
  if (diskTurns_) turn.emplace(*diskTurns_, next.index);
  Result& result = resultOf(next.index);
  engines::ReadEvents events;
  events.block = [this, &result](std::int64_t bytes) {
    result.bytesRead.fetch_add(bytes, std::memory_order_relaxed);
    allBytes_.fetch_add(bytes, std::memory_order_relaxed);
  };
  const engines::KindSet kinds = kindsToRead(next.kinds);
  if (lanes != nullptr && kinds == engines::ChecksumKind::Md5) {
    const std::size_t index = next.index;
    const auto started = lanes->start(next.path, events, [this, index](HashedFile file) { deliver(index, std::move(file)); },
                                      turn.has_value());
    // A file in a lane never waits for the disk: the lanes read a few
    // files at once, and a turn waited for there could hold up a file in
    // another lane that the pass waits for.
    if (started != engines::Md5LaneReader::Start::Declined) return;
  }
  // What this worker holds in its lanes is done first, for the same reason.
  while (lanes != nullptr && lanes->busy() && !stop.stop_requested()) lanes->step(stop);
  deliver(next.index, hasher.hash(next.path, kinds, stop, events, turn ? &*turn : nullptr));
}

void OrderedHashing::work() {
  // Each worker's share of the buffers: its hasher's blocks first, then its
  // lanes, then what is left for a file read whole on a spinning disk.
  const std::int64_t share = kAllBuffers / workerLimit_ - engines::kHasherBuffers;
  const std::size_t chunkSize = engines::Md5LaneReader::chunkSizeWithin(share);
  std::optional<engines::Md5LaneReader> lanes;
  if (chunkSize != 0) lanes.emplace(chunkSize);
  engines::Md5LaneReader* laneReader = lanes ? &*lanes : nullptr;
  engines::ReadSettings settings;
  settings.wholeFileLimit =
      std::max<std::int64_t>(0, share - (chunkSize == 0 ? 0 : engines::Md5LaneReader::memoryFor(chunkSize)));
  engines::FileHasher hasher(settings);
  const std::stop_token stop = stop_.get_token();
  try {
    std::optional<Claimed> waiting;  // claimed, but ahead of the window
    while (!stop.stop_requested()) {
      if (!waiting) {
        Claimed next = claim();
        if (!next.valid) break;
        waiting = std::move(next);
      }
      // A worker waits for room only with empty lanes: the pass may be
      // waiting for one of the files in them.
      if (laneReader != nullptr && laneReader->busy() && (!hasRoomFor(waiting->index) || !laneReader->hasFreeLane())) {
        laneReader->step(stop);
        continue;
      }
      if (!awaitRoom(waiting->index)) break;
      hashClaimed(*waiting, hasher, laneReader);
      waiting.reset();
    }
    while (laneReader != nullptr && laneReader->busy() && !stop.stop_requested()) laneReader->step(stop);
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

engines::KindSet OrderedHashing::kindsToRead(engines::KindSet kinds) const {
  return decisions_ != nullptr ? decisions_->narrowed(kinds) : kinds;
}

HashedFile OrderedHashing::next(const std::function<void()>& waiting) {
  if (!sealed_.load()) {
    {
      const std::lock_guard lock(mutex_);
      sealed_.store(true, std::memory_order_release);
    }
    queued_.notify_all();
  }
  const std::size_t consumed = consumed_.load();
  if (consumed >= kinds_.size()) throw std::out_of_range("no file left to hash");
  HashedFile file = workers_.empty() ? hashHere(waiting) : awaitWorkers(waiting);
  // The window's place is cleared for the file kWindow further on before
  // its worker may see the room.
  Result& result = resultOf(consumed);
  consumedBytes_ += result.bytesRead.load(std::memory_order_relaxed);
  result.file = HashedFile();
  result.bytesRead.store(0);
  result.ready.store(false);
  consumed_.store(consumed + 1);
  if (roomWaiters_.load() > 0) {
    { const std::lock_guard lock(mutex_); }
    room_.notify_all();
  }
  return file;
}

HashedFile OrderedHashing::hashHere(const std::function<void()>& waiting) {
  const std::size_t index = consumed_.load();
  Result& result = resultOf(index);
  auto lastTick = std::chrono::steady_clock::now();
  engines::ReadEvents events;
  events.block = [&](std::int64_t bytes) {
    result.bytesRead.fetch_add(bytes, std::memory_order_relaxed);
    allBytes_.fetch_add(bytes, std::memory_order_relaxed);
    const auto now = std::chrono::steady_clock::now();
    if (now - lastTick < kTick) return;
    lastTick = now;
    waiting();
  };
  return hereHasher_.hash(pathAt(index), kindsToRead(kinds_[index]), stop_.get_token(), events);
}

HashedFile OrderedHashing::awaitWorkers(const std::function<void()>& waiting) {
  const std::size_t consumed = consumed_.load();
  Result& result = resultOf(consumed);
  for (;;) {
    if (failed_.load()) {
      const std::lock_guard lock(mutex_);
      std::rethrow_exception(failure_);
    }
    if (result.ready.load()) return std::move(result.file);
    if (stop_.stop_requested()) {
      HashedFile cancelled;
      cancelled.cancelled = true;
      return cancelled;
    }
    // Small files are done faster than a thread wakes up: once it has to
    // wait, the pass waits for several results at once. Should the last of
    // them be in already, only the awaited one can still wake it.
    std::unique_lock lock(mutex_);
    const std::size_t batchEnd = std::min(consumed + kBatchPerWorker * workers_.size(), kinds_.size() - 1);
    awaited_.store(resultOf(batchEnd).ready.load() ? consumed : batchEnd);
    const bool woken = result.ready.load() || failed_.load() ||
                       resultReady_.wait_for(lock, kTick) == std::cv_status::no_timeout;
    awaited_.store(kNothingAwaited);
    lock.unlock();
    if (!woken) waiting();
  }
}

}  // namespace zelk::passes
