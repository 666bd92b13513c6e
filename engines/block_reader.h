#pragma once
// Reads a large file's blocks on a thread of its own, one block ahead of the
// caller: while the caller hashes a block the next one is read (waiting for
// the disk, or copying from memory), so a pass costs the larger of reading
// and hashing, not their sum. Pays where hashing is as slow as reading
// (MD5); where it is far faster (CRC-32), waking the caller for every block
// costs more than it saves, and the kernel's own read-ahead keeps the disk
// busy during the short hashing.

#include <condition_variable>
#include <cstdint>
#include <exception>
#include <mutex>
#include <span>
#include <stop_token>
#include <thread>

#include "platform/files.h"

namespace zelk::engines {

class BlockReader {
 public:
  // Reads `file` from its current position into `first` and `second` by
  // turns, each `blockSize` bytes, until its data has ended (see
  // InputFile::ended). `file` and the buffers outlive the reader.
  BlockReader(platform::InputFile& file, std::uint8_t* first, std::uint8_t* second, std::size_t blockSize);
  // Stops the reading and waits for it.
  ~BlockReader();
  BlockReader(const BlockReader&) = delete;
  BlockReader& operator=(const BlockReader&) = delete;

  struct Block {
    std::span<const std::uint8_t> bytes;
    bool failed = false;  // the read failed: no more blocks
    bool last = false;    // no block follows
  };

  // The next block, valid until the following call. Rethrows what the
  // reading thread threw.
  Block next();

 private:
  void readBlocks(const std::stop_token& stop);

  platform::InputFile& file_;
  std::uint8_t* buffers_[2];
  std::size_t blockSize_;
  std::mutex mutex_;
  std::condition_variable changed_;
  Block filled_[2];
  bool full_[2] = {false, false};  // guarded by mutex_: a block waits to be taken
  std::exception_ptr failure_;    // likewise
  int taken_ = -1;                // the buffer the caller holds, -1 for none
  int nextToTake_ = 0;
  std::jthread thread_;
};

}  // namespace zelk::engines
