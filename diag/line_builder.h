#pragma once
// One line of report text in a buffer of fixed size. It never allocates, so
// the crash handler composes its lines with it as the ordinary report does,
// and both write the same line formats.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace zelk::diag {

// Digits of an address in the report: the full width of a pointer.
inline constexpr int kAddressDigits = static_cast<int>(sizeof(void*) * 2);

class LineBuilder {
 public:
  static constexpr std::size_t kCapacity = 1024;

  // Appends `piece`; what does not fit is cut off.
  LineBuilder& text(std::string_view piece);
  // Upper-case hexadecimal, zero-padded to at least `digits` digits.
  LineBuilder& hex(std::uintmax_t value, int digits = 1);
  LineBuilder& decimal(std::intmax_t value);
  // "[" + the address with kAddressDigits digits + "]".
  LineBuilder& address(std::uintptr_t value);
  // `count` copies of `character`.
  LineBuilder& repeat(char character, std::size_t count);
  // Blanks up to `width` characters; nothing when the line is that long.
  LineBuilder& padTo(std::size_t width);

  std::string_view view() const { return {buffer_, size_}; }
  std::string str() const { return std::string(view()); }
  std::size_t size() const { return size_; }

 private:
  char buffer_[kCapacity];
  std::size_t size_ = 0;
};

// Copies as much of `text` as fits into `target` of `capacity` bytes, with a
// closing NUL; no allocation, so a signal handler may use it.
inline void copyText(char* target, std::size_t capacity, std::string_view text) {
  const std::size_t size = text.size() < capacity - 1 ? text.size() : capacity - 1;
  for (std::size_t index = 0; index < size; ++index) target[index] = text[index];
  target[size] = '\0';
}

template <std::size_t N>
void copyText(char (&target)[N], std::string_view text) {
  copyText(target, N, text);
}

// Receives composed lines, without line ends.
class LineSink {
 public:
  virtual ~LineSink() = default;
  virtual void line(std::string_view text) = 0;
};

}  // namespace zelk::diag
