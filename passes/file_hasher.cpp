#include "passes/file_hasher.h"

#include <algorithm>
#include <span>

#include "passes/block_reader.h"
#include "platform/files.h"

namespace zelk::passes {
namespace {

using engines::FileReadStatus;

// Reads from the page cache run fastest in blocks of about this size (see
// ReadBufferSizeFor); two buffers of it per reader bound the memory a pass
// needs whatever the folder holds.
constexpr std::int64_t kBlockSize = std::int64_t{1} << 20;

// Hashes a block of the file and counts it. Unless it is the `last`, a stop
// asked for meanwhile leaves the file without a verdict: false.
bool hashBlock(std::span<const std::uint8_t> bytes, bool last, engines::RunningChecksum& checksum,
               const std::stop_token& stop, const std::function<void(std::int64_t)>& onBlock, HashedFile& result) {
  checksum.update(bytes.data(), bytes.size());
  result.bytesRead += static_cast<std::int64_t>(bytes.size());
  onBlock(static_cast<std::int64_t>(bytes.size()));
  if (last || !stop.stop_requested()) return true;
  result.cancelled = true;
  return false;
}

}  // namespace

bool FileHasher::readHere(platform::InputFile& file, engines::RunningChecksum& checksum, const std::stop_token& stop,
                          const BlockSeen& onBlock, HashedFile& result) {
  for (;;) {
    const std::int64_t got = file.read(buffers_[0].get(), kBlockSize);
    if (got < 0) {
      result.status = FileReadStatus::ReadFailed;
      return false;
    }
    // InputFile fills the buffer unless the file has ended. A file that has
    // grown past its size has changed, and one that keeps growing would
    // never end.
    const bool last = got < kBlockSize || result.bytesRead + got > file.size();
    if (!hashBlock({buffers_[0].get(), static_cast<std::size_t>(got)}, last, checksum, stop, onBlock, result)) {
      return false;
    }
    if (last) return true;
  }
}

bool FileHasher::readAhead(platform::InputFile& file, engines::RunningChecksum& checksum, const std::stop_token& stop,
                           const BlockSeen& onBlock, HashedFile& result) {
  BlockReader reader(file, buffers_[0].get(), buffers_[1].get(), kBlockSize);
  for (;;) {
    const BlockReader::Block block = reader.next();
    if (block.failed) {
      result.status = FileReadStatus::ReadFailed;
      return false;
    }
    if (!hashBlock(block.bytes, block.last, checksum, stop, onBlock, result)) return false;
    if (block.last) return true;
  }
}

bool FileHasher::readWholeInTurn(platform::InputFile& file, engines::RunningChecksum& checksum,
                                 DiskTurns::Turn& diskTurn, const std::stop_token& stop, const BlockSeen& onBlock,
                                 HashedFile& result) {
  // A byte beyond the size tells a file that grew.
  const std::int64_t capacity = file.size() + 1;
  if (wholeFileCapacity_ < capacity) {
    wholeFile_ = engines::detail::MakeAlignedBuffer(static_cast<std::size_t>(capacity));
    wholeFileCapacity_ = capacity;
  }
  // Read a block at a time, as when streaming: one read of the whole file
  // keeps the kernel's read-ahead from running ahead of it.
  std::int64_t got = 0;
  std::int64_t part = kBlockSize;
  while (part == kBlockSize && got < capacity) {
    part = file.read(wholeFile_.get() + got, static_cast<std::size_t>(std::min(kBlockSize, capacity - got)));
    if (part < 0) break;
    got += part;
  }
  diskTurn.release();
  if (part < 0) {
    result.status = FileReadStatus::ReadFailed;
    return false;
  }
  // Hashed a block at a time, so the bar moves and a stop is heard.
  while (result.bytesRead < got) {
    const std::int64_t block = std::min(kBlockSize, got - result.bytesRead);
    const std::span<const std::uint8_t> bytes(wholeFile_.get() + result.bytesRead, static_cast<std::size_t>(block));
    if (!hashBlock(bytes, result.bytesRead + block == got, checksum, stop, onBlock, result)) return false;
  }
  return true;
}

HashedFile FileHasher::hash(const std::string& path, engines::ChecksumKind kind, const std::stop_token& stop,
                            const std::function<void(std::int64_t)>& onBlock, DiskTurns::Turn* diskTurn) {
  HashedFile result;
  platform::InputFile file;
  result.status = file.open(path);
  if (result.status != FileReadStatus::Ok) return result;
  if (!buffers_[0]) {
    for (auto& buffer : buffers_) buffer = engines::detail::MakeAlignedBuffer(kBlockSize);
  }
  if (stop.stop_requested()) {
    result.cancelled = true;
    return result;
  }
  engines::RunningChecksum checksum(kind);
  const std::int64_t size = file.size();
  if (size < kBlockSize) {
    // Read whole; growth shows as bytes beyond the size.
    const std::int64_t got = file.read(buffers_[0].get(), static_cast<std::size_t>(size + 1));
    if (got < 0) {
      result.status = FileReadStatus::ReadFailed;
      return result;
    }
    hashBlock({buffers_[0].get(), static_cast<std::size_t>(got)}, true, checksum, stop, onBlock, result);
  } else {
    bool inTurn = false;
    if (diskTurn != nullptr) {
      if (file.cached(0, kBlockSize) && file.cached(size - 1, 1)) {
        diskTurn->release();
      } else if (!diskTurn->take(stop)) {
        result.cancelled = true;
        return result;
      } else {
        inTurn = true;
      }
    }
    bool ended = false;
    if (inTurn && size <= wholeFileLimit_) {
      ended = readWholeInTurn(file, checksum, *diskTurn, stop, onBlock, result);
    } else {
      ended = kind == engines::ChecksumKind::Md5 ? readAhead(file, checksum, stop, onBlock, result)
                                                 : readHere(file, checksum, stop, onBlock, result);
    }
    if (!ended) return result;
  }
  result.status = file.checkUnchanged(result.bytesRead);
  if (result.status == FileReadStatus::Ok) result.checksum = checksum.finishHex();
  return result;
}

}  // namespace zelk::passes
