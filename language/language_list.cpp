#include "language/language_list.h"

#include <algorithm>
#include <string_view>

#include "platform/directory.h"

namespace zelk::language {
namespace {

constexpr std::string_view kExtension = ".lng";

// Only ASCII letters change: names in the local 8-bit encoding keep every
// other byte as it is, whatever the locale.
char asciiUpper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

std::string asciiUpper(const std::string& text) {
  std::string upper = text;
  std::transform(upper.begin(), upper.end(), upper.begin(), [](char c) { return asciiUpper(c); });
  return upper;
}

bool lessIgnoringCase(const std::string& a, const std::string& b) {
  const std::string upperA = asciiUpper(a);
  const std::string upperB = asciiUpper(b);
  return upperA != upperB ? upperA < upperB : a < b;
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
  const std::string wanted = asciiUpper(activeName);
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (asciiUpper(names[i]) == wanted) return i;
  }
  return std::nullopt;
}

}  // namespace zelk::language
