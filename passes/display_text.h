#pragma once
// How the bytes of names and texts are shown. Lists keep names as the system
// that wrote them had them: UTF-8 here, an 8-bit code page on Windows. The
// window, the terminal and the saved report all show a name this one way.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zelk::passes {

// `bytes` as UTF-8: valid UTF-8 sequences stay as they are, and every other
// byte is read as Windows code page 1252 (the Western code page lists from
// Windows are written in); its five unassigned bytes become U+FFFD.
std::string displayText(std::string_view bytes);

struct DecodedCharacter {
  std::uint32_t codePoint;
  std::size_t length;  // bytes taken
};

// The UTF-8 sequence at the start of `text`; nullopt for an invalid, overlong,
// surrogate or truncated sequence, or an empty text.
std::optional<DecodedCharacter> decodeUtf8(std::string_view text);

// Appends `codePoint` encoded as UTF-8.
void appendUtf8(std::string& out, std::uint32_t codePoint);

}  // namespace zelk::passes
