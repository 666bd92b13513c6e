#include "diag/line_builder.h"

namespace zelk::diag {

LineBuilder& LineBuilder::text(std::string_view piece) {
  for (const char character : piece) {
    if (size_ == kCapacity) break;
    buffer_[size_++] = character;
  }
  return *this;
}

LineBuilder& LineBuilder::hex(std::uintmax_t value, int digits) {
  char reversed[2 * sizeof(value)];
  int count = 0;
  do {
    reversed[count++] = "0123456789ABCDEF"[value & 0xF];
    value >>= 4;
  } while (value != 0);
  for (int padding = count; padding < digits; ++padding) text("0");
  while (count > 0) text(std::string_view(&reversed[--count], 1));
  return *this;
}

LineBuilder& LineBuilder::decimal(std::intmax_t value) {
  // Through the unsigned type, so that the most negative value has a magnitude.
  std::uintmax_t magnitude = static_cast<std::uintmax_t>(value);
  if (value < 0) {
    text("-");
    magnitude = 0 - magnitude;
  }
  char reversed[24];
  int count = 0;
  do {
    reversed[count++] = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  while (count > 0) text(std::string_view(&reversed[--count], 1));
  return *this;
}

LineBuilder& LineBuilder::address(std::uintptr_t value) { return text("[").hex(value, kAddressDigits).text("]"); }

LineBuilder& LineBuilder::repeat(char character, std::size_t count) {
  for (; count > 0 && size_ < kCapacity; --count) buffer_[size_++] = character;
  return *this;
}

LineBuilder& LineBuilder::padTo(std::size_t width) {
  while (size_ < width && size_ < kCapacity) buffer_[size_++] = ' ';
  return *this;
}

}  // namespace zelk::diag
