#pragma once
// Reads a large file's pieces on several threads at once, for an algorithm
// built from pieces (PieceHasher, a tree hash). Each thread copies a piece
// out of the page cache and hashes it while it is still in that processor's
// cache, so the copying spreads over the processors as well as the hashing;
// threads take the next piece as they come free, so one slowed down by the
// rest of the machine holds no other up. The values go to the hasher in
// order, a window of pieces at a time.

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <stop_token>
#include <thread>
#include <vector>

#include "engines/aligned_buffer.h"
#include "engines/checksum_types.h"
#include "engines/hasher.h"
#include "platform/files.h"

namespace zelk::engines {

class PieceReader {
 public:
  // How many threads help the caller's; none on a single processor, where
  // the plain reader serves better.
  static unsigned helpersHere();

  // Starts helpersHere() threads, which wait for pieces to read.
  PieceReader();
  ~PieceReader();
  PieceReader(const PieceReader&) = delete;
  PieceReader& operator=(const PieceReader&) = delete;

  struct Outcome {
    FileReadStatus status = FileReadStatus::Ok;  // ReadFailed, or Changed for a file found shorter
    bool cancelled = false;                      // a stop came first
  };

  // Reads pieces [0, count) of `file` with readAt() and gives their values
  // to `hasher` in order; nothing is given past a failure or a stop, which
  // the threads hear before each piece. `hashed` is told, on this thread,
  // the bytes of the pieces hashed since it was last told.
  Outcome read(const platform::InputFile& file, PieceHasher& hasher, std::uint64_t count, const std::stop_token& stop,
               const std::function<void(std::int64_t bytes)>& hashed);

 private:
  static constexpr std::uint64_t kWindow = 256;  // pieces whose values wait for the slowest of them

  void help(const std::stop_token& quit, std::size_t helper);
  // Reads and hashes pieces of the window until none is left; the caller's
  // thread tells what was hashed after each.
  void work(std::uint8_t* buffer, bool caller);
  void tellHashed();
  void waitForHelpers();
  // Wakes the helpers to end; their threads are joined as they go.
  void letHelpersGo();

  std::vector<detail::AlignedBuffer> buffers_;  // the caller's, then one per helper
  // The window: set before generation_ moves on, read by the helpers after.
  const platform::InputFile* file_ = nullptr;
  const PieceHasher* hasher_ = nullptr;
  const std::stop_token* stop_ = nullptr;
  const std::function<void(std::int64_t bytes)>* hashed_ = nullptr;  // only the caller's thread tells
  std::uint64_t first_ = 0;
  std::uint64_t end_ = 0;
  std::array<PieceHasher::Value, kWindow> values_{};
  std::atomic<std::uint64_t> next_{0};
  std::atomic<FileReadStatus> failure_{FileReadStatus::Ok};
  std::atomic<std::int64_t> hashedBytes_{0};
  std::atomic<unsigned> working_{0};       // helpers not yet done with the window
  std::atomic<std::uint32_t> generation_{0};  // moves on for each window, and to let the helpers go
  std::vector<std::jthread> helpers_;
};

}  // namespace zelk::engines
