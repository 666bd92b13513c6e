#pragma once
// Reading one value from an ini file by the rules of language files.

#include <string>
#include <string_view>

namespace zelk::language {

// Longest text a lookup gives; a longer value is cut after this many characters.
inline constexpr std::size_t kMaxTextLength = 2047;

// The value of `key` in `section` of the ini file at `iniPath`, by the rules
// of doc/language-files.md: names matched without letter case, blanks around
// key and value dropped, one pair of matching quotes dropped, first occurrence
// wins, no escapes. A missing file, section or key gives `defaultText`; a key
// with an empty value gives an empty text.
std::string IniLookup(const std::string& iniPath, const std::string& section, const std::string& key,
                      const std::string& defaultText);

// IniLookup over the `contents` of an ini file already read.
std::string IniValue(std::string_view contents, std::string_view section, std::string_view key,
                     const std::string& defaultText);

}  // namespace zelk::language
