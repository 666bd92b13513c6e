#pragma once
// The one way files are read for their checksums: each file read once,
// small ones whole and large ones in blocks (read ahead of the hashing where
// the algorithm is slow enough for that to pay, see BlockReader), into two
// buffers reused from file to file; or, for an algorithm built from pieces,
// in pieces on several threads (PieceReader). A file that changed or failed
// part-way never passes for a checksum, and a stop is honoured between
// blocks. The passes' workers and the engines' file functions (FileCrc32,
// MD5File) all read through it.

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <stop_token>
#include <string>

#include "engines/aligned_buffer.h"
#include "engines/checksum_types.h"
#include "engines/hasher.h"
#include "platform/files.h"

namespace zelk::engines {

class PieceReader;

// The digests of one file, for each kind that was asked for.
class FileDigests {
 public:
  // At most this many kinds are computed in one read of a file.
  static constexpr std::size_t kLargest = 2;

  // Throws std::length_error when kLargest digests are held already.
  void set(ChecksumKind kind, const Digest& digest);
  // Null when no digest of `kind` is held.
  const Digest* of(ChecksumKind kind) const;
  bool empty() const { return count_ == 0; }

 private:
  struct Held {
    ChecksumKind kind;
    Digest digest;
  };
  std::array<Held, kLargest> held_{};
  std::uint8_t count_ = 0;
};

struct HashedFile {
  FileReadStatus status = FileReadStatus::OpenFailed;
  FileDigests digests;     // every kind asked for when status is Ok, none otherwise
  std::int64_t bytesRead = 0;
  bool cancelled = false;  // stopped before the file was read whole: no verdict
};

// A turn at the disk (passes/disk_turns.h): a reader that needs the disk
// takes it before reading and releases it when done.
class ReadTurn {
 public:
  virtual ~ReadTurn() = default;
  // Waits for the turn; false when the stop came first.
  virtual bool take(const std::stop_token& stop) = 0;
  virtual void release() = 0;
};

// What a reader is told while it reads, on its own thread.
struct ReadEvents {
  std::function<void(std::int64_t size)> opened;   // the file is open and this large; may be empty
  std::function<void(std::int64_t bytes)> block;   // a block was read and hashed; may be empty
};

// How a FileHasher reads.
struct ReadSettings {
  std::size_t blockSize = std::size_t{1} << 20;
  // Whether a large file may be read on a second thread ahead of the hashing
  // when every algorithm asked for is slow enough (Algorithm::readAhead).
  bool readAhead = true;
  // A file of up to this many bytes that has to wait for its turn at a
  // spinning disk is read whole in that turn and hashed after it, so the
  // disk streams the next file while this one is hashed.
  std::int64_t wholeFileLimit = 0;
};

// The memory a FileHasher with the default block size holds for reading,
// besides a file read whole and, from the first file read in pieces on, a
// piece for each of the PieceReader's threads.
inline constexpr std::int64_t kHasherBuffers = std::int64_t{2} << 20;

class FileHasher {
 public:
  explicit FileHasher(ReadSettings settings = {});
  ~FileHasher();

  // Reads `path` once and computes the digest of every kind in `kinds`
  // (at most FileDigests::kLargest of them; throws std::invalid_argument for
  // more or none). Given a `turn`, a file of a block or more whose data is
  // not all in memory is read in that turn: the heads stream one file at a
  // time. Small files cost a seek each whichever reader asks, and several
  // asked at once let the disk take them in the order of its tracks: they
  // never wait for a turn.
  HashedFile hash(const std::string& path, KindSet kinds, const std::stop_token& stop, const ReadEvents& events = {},
                  ReadTurn* turn = nullptr);

 private:
  // Hashes every block one read of a file gives to all the kinds asked for.
  class Blocks;

  // A file of a block or more, read to its end: true, or false with the
  // status or cancellation in `result`. readHere() reads and hashes on this
  // thread; readAhead() reads on a second (see BlockReader).
  bool readHere(platform::InputFile& file, Blocks& blocks, HashedFile& result);
  bool readAhead(platform::InputFile& file, Blocks& blocks, HashedFile& result);
  // Reads the file whole, gives up `turn`, then hashes what it read.
  bool readWholeInTurn(platform::InputFile& file, Blocks& blocks, ReadTurn& turn, HashedFile& result);
  // Reads the first `count` pieces on several threads, then the rest here.
  bool readInPieces(platform::InputFile& file, PieceHasher& pieces, std::uint64_t count, const std::stop_token& stop,
                    Blocks& blocks, HashedFile& result);

  Hasher& hasherFor(ChecksumKind kind);

  ReadSettings settings_;
  detail::AlignedBuffer buffers_[2];
  detail::AlignedBuffer wholeFile_;  // grown to the largest file read whole
  std::int64_t wholeFileCapacity_ = 0;
  std::array<std::unique_ptr<Hasher>, kKindCount> hashers_;  // made when first needed, reused
  platform::FolderCache folders_;
  std::unique_ptr<PieceReader> pieceReader_;  // made for the first file read in pieces
};

}  // namespace zelk::engines
