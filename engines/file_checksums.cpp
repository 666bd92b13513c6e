// The engines' file functions, on the reader the passes use.
#include <algorithm>
#include <optional>

#include "engines/crc32.h"
#include "engines/file_hasher.h"
#include "engines/md5.h"
#include "engines/progress_meter.h"

namespace zelk::engines {
namespace {

// Reads `fileName` for `kind`, the percentage read on `meter` (when there is
// one by the time the file is open).
HashedFile readFile(const std::string& fileName, ChecksumKind kind, ReadSettings settings,
                    std::optional<detail::ProgressMeter>& meter, ProgressSink* sinkOnceOpen) {
  FileHasher hasher(settings);
  ReadEvents events;
  std::int64_t total = 0;
  events.opened = [&](std::int64_t size) {
    if (sinkOnceOpen != nullptr) meter.emplace(sinkOnceOpen);
    if (meter) meter->setSize(size);
  };
  events.block = [&](std::int64_t bytes) {
    total += bytes;
    if (meter) meter->advance(total);
  };
  return hasher.hash(fileName, kind, {}, events);
}

FileChecksum<Crc32Value> ReadCrc32(const std::string& fileName, std::optional<detail::ProgressMeter>& meter) {
  const HashedFile hashed = readFile(fileName, ChecksumKind::Crc32, {}, meter, nullptr);
  FileChecksum<Crc32Value> result{hashed.status, {}};
  if (const Digest* digest = hashed.digests.of(ChecksumKind::Crc32)) {
    std::uint32_t value = 0;
    for (const std::uint8_t byte : digest->bytes()) value = value << 8 | byte;
    result.value = Crc32Value(value);
  }
  return result;
}

}  // namespace

FileChecksum<Crc32Value> FileCrc32(const std::string& fileName) {
  std::optional<detail::ProgressMeter> silent;
  return ReadCrc32(fileName, silent);
}

FileChecksum<Crc32Value> FileCrc32WithProgress(const std::string& fileName, ProgressSink& progress) {
  std::optional<detail::ProgressMeter> meter(std::in_place, &progress);
  return ReadCrc32(fileName, meter);
}

FileChecksum<Md5Digest> MD5File(const std::string& fileName, ProgressSink* progress) {
  // Blocks of 4,096 bytes, one after another, as MD5Stream reads a stream.
  constexpr ReadSettings kBlocksOf4KiB{4096, false, 0};
  std::optional<detail::ProgressMeter> meter;
  const HashedFile hashed = readFile(fileName, ChecksumKind::Md5, kBlocksOf4KiB, meter, progress);
  FileChecksum<Md5Digest> result{hashed.status, {}};
  if (const Digest* digest = hashed.digests.of(ChecksumKind::Md5)) {
    Md5Digest::Bytes bytes;
    std::copy(digest->bytes().begin(), digest->bytes().end(), bytes.begin());
    result.value = Md5Digest(bytes);
  }
  return result;
}

}  // namespace zelk::engines
