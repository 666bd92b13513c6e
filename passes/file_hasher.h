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

class FileHasher {
 public:
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

  engines::detail::AlignedBuffer buffers_[2];
};

}  // namespace zelk::passes
