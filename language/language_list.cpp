#include "language/language_list.h"

#include <algorithm>
#include <string>
#include <string_view>

#include "platform/ascii.h"
#include "platform/directory.h"

namespace zelk::language {
namespace {

constexpr std::string_view kExtension = ".lng";

// Compared in upper case, so '[' .. '`' sort before the letters, and bytes
// unsigned as std::string compares them. Only ASCII letters change: names in
// the local 8-bit encoding keep every other byte as it is, whatever the locale.
bool lessIgnoringCase(const std::string& a, const std::string& b) {
  const auto upperLess = [](char x, char y) {
    return std::char_traits<char>::lt(platform::asciiUpper(x), platform::asciiUpper(y));
  };
  if (std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), upperLess)) return true;
  if (std::lexicographical_compare(b.begin(), b.end(), a.begin(), a.end(), upperLess)) return false;
  return a < b;
}

}  // namespace

std::vector<std::string> languageNames(const std::string& folder) {
  std::vector<std::string> names;
  for (const platform::DirectoryEntry& entry : platform::listDirectory(folder).entries) {
    const std::string_view name = entry.name;
    if (name.size() <= kExtension.size() || !name.ends_with(kExtension)) continue;
    names.emplace_back(name.substr(0, name.size() - kExtension.size()));
  }
  std::sort(names.begin(), names.end(), lessIgnoringCase);
  return names;
}

std::optional<std::size_t> selectedLanguage(const std::vector<std::string>& names, const std::string& activeName) {
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (platform::equalIgnoringAsciiCase(names[i], activeName)) return i;
  }
  return std::nullopt;
}

}  // namespace zelk::language
