#include "language/ini_lookup.h"

#include <optional>
#include <string_view>

#include "platform/ascii.h"
#include "platform/files.h"

namespace zelk::language {
namespace {

using platform::equalIgnoringAsciiCase;

bool isBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view trimBlanks(std::string_view text) {
  while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
  return text;
}

// The name of a "[name]" line, or nothing when the line opens no section.
std::optional<std::string_view> sectionName(std::string_view line) {
  if (line.empty() || line.front() != '[') return std::nullopt;
  const std::size_t close = line.find(']');
  if (close == std::string_view::npos) return std::nullopt;
  return trimBlanks(line.substr(1, close - 1));
}

std::string_view withoutQuotes(std::string_view value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
    return value.substr(1, value.size() - 2);
  }
  return value;
}

}  // namespace

std::string IniValue(std::string_view contents, std::string_view section, std::string_view key,
                     const std::string& defaultText) {
  std::string_view rest(contents);
  // A section may occur more than once; every occurrence is searched, the
  // first line with the key wins.
  bool inSection = false;
  while (!rest.empty()) {
    const std::size_t feed = rest.find('\n');
    std::string_view line = rest.substr(0, feed);
    rest.remove_prefix(feed == std::string_view::npos ? rest.size() : feed + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    line = trimBlanks(line);
    if (const auto name = sectionName(line)) {
      inSection = equalIgnoringAsciiCase(*name, section);
      continue;
    }
    if (!inSection || line.starts_with(';')) continue;
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos || !equalIgnoringAsciiCase(trimBlanks(line.substr(0, equals)), key)) {
      continue;
    }
    const std::string_view value = withoutQuotes(trimBlanks(line.substr(equals + 1)));
    return std::string(value.substr(0, kMaxTextLength));
  }
  return defaultText;
}

std::string IniLookup(const std::string& iniPath, const std::string& section, const std::string& key,
                      const std::string& defaultText) {
  const platform::FileContents contents = platform::readWholeFile(iniPath);
  if (contents.status != platform::FileReadStatus::Ok) return defaultText;
  return IniValue(contents.bytes, section, key, defaultText);
}

}  // namespace zelk::language
