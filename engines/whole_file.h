#pragma once
// Loads files whole into one buffer that is reused from file to file: fresh
// pages for every file would cost more than the checksum itself.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "engines/aligned_buffer.h"

namespace zelk::engines {

class WholeFileLoader {
 public:
  // Files larger than this are not loaded: the caller falls back to reading
  // in blocks with progress, so memory stays bounded whatever the file size.
  static constexpr std::int64_t kLimit = std::int64_t{64} << 20;

  // The file's bytes, valid until the next load; nullopt when the file cannot
  // be opened or read, or is larger than kLimit.
  std::optional<std::span<const std::uint8_t>> load(const std::string& fileName);

 private:
  detail::AlignedBuffer buffer_;
  std::size_t capacity_ = 0;
};

}  // namespace zelk::engines
