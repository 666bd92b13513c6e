#include "engines/checksum_types.h"

namespace zelk::engines {

namespace {

constexpr char kDigits[] = "0123456789abcdef";

}  // namespace

std::string Crc32Value::toHex() const {
  std::string text(8, '0');
  for (std::size_t i = 0; i < text.size(); ++i) text[i] = kDigits[(value_ >> (28 - 4 * i)) & 0xF];
  return text;
}

std::string Md5Digest::toHex() const {
  std::string text;
  text.reserve(2 * bytes_.size());
  for (const std::uint8_t byte : bytes_) {
    text += kDigits[byte >> 4];
    text += kDigits[byte & 0xF];
  }
  return text;
}

}  // namespace zelk::engines
