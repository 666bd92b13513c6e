#pragma once
// Checksum values as they travel between modules: typed, comparable for
// equality, and written in the one text form lists and reports use.

#include <array>
#include <cstdint>
#include <string>

#include "platform/files.h"

namespace zelk::engines {

enum class ChecksumKind { Crc32, Md5 };

class Crc32Value {
 public:
  constexpr Crc32Value() = default;
  constexpr explicit Crc32Value(std::uint32_t value) : value_(value) {}
  constexpr std::uint32_t value() const { return value_; }
  // Exactly eight lower-case hexadecimal digits, leading zeros kept.
  std::string toHex() const;
  friend constexpr bool operator==(Crc32Value, Crc32Value) = default;

 private:
  std::uint32_t value_ = 0;
};

class Md5Digest {
 public:
  using Bytes = std::array<std::uint8_t, 16>;
  constexpr Md5Digest() = default;
  constexpr explicit Md5Digest(const Bytes& bytes) : bytes_(bytes) {}
  // 32 lower-case hexadecimal digits, two per byte in digest order.
  std::string toHex() const;
  friend bool operator==(const Md5Digest&, const Md5Digest&) = default;

 private:
  Bytes bytes_{};
};

// The outcome of reading a file for its checksum.
using platform::FileReadStatus;

template <typename Value>
struct FileChecksum {
  FileReadStatus status = FileReadStatus::OpenFailed;
  Value value{};
  bool ok() const { return status == FileReadStatus::Ok; }
};

}  // namespace zelk::engines
