#pragma once
// Letter case without a locale: list names, checksum texts and language keys
// compare ASCII letters without regard to case and every other byte exactly.

#include <algorithm>
#include <string_view>

namespace zelk::platform {

inline constexpr char asciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

inline constexpr char asciiUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

inline constexpr bool equalIgnoringAsciiCase(std::string_view a, std::string_view b) {
  return std::ranges::equal(a, b, [](char x, char y) { return asciiLower(x) == asciiLower(y); });
}

inline constexpr bool endsWithIgnoringAsciiCase(std::string_view text, std::string_view suffix) {
  return text.size() >= suffix.size() && equalIgnoringAsciiCase(text.substr(text.size() - suffix.size()), suffix);
}

}  // namespace zelk::platform
