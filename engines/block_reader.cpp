#include "engines/block_reader.h"

namespace zelk::engines {

BlockReader::BlockReader(platform::InputFile& file, std::uint8_t* first, std::uint8_t* second, std::size_t blockSize)
    : file_(file), buffers_{first, second}, blockSize_(blockSize) {
  thread_ = std::jthread([this](std::stop_token stop) { readBlocks(stop); });
}

BlockReader::~BlockReader() {
  {
    const std::lock_guard lock(mutex_);
    thread_.request_stop();
  }
  changed_.notify_all();
}

void BlockReader::readBlocks(const std::stop_token& stop) {
  try {
    for (int buffer = 0;; buffer = 1 - buffer) {
      {
        std::unique_lock lock(mutex_);
        // The buffer is free once the caller has neither it nor a block in it.
        changed_.wait(lock, [&] { return stop.stop_requested() || (!full_[buffer] && taken_ != buffer); });
        if (stop.stop_requested()) return;
      }
      const std::int64_t got = file_.read(buffers_[buffer], blockSize_);
      Block block;
      if (got < 0) {
        block.failed = block.last = true;
      } else {
        block.bytes = {buffers_[buffer], static_cast<std::size_t>(got)};
        block.last = file_.ended();
      }
      {
        const std::lock_guard lock(mutex_);
        filled_[buffer] = block;
        full_[buffer] = true;
      }
      changed_.notify_all();
      if (block.last) return;
    }
  } catch (...) {
    {
      const std::lock_guard lock(mutex_);
      failure_ = std::current_exception();
    }
    changed_.notify_all();
  }
}

BlockReader::Block BlockReader::next() {
  std::unique_lock lock(mutex_);
  taken_ = -1;
  changed_.notify_all();
  changed_.wait(lock, [&] { return failure_ || full_[nextToTake_]; });
  if (failure_) std::rethrow_exception(failure_);
  const int buffer = nextToTake_;
  full_[buffer] = false;
  taken_ = buffer;
  nextToTake_ = 1 - buffer;
  return filled_[buffer];
}

}  // namespace zelk::engines
