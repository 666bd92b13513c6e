#include "engines/running_checksum.h"

#include <algorithm>

#include "engines/crc32.h"

namespace zelk::engines {

RunningChecksum::RunningChecksum(ChecksumKind kind) : kind_(kind) { MD5Init(md5_); }

void RunningChecksum::update(const std::uint8_t* data, std::size_t size) {
  if (kind_ == ChecksumKind::Crc32) {
    crc_ = UpdateCrc32(crc_, data, static_cast<std::int64_t>(size));
    return;
  }
  // MD5Update counts in 32 bits.
  constexpr std::size_t kLargest = std::size_t{1} << 30;
  while (size > 0) {
    const std::size_t part = std::min(size, kLargest);
    MD5Update(md5_, data, static_cast<std::uint32_t>(part));
    data += part;
    size -= part;
  }
}

std::string RunningChecksum::finishHex() {
  if (kind_ == ChecksumKind::Crc32) {
    const std::string text = Crc32Value(crc_ ^ 0xFFFFFFFF).toHex();
    crc_ = 0xFFFFFFFF;
    return text;
  }
  Md5Digest digest;
  MD5Final(digest, md5_);
  MD5Init(md5_);
  return digest.toHex();
}

}  // namespace zelk::engines
