#pragma once
// Checksums of a pass's files, computed by a few workers at once and handed
// back strictly in the order the files were asked for, so every line, list
// entry and count comes out as a single reader would give them. Files can be
// asked for while the first are already being read: a pass hashes while it
// still walks its folder. The pass keeps the paths (see PathOf); this keeps
// a few bytes per file and the results of a window of files at a time, so a
// pass over millions of files needs little memory.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <stop_token>
#include <string>
#include <thread>
#include <vector>

#include "engines/checksum_types.h"
#include "engines/file_hasher.h"
#include "engines/md5_lane_reader.h"
#include "passes/disk_turns.h"
#include "passes/kind_decisions.h"

namespace zelk::passes {

using engines::HashedFile;

// The number of workers `jobs` asks for: 0 means one per processor; never
// more than kMaxJobs. Together they hold at most 64 MiB for reading: two
// buffers of 1 MiB each, and on a spinning disk a file read whole in the
// room that leaves.
inline constexpr int kMaxJobs = 32;
int workerCount(int jobs);

class OrderedHashing {
 public:
  // Writes the path of the file asked for at `index` into `path`. Called on
  // the workers' threads: under a lock while files are still being asked
  // for (so the pass may add to what it reads from meanwhile), without one
  // once the first result has been asked for.
  using PathOf = std::function<void(std::size_t index, std::string& path)>;

  // With one job no thread is started: next() reads on the calling thread,
  // but for MD5 files, which one worker hashes several at once (see
  // Md5LaneReader). Otherwise workers start as files are asked for. On a `spinningDisk`
  // reads that need the disk take turns (see DiskTurns). Given `decisions`
  // (which outlive this), a file asked for with several candidate kinds is
  // read for those still undecided when its reading starts.
  OrderedHashing(int jobs, bool spinningDisk, std::stop_token stop, PathOf pathOf,
                 const KindDecisions* decisions = nullptr);
  // Stops the workers and waits for them.
  ~OrderedHashing();
  OrderedHashing(const OrderedHashing&) = delete;
  OrderedHashing& operator=(const OrderedHashing&) = delete;

  // Asks for the digests of `kinds` of one more file, the next index: on the
  // thread that calls next(), and before the first next().
  void add(engines::KindSet kinds);

  // The result for the next file asked for. Until it is there, `waiting` is
  // called on this thread about ten times a second. A stop request ends the
  // wait with a cancelled result; an exception of a worker is thrown here.
  HashedFile next(const std::function<void()>& waiting);

  // The bytes of all files asked for: as read for those done, as their
  // folders tell it for the rest (a pass that ends before it shows any
  // progress never asks the folders).
  std::int64_t totalBytes() const;
  // The size of the file next() is to hand back, as its folder tells it.
  std::int64_t awaitedSize() const;

  // Bytes read so far of the file next() is waiting for, and of all files.
  std::int64_t fileBytesRead() const;
  std::int64_t bytesRead() const { return allBytes_.load(std::memory_order_relaxed); }

 private:
  // The result of a file in the window. The worker that claimed the file
  // writes `file`, then sets `ready`; from then on it is the consumer's, who
  // takes no lock unless it has to wait, and clears it for the file
  // kWindow places further on.
  struct Result {
    HashedFile file;
    std::atomic<bool> ready{false};
    std::atomic<std::int64_t> bytesRead{0};
  };

  struct Claimed {
    bool valid = false;  // false once the pass stops or every file is taken
    std::size_t index = 0;
    engines::KindSet kinds;
    std::string path;
  };

  // Workers run at most this many files ahead of the consumer.
  static constexpr std::size_t kWindow = 4096;

  void work();
  // Hashes the file `next` on this worker, through `lanes` where it is an
  // MD5 file they take.
  void hashClaimed(Claimed& next, engines::FileHasher& hasher, engines::Md5LaneReader* lanes);
  // The worker's result of the file at `index` is in.
  void deliver(std::size_t index, HashedFile file);
  bool hasRoomFor(std::size_t index) const { return index < consumed_.load() + kWindow; }
  // The first file no worker has taken, waiting for one to be asked for.
  Claimed claim();
  // Waits until the window has room for `index`; false when the stop came first.
  bool awaitRoom(std::size_t index);
  Result& resultOf(std::size_t index) const { return window_[index % kWindow]; }
  HashedFile hashHere(const std::function<void()>& waiting);
  HashedFile awaitWorkers(const std::function<void()>& waiting);
  engines::KindSet kindsToRead(engines::KindSet kinds) const;
  std::string pathAt(std::size_t index) const;

  PathOf pathOf_;
  // Until the first next() seals them, add() changes kinds_ under mutex_ and
  // workers read it only under mutex_ (the consumer, being the one that
  // changes it, needs no lock). Once sealed it never changes again: workers
  // claim with no lock.
  std::vector<engines::KindSet> kinds_;
  std::atomic<std::size_t> claimed_{0};
  std::atomic<bool> sealed_{false};
  int idleWorkers_ = 0;  // guarded by mutex_
  std::condition_variable_any queued_;
  std::unique_ptr<Result[]> window_;
  std::atomic<std::size_t> consumed_{0};
  std::int64_t consumedBytes_ = 0;   // read of the files handed back
  std::atomic<int> roomWaiters_{0};  // workers waiting for room in the window
  std::condition_variable_any room_;
  int workerLimit_;
  static constexpr std::size_t kNothingAwaited = ~std::size_t{0};
  std::atomic<std::size_t> awaited_{kNothingAwaited};  // results from here on wake next()
  std::exception_ptr failure_;  // guarded by mutex_: the first exception of a worker
  std::atomic<bool> failed_{false};
  std::atomic<std::int64_t> allBytes_{0};
  mutable std::mutex mutex_;
  std::condition_variable resultReady_;
  std::unique_ptr<DiskTurns> diskTurns_;  // only on a spinning disk
  const KindDecisions* decisions_;
  std::stop_source stop_;
  std::stop_callback<std::function<void()>> forwardStop_;
  engines::FileHasher hereHasher_;
  std::vector<std::jthread> workers_;
};

}  // namespace zelk::passes
