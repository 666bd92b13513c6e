#pragma once
// Checksums of a pass's files, computed by a few workers at once and handed
// back strictly in the order the files were asked for, so every line, list
// entry and count comes out as a single reader would give them.

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
#include "passes/file_hasher.h"

namespace zelk::passes {

struct HashRequest {
  std::string path;
  engines::ChecksumKind kind;
};

// The number of workers `jobs` asks for: 0 means one per processor; never
// more than kMaxJobs, each holding two read buffers of 1 MiB.
inline constexpr int kMaxJobs = 32;
int workerCount(int jobs);

class OrderedHashing {
 public:
  // Files are taken up in request order. With one job, or one file, no
  // thread is started: next() reads on the calling thread. `spinningDisk`
  // makes reads that need the disk wait their turn (see FileHasher).
  OrderedHashing(std::vector<HashRequest> requests, int jobs, bool spinningDisk, std::stop_token stop);
  // Stops the workers and waits for them.
  ~OrderedHashing();
  OrderedHashing(const OrderedHashing&) = delete;
  OrderedHashing& operator=(const OrderedHashing&) = delete;

  // The result for the next request. Until it is there, `waiting` is called
  // on this thread about ten times a second. A stop request ends the wait
  // with a cancelled result; an exception of a worker is thrown here.
  HashedFile next(const std::function<void()>& waiting);

  // Sizes of the requested files as their folders tell them, taken on the
  // calling thread while the workers start reading; returns their sum.
  std::int64_t takeListedSizes();
  // The listed size of the file next() is to hand back (0 before
  // takeListedSizes()).
  std::int64_t listedSize() const { return consumed_ < listedSizes_.size() ? listedSizes_[consumed_] : 0; }

  // Bytes read so far of the file next() is waiting for, and of all files.
  std::int64_t fileBytesRead() const;
  std::int64_t bytesRead() const { return allBytes_.load(std::memory_order_relaxed); }

 private:
  void work();
  HashedFile hashHere(const std::function<void()>& waiting);
  HashedFile awaitWorkers(const std::function<void()>& waiting);

  std::vector<HashRequest> requests_;
  // A worker writes results_[i], then sets ready_[i]; from then on the
  // result is the consumer's. No lock is taken unless the consumer waits.
  std::vector<HashedFile> results_;
  std::unique_ptr<std::atomic<bool>[]> ready_;
  static constexpr std::size_t kNothingAwaited = ~std::size_t{0};
  std::atomic<std::size_t> awaited_{kNothingAwaited};  // results from here on wake next()
  std::exception_ptr failure_;  // guarded by mutex_: the first exception of a worker
  std::atomic<bool> failed_{false};
  std::unique_ptr<std::atomic<std::int64_t>[]> fileBytes_;
  std::atomic<std::int64_t> allBytes_{0};
  std::atomic<std::size_t> claimed_{0};
  std::size_t consumed_ = 0;
  std::vector<std::int64_t> listedSizes_;
  std::mutex mutex_;
  std::condition_variable resultReady_;
  std::mutex spinningDisk_;
  bool onSpinningDisk_;
  std::stop_source stop_;
  std::stop_callback<std::function<void()>> forwardStop_;
  FileHasher hereHasher_;
  std::vector<std::jthread> workers_;
};

}  // namespace zelk::passes
