#pragma once
// Loads files whole into one buffer that is reused from file to file: fresh
// pages for every file would cost more than the checksum itself.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "engines/aligned_buffer.h"
#include "engines/checksum_types.h"

namespace zelk::engines {

class WholeFileLoader {
 public:
  // Files larger than this are not loaded: the caller falls back to reading
  // in blocks with progress, so memory stays bounded whatever the file size.
  static constexpr std::int64_t kLimit = std::int64_t{64} << 20;

  using Bytes = std::span<const std::uint8_t>;

  // The file's bytes (valid until the next load) with status Ok, or the
  // status that tells why there are none, Changed included; nullopt when the
  // file is larger than kLimit.
  std::optional<FileChecksum<Bytes>> load(const std::string& fileName);

 private:
  detail::AlignedBuffer buffer_;
  std::size_t capacity_ = 0;
};

}  // namespace zelk::engines
