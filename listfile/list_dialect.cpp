#include "listfile/list_dialect.h"

#include <array>

#include "listfile/list_format.h"
#include "platform/ascii.h"

namespace zelk::listfile {
namespace {

constexpr std::array<std::string_view, 0> kNoOtherNames{};

constexpr std::array<ListDialect, engines::kKindCount> kDialects{{
    {ChecksumKind::Crc32, ".sfv", kNoOtherNames, "WinCRC32.sfv", "; CRC32 MODE", HeaderStyle::Semicolons,
     EntryForm::NameFirst, " ", kLineEnd, kNameSeparator, LineRule::ByShape},
    {ChecksumKind::Md5, ".md5", kNoOtherNames, "WinMD5.md5", "; MD5 MODE", HeaderStyle::Semicolons,
     EntryForm::DigestFirst, " ", kLineEnd, kNameSeparator, LineRule::ByShape},
}};

constexpr bool rowsInKindOrder() {
  for (std::size_t i = 0; i < kDialects.size(); ++i) {
    if (static_cast<std::size_t>(kDialects[i].kind) != i) return false;
  }
  return true;
}
static_assert(rowsInKindOrder(), "DialectOf looks a kind up by its number");

// An other name starting with '.' is an extension; any other is a whole name.
bool namedSo(std::string_view fileName, std::string_view name) {
  return name.starts_with('.') ? platform::endsWithIgnoringAsciiCase(fileName, name)
                               : platform::equalIgnoringAsciiCase(fileName, name);
}

}  // namespace

std::span<const ListDialect> ListDialects() { return kDialects; }

const ListDialect& DialectOf(ChecksumKind kind) { return kDialects.at(static_cast<std::size_t>(kind)); }

const ListDialect* DialectOfListName(std::string_view fileName) {
  for (const ListDialect& dialect : kDialects) {
    if (platform::endsWithIgnoringAsciiCase(fileName, dialect.extension)) return &dialect;
    for (const std::string_view name : dialect.otherNames) {
      if (namedSo(fileName, name)) return &dialect;
    }
  }
  return nullptr;
}

}  // namespace zelk::listfile
