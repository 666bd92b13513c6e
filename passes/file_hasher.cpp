#include "passes/file_hasher.h"

#include <algorithm>

#include "engines/running_checksum.h"
#include "platform/files.h"

namespace zelk::passes {
namespace {

using engines::FileReadStatus;

// Reads from the page cache run fastest in blocks of about this size (see
// ReadBufferSizeFor); one buffer of it per reader bounds the memory a pass
// needs whatever the folder holds.
constexpr std::int64_t kBlockSize = std::int64_t{1} << 20;

// How far ahead of the hashing a large file is asked into memory, and in
// what steps: enough to keep a disk busy while a block is hashed.
constexpr std::int64_t kReadAheadWindow = std::int64_t{16} << 20;
constexpr std::int64_t kReadAheadStep = std::int64_t{4} << 20;

}  // namespace

HashedFile FileHasher::hash(const std::string& path, engines::ChecksumKind kind, const std::stop_token& stop,
                            const std::function<void(std::int64_t)>& onBlock) {
  HashedFile result;
  platform::InputFile file;
  result.status = file.open(path);
  if (result.status != FileReadStatus::Ok) return result;
  if (!buffer_) buffer_ = engines::detail::MakeAlignedBuffer(kBlockSize);
  const std::int64_t size = file.size();
  // Small files are read whole; growth shows as bytes beyond the size.
  const std::int64_t capacity = std::min(kBlockSize, size + 1);
  std::unique_lock<std::mutex> disk;
  engines::RunningChecksum checksum(kind);
  std::int64_t total = 0;
  std::int64_t advisedUpTo = 0;
  for (;;) {
    if (stop.stop_requested()) {
      result.cancelled = true;
      return result;
    }
    if (size >= kBlockSize) {
      if (spinningDisk_ != nullptr && !disk.owns_lock() && !file.cached(total, std::min(capacity, size - total))) {
        disk = std::unique_lock(*spinningDisk_);
      }
      for (; advisedUpTo < std::min(size, total + kReadAheadWindow); advisedUpTo += kReadAheadStep) {
        file.readAhead(advisedUpTo, kReadAheadStep);
      }
    }
    const std::int64_t got = file.read(buffer_.get(), static_cast<std::size_t>(capacity));
    if (got < 0) {
      result.status = FileReadStatus::ReadFailed;
      return result;
    }
    checksum.update(buffer_.get(), static_cast<std::size_t>(got));
    total += got;
    result.bytesRead = total;
    onBlock(got);
    // InputFile fills the buffer unless the file has ended. A file that has
    // grown past its size has changed, and one that keeps growing would
    // never end.
    if (got < capacity || total > size) break;
  }
  result.status = file.checkUnchanged(total);
  if (result.status == FileReadStatus::Ok) result.checksum = checksum.finishHex();
  return result;
}

}  // namespace zelk::passes
