#pragma once
// Files read for their MD5 digests several at a time, one per lane of
// Md5Lanes: the way many small and middling files are hashed, since one MD5
// chain cannot go faster. Each lane reads its file in chunks into a buffer
// of its own; a lane whose file ends takes the next one while the others go
// on. Verdicts as FileHasher gives them: a file that fails part-way or
// changes while it is read gets no digest.

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <stop_token>
#include <string>

#include "engines/aligned_buffer.h"
#include "engines/file_hasher.h"
#include "engines/md5_lanes.h"
#include "platform/files.h"

namespace zelk::engines {

class Md5LaneReader {
 public:
  // Files from this size on are hashed one at a time, read ahead (see
  // FileHasher): a lane would hold up the files behind it to no gain.
  static constexpr std::int64_t kLargestFile = std::int64_t{64} << 20;
  // What each lane reads at a time at most; the reader holds width() chunks.
  static constexpr std::size_t kChunkSize = std::size_t{256} << 10;
  // Below this a read per chunk costs more than the lanes save.
  static constexpr std::size_t kSmallestChunk = std::size_t{16} << 10;

  using Done = std::function<void(HashedFile)>;

  // `chunkSize`: a power of two from kSmallestChunk to kChunkSize.
  explicit Md5LaneReader(std::size_t chunkSize = kChunkSize);

  // Whether this processor runs lanes side by side: without, a reader gains
  // nothing over FileHasher.
  static bool pays();

  // The largest chunk size whose width() buffers fit in `bytes`, or 0 when
  // even kSmallestChunk does not fit or lanes do not pay: then no reader.
  static std::size_t chunkSizeWithin(std::int64_t bytes);
  // What a reader of `chunkSize` holds when every lane has been used.
  static std::int64_t memoryFor(std::size_t chunkSize);

  std::size_t width() const { return lanes_.width(); }
  bool hasFreeLane() const;
  // Whether a lane is reading a file.
  bool busy() const;

  enum class Start {
    Started,   // in a lane: `done` follows from a later step()
    Finished,  // could not be opened: `done` has been called with why
    Declined,  // for FileHasher: too large, or its data is not in memory while `onlyCached`
  };
  // Opens `path` into a free lane (there must be one). `events` and `done`
  // are called on this thread, from step(). With `onlyCached` (a spinning
  // disk, whose heads must stream one file at a time), a file of a chunk or
  // more whose data has to come from the disk is declined.
  Start start(const std::string& path, ReadEvents events, Done done, bool onlyCached);

  // Reads a chunk for every lane that has hashed what it had, hashes, and
  // calls `done` for every file that has ended. A stop ends the busy files
  // without a verdict: their `done` is never called.
  void step(const std::stop_token& stop);

 private:
  struct Lane {
    platform::InputFile file;
    detail::AlignedBuffer buffer;
    ReadEvents events;
    Done done;
    HashedFile result;
    bool reading = false;  // a file is open in the lane
    bool ended = false;    // its last bytes are fed
  };

  // Reads the lane's next chunk and feeds it; a failed read is the file's
  // verdict at once.
  void refill(std::size_t index);
  void finish(std::size_t index, HashedFile result);

  std::size_t chunkSize_;
  Md5Lanes lanes_;
  std::array<Lane, detail::kMd5MaxLanes> slots_;
  platform::FolderCache folders_;
};

}  // namespace zelk::engines
