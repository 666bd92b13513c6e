#pragma once
// A checksum of either kind taken block by block, for readers that own their
// blocks: the passes read each file once and feed whatever they read here.

#include <cstddef>
#include <cstdint>
#include <string>

#include "engines/checksum_types.h"
#include "engines/md5.h"

namespace zelk::engines {

class RunningChecksum {
 public:
  explicit RunningChecksum(ChecksumKind kind);

  // Blocks of any size, the same value whatever the split.
  void update(const std::uint8_t* data, std::size_t size);

  // The value in the text form lists hold; the checksum starts over afterwards.
  std::string finishHex();

 private:
  ChecksumKind kind_;
  std::uint32_t crc_ = 0xFFFFFFFF;
  TMD5Context md5_{};
};

}  // namespace zelk::engines
