#include "engines/checksum_types.h"

#include <algorithm>
#include <stdexcept>

namespace zelk::engines {

namespace {

constexpr char kDigits[] = "0123456789abcdef";

std::string hexOf(std::span<const std::uint8_t> bytes) {
  std::string text;
  text.reserve(2 * bytes.size());
  for (const std::uint8_t byte : bytes) {
    text += kDigits[byte >> 4];
    text += kDigits[byte & 0xF];
  }
  return text;
}

}  // namespace

std::string Crc32Value::toHex() const { return Digest(*this).toHex(); }

std::string Md5Digest::toHex() const { return hexOf(bytes_); }

Digest::Digest(std::span<const std::uint8_t> bytes) {
  if (bytes.size() > kLargest) throw std::length_error("a digest of more than 64 bytes");
  std::copy(bytes.begin(), bytes.end(), bytes_.begin());
  size_ = static_cast<std::uint8_t>(bytes.size());
}

Digest::Digest(Crc32Value crc) : size_(4) {
  for (std::size_t i = 0; i < 4; ++i) bytes_[i] = static_cast<std::uint8_t>(crc.value() >> (24 - 8 * i));
}

std::string Digest::toHex() const { return hexOf(bytes()); }

bool operator==(const Digest& a, const Digest& b) { return std::ranges::equal(a.bytes(), b.bytes()); }

}  // namespace zelk::engines
