#pragma once
// Where the passes' checksums come from: each file read once, small ones
// whole and large ones in blocks read ahead of the hashing (BlockReader), into
// two buffers reused from file to file; the same verdicts as the engines'
// file functions (a file that changed or failed part-way never passes for a
// checksum), and a stop honoured between blocks.

#include <cstdint>
#include <functional>
#include <stop_token>
#include <string>

#include "engines/aligned_buffer.h"
#include "engines/checksum_types.h"
#include "engines/running_checksum.h"
#include "passes/disk_turns.h"
#include "platform/files.h"

namespace zelk::passes {

struct HashedFile {
  engines::FileReadStatus status = engines::FileReadStatus::OpenFailed;
  std::string checksum;    // lower-case hexadecimal when status is Ok
  std::int64_t bytesRead = 0;
  bool cancelled = false;  // the pass was stopped before the file was read whole: no verdict
};

// The memory a FileHasher holds for reading, besides a file read whole.
inline constexpr std::int64_t kHasherBuffers = std::int64_t{2} << 20;

class FileHasher {
 public:
  // A file of up to `wholeFileLimit` bytes that has to wait for its turn at
  // a spinning disk is read whole in that turn and hashed after it, so the
  // disk streams the next file while this one is hashed.
  explicit FileHasher(std::int64_t wholeFileLimit = 0) : wholeFileLimit_(wholeFileLimit) {}

  // `onBlock` is told the size of every block read, on this thread. Given a
  // `diskTurn`, a file of a block or more whose data is not all in memory is
  // read in that turn: the heads stream one file at a time. Small files cost
  // a seek each whichever reader asks, and several asked at once let the
  // disk take them in the order of its tracks: they never wait for a turn.
  HashedFile hash(const std::string& path, engines::ChecksumKind kind, const std::stop_token& stop,
                  const std::function<void(std::int64_t)>& onBlock, DiskTurns::Turn* diskTurn = nullptr);

 private:
  // A file of a block or more, read to its end: true, or false with the
  // status or cancellation in `result`. readHere() reads and hashes on
  // this thread; readAhead() reads on a second (see BlockReader).
  using BlockSeen = std::function<void(std::int64_t)>;
  bool readHere(platform::InputFile& file, engines::RunningChecksum& checksum, const std::stop_token& stop,
                const BlockSeen& onBlock, HashedFile& result);
  bool readAhead(platform::InputFile& file, engines::RunningChecksum& checksum, const std::stop_token& stop,
                 const BlockSeen& onBlock, HashedFile& result);
  // Reads the file whole, gives up `diskTurn`, then hashes what it read.
  bool readWholeInTurn(platform::InputFile& file, engines::RunningChecksum& checksum, DiskTurns::Turn& diskTurn,
                       const std::stop_token& stop, const BlockSeen& onBlock, HashedFile& result);

  engines::detail::AlignedBuffer buffers_[2];
  std::int64_t wholeFileLimit_;
  engines::detail::AlignedBuffer wholeFile_;  // grown to the largest file read whole
  std::int64_t wholeFileCapacity_ = 0;
};

}  // namespace zelk::passes
