#include "engines/file_hasher.h"

#include <algorithm>
#include <span>
#include <stdexcept>

#include "engines/algorithm.h"
#include "engines/block_reader.h"
#include "engines/piece_reader.h"

namespace zelk::engines {

void FileDigests::set(ChecksumKind kind, const Digest& digest) {
  if (count_ == kLargest) throw std::length_error("more digests of a file than a read computes");
  held_[count_++] = {kind, digest};
}

const Digest* FileDigests::of(ChecksumKind kind) const {
  for (std::size_t i = 0; i < count_; ++i) {
    if (held_[i].kind == kind) return &held_[i].digest;
  }
  return nullptr;
}

class FileHasher::Blocks {
 public:
  Blocks(FileHasher& owner, KindSet kinds, const std::stop_token& stop, const ReadEvents& events)
      : kinds_(kinds), stop_(stop), events_(events) {
    kinds.forEach([&](ChecksumKind kind) { hashers_[count_++] = &owner.hasherFor(kind); });
  }

  // Hashes a block and counts it. Unless it is the `last`, a stop asked for
  // meanwhile leaves the file without a verdict: false.
  bool take(std::span<const std::uint8_t> bytes, bool last, HashedFile& result) {
    for (std::size_t i = 0; i < count_; ++i) hashers_[i]->update(bytes);
    count(static_cast<std::int64_t>(bytes.size()), result);
    if (last || !stop_.stop_requested()) return true;
    result.cancelled = true;
    return false;
  }

  // Counts bytes hashed elsewhere.
  void count(std::int64_t bytes, HashedFile& result) {
    if (bytes == 0) return;
    result.bytesRead += bytes;
    if (events_.block) events_.block(bytes);
  }

  // The one hasher's pieces, when there is one hasher built from pieces.
  PieceHasher* pieces() const { return count_ == 1 ? hashers_[0]->pieces() : nullptr; }

  // The digests, every hasher started over.
  void finish(HashedFile& result) {
    std::size_t i = 0;
    kinds_.forEach([&](ChecksumKind kind) { result.digests.set(kind, hashers_[i++]->finish()); });
  }

  // Every hasher started over without a digest, for a file given up.
  void drop() {
    for (std::size_t i = 0; i < count_; ++i) hashers_[i]->finish();
  }

 private:
  KindSet kinds_;
  std::array<Hasher*, FileDigests::kLargest> hashers_{};
  std::size_t count_ = 0;
  const std::stop_token& stop_;
  const ReadEvents& events_;
};

FileHasher::FileHasher(ReadSettings settings) : settings_(settings) {}

FileHasher::~FileHasher() = default;

Hasher& FileHasher::hasherFor(ChecksumKind kind) {
  std::unique_ptr<Hasher>& hasher = hashers_.at(static_cast<std::size_t>(kind));
  if (!hasher) hasher = AlgorithmOf(kind).makeHasher();
  return *hasher;
}

bool FileHasher::readHere(platform::InputFile& file, Blocks& blocks, HashedFile& result) {
  for (;;) {
    const std::int64_t got = file.read(buffers_[0].get(), settings_.blockSize);
    if (got < 0) {
      result.status = FileReadStatus::ReadFailed;
      return false;
    }
    if (!blocks.take({buffers_[0].get(), static_cast<std::size_t>(got)}, file.ended(), result)) return false;
    if (file.ended()) return true;
  }
}

bool FileHasher::readAhead(platform::InputFile& file, Blocks& blocks, HashedFile& result) {
  BlockReader reader(file, buffers_[0].get(), buffers_[1].get(), settings_.blockSize);
  for (;;) {
    const BlockReader::Block block = reader.next();
    if (block.failed) {
      result.status = FileReadStatus::ReadFailed;
      return false;
    }
    if (!blocks.take(block.bytes, block.last, result)) return false;
    if (block.last) return true;
  }
}

bool FileHasher::readWholeInTurn(platform::InputFile& file, Blocks& blocks, ReadTurn& turn, HashedFile& result) {
  // A byte beyond the size tells a file that grew.
  const std::int64_t capacity = file.size() + 1;
  if (wholeFileCapacity_ < capacity) {
    wholeFile_ = detail::MakeAlignedBuffer(static_cast<std::size_t>(capacity));
    wholeFileCapacity_ = capacity;
  }
  const auto blockSize = static_cast<std::int64_t>(settings_.blockSize);
  // Read a block at a time, as when streaming: one read of the whole file
  // keeps the kernel's read-ahead from running ahead of it.
  bool failed = false;
  while (!file.ended() && !failed) {
    const std::int64_t room = std::min(blockSize, capacity - file.delivered());
    failed = file.read(wholeFile_.get() + file.delivered(), static_cast<std::size_t>(room)) < 0;
  }
  turn.release();
  if (failed) {
    result.status = FileReadStatus::ReadFailed;
    return false;
  }
  // Hashed a block at a time, so the bar moves and a stop is heard.
  const std::int64_t got = file.delivered();
  while (result.bytesRead < got) {
    const std::int64_t size = std::min(blockSize, got - result.bytesRead);
    const std::span<const std::uint8_t> bytes(wholeFile_.get() + result.bytesRead, static_cast<std::size_t>(size));
    if (!blocks.take(bytes, result.bytesRead + size == got, result)) return false;
  }
  return true;
}

bool FileHasher::readInPieces(platform::InputFile& file, PieceHasher& pieces, std::uint64_t count,
                              const std::stop_token& stop, Blocks& blocks, HashedFile& result) {
  if (!pieceReader_) pieceReader_ = std::make_unique<PieceReader>();
  const PieceReader::Outcome outcome =
      pieceReader_->read(file, pieces, count, stop, [&](std::int64_t bytes) { blocks.count(bytes, result); });
  if (outcome.cancelled || outcome.status != FileReadStatus::Ok) {
    result.cancelled = outcome.cancelled;
    result.status = outcome.status;
    return false;
  }
  if (!file.continueAt(static_cast<std::int64_t>(count * PieceHasher::kPieceSize))) {
    result.status = FileReadStatus::ReadFailed;
    return false;
  }
  return readHere(file, blocks, result);
}

HashedFile FileHasher::hash(const std::string& path, KindSet kinds, const std::stop_token& stop,
                            const ReadEvents& events, ReadTurn* turn) {
  if (kinds.empty() || kinds.size() > FileDigests::kLargest) {
    throw std::invalid_argument("a file is read for one or two kinds of checksum");
  }
  HashedFile result;
  platform::InputFile file;
  result.status = file.open(path, &folders_);
  if (result.status != FileReadStatus::Ok) return result;
  if (events.opened) events.opened(file.size());
  if (!buffers_[0]) {
    for (auto& buffer : buffers_) buffer = detail::MakeAlignedBuffer(settings_.blockSize);
  }
  if (stop.stop_requested()) {
    result.cancelled = true;
    return result;
  }
  Blocks blocks(*this, kinds, stop, events);
  bool ended = false;
  const std::int64_t size = file.size();
  const auto blockSize = static_cast<std::int64_t>(settings_.blockSize);
  if (size < blockSize) {
    // Read whole; growth shows as bytes beyond the size.
    const std::int64_t got = file.read(buffers_[0].get(), static_cast<std::size_t>(size + 1));
    if (got < 0) {
      result.status = FileReadStatus::ReadFailed;
    } else {
      ended = blocks.take({buffers_[0].get(), static_cast<std::size_t>(got)}, true, result);
    }
  } else {
    bool inTurn = false;
    if (turn != nullptr) {
      if (file.cached(0, blockSize) && file.cached(size - 1, 1)) {
        turn->release();
      } else if (!turn->take(stop)) {
        result.cancelled = true;
      } else {
        inTurn = true;
      }
    }
    bool aheadPays = settings_.readAhead;
    kinds.forEach([&](ChecksumKind kind) { aheadPays = aheadPays && AlgorithmOf(kind).readAhead; });
    // Whole pieces before the last byte: the tail is read as any file's end,
    // growth and all.
    const auto pieceCount = static_cast<std::uint64_t>(size - 1) / PieceHasher::kPieceSize;
    PieceHasher* const pieces = blocks.pieces();
    if (result.cancelled) {
      ended = false;
    } else if (inTurn && size <= settings_.wholeFileLimit) {
      ended = readWholeInTurn(file, blocks, *turn, result);
    } else if (pieces != nullptr && pieceCount >= 2 && PieceReader::helpersHere() > 0) {
      ended = readInPieces(file, *pieces, pieceCount, stop, blocks, result);
    } else {
      ended = aheadPays ? readAhead(file, blocks, result) : readHere(file, blocks, result);
    }
  }
  if (ended) result.status = file.checkUnchanged();
  if (ended && result.status == FileReadStatus::Ok) {
    blocks.finish(result);
  } else {
    blocks.drop();
  }
  return result;
}

}  // namespace zelk::engines
