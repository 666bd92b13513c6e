#pragma once
// Checksum values as they travel between modules: typed, comparable for
// equality, and written in the one text form lists and reports use.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "platform/files.h"

namespace zelk::engines {

// Every algorithm the program computes, in the order of the table of
// algorithms (engines/algorithm.h), which says everything else about them.
enum class ChecksumKind : std::uint8_t { Crc32, Md5, Sha1, Sha256, Sha512, Blake3, Xxh128 };
inline constexpr std::size_t kKindCount = 7;

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
  const Bytes& bytes() const { return bytes_; }
  // 32 lower-case hexadecimal digits, two per byte in digest order.
  std::string toHex() const;
  friend bool operator==(const Md5Digest&, const Md5Digest&) = default;

 private:
  Bytes bytes_{};
};

// The value of any algorithm: its bytes in the order its text form gives
// them (a CRC-32 most significant byte first), at most kLargest of them.
class Digest {
 public:
  static constexpr std::size_t kLargest = 64;
  Digest() = default;
  // Throws std::length_error for more than kLargest bytes.
  explicit Digest(std::span<const std::uint8_t> bytes);
  explicit Digest(Crc32Value crc);

  std::span<const std::uint8_t> bytes() const { return {bytes_.data(), size_}; }
  bool empty() const { return size_ == 0; }
  // Two lower-case hexadecimal digits per byte: the form lists carry.
  std::string toHex() const;
  friend bool operator==(const Digest& a, const Digest& b);

 private:
  std::array<std::uint8_t, kLargest> bytes_{};
  std::uint8_t size_ = 0;
};

// A few kinds at once, kept in the order of ChecksumKind.
class KindSet {
 public:
  constexpr KindSet() = default;
  // The set of the one kind: wherever a set is asked for, a kind will do.
  constexpr KindSet(ChecksumKind kind) : bits_(bitOf(kind)) {}

  constexpr void add(ChecksumKind kind) { bits_ = static_cast<std::uint16_t>(bits_ | bitOf(kind)); }
  constexpr bool contains(ChecksumKind kind) const { return (bits_ & bitOf(kind)) != 0; }
  constexpr bool empty() const { return bits_ == 0; }
  constexpr std::size_t size() const { return static_cast<std::size_t>(__builtin_popcount(bits_)); }
  // The first kind in table order; the set must not be empty.
  constexpr ChecksumKind first() const { return static_cast<ChecksumKind>(__builtin_ctz(bits_)); }
  // Calls `visit(kind)` for every kind in the set, in table order.
  template <typename Visit>
  constexpr void forEach(Visit visit) const {
    for (std::uint16_t rest = bits_; rest != 0; rest = static_cast<std::uint16_t>(rest & (rest - 1))) {
      visit(static_cast<ChecksumKind>(__builtin_ctz(rest)));
    }
  }
  friend constexpr bool operator==(KindSet, KindSet) = default;

 private:
  static constexpr std::uint16_t bitOf(ChecksumKind kind) {
    return static_cast<std::uint16_t>(1u << static_cast<unsigned>(kind));
  }
  std::uint16_t bits_ = 0;
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
