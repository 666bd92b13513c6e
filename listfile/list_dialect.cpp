#include "listfile/list_dialect.h"

#include <algorithm>
#include <array>

#include "listfile/list_format.h"
#include "platform/ascii.h"

namespace zelk::listfile {
namespace {

constexpr std::array<std::string_view, 0> kNoOtherNames{};
constexpr std::array<std::string_view, 2> kMd5Names{".md5sum", "MD5SUMS"};
constexpr std::array<std::string_view, 2> kSha1Names{".sha1sum", "SHA1SUMS"};
constexpr std::array<std::string_view, 2> kSha256Names{".sha256sum", "SHA256SUMS"};
constexpr std::array<std::string_view, 2> kSha512Names{".sha512sum", "SHA512SUMS"};
constexpr std::array<std::string_view, 2> kBlake3Names{".b3", ".bk3"};
constexpr std::array<std::string_view, 1> kXxh128Names{".xxh3-128"};

// Lists of the kinds other than CRC-32 and MD5 are those of each
// algorithm's own tool (sha256sum, b3sum, xxhsum): its line form, '/'
// between folders, LF line ends, and only the header lines its check takes.
constexpr std::array<ListDialect, engines::kKindCount> kDialects{{
    {ChecksumKind::Crc32, ".sfv", kNoOtherNames, "WinCRC32.sfv", "; CRC32 MODE", "", HeaderStyle::Semicolons,
     EntryForm::NameFirst, " ", kLineEnd, kNameSeparator, false, true, LineRule::ByShape},
    {ChecksumKind::Md5, ".md5", kMd5Names, "WinMD5.md5", "; MD5 MODE", "MD5", HeaderStyle::Semicolons,
     EntryForm::DigestFirst, " ", kLineEnd, kNameSeparator, false, true, LineRule::Md5Lines},
    {ChecksumKind::Sha1, ".sha1", kSha1Names, "WinSHA1.sha1", "# SHA-1 checksums by Zelk SFV Utility", "SHA1",
     HeaderStyle::Hashes, EntryForm::DigestFirst, "  ", "\n", '/', true, false, LineRule::OwnKind},
    {ChecksumKind::Sha256, ".sha256", kSha256Names, "WinSHA256.sha256", "# SHA-256 checksums by Zelk SFV Utility",
     "SHA256", HeaderStyle::Hashes, EntryForm::DigestFirst, "  ", "\n", '/', true, false, LineRule::OwnKind},
    {ChecksumKind::Sha512, ".sha512", kSha512Names, "WinSHA512.sha512", "# SHA-512 checksums by Zelk SFV Utility",
     "SHA512", HeaderStyle::Hashes, EntryForm::DigestFirst, "  ", "\n", '/', true, false, LineRule::OwnKind},
    // b3sum -c refuses every line that is not an entry, comments included.
    {ChecksumKind::Blake3, ".blake3", kBlake3Names, "WinBLAKE3.blake3", "", "BLAKE3", HeaderStyle::None,
     EntryForm::DigestFirst, "  ", "\n", '/', true, false, LineRule::OwnKind},
    // xxhsum warns of every line that is not an entry, and reads no escapes.
    {ChecksumKind::Xxh128, ".xxh128", kXxh128Names, "WinXXH128.xxh128", "", "XXH128", HeaderStyle::None,
     EntryForm::DigestFirst, "  ", "\n", '/', false, false, LineRule::OwnKind},
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

bool isNamedAsListOf(const ListDialect& dialect, std::string_view fileName) {
  if (platform::endsWithIgnoringAsciiCase(fileName, dialect.extension)) return true;
  return std::ranges::any_of(dialect.otherNames, [&](std::string_view name) { return namedSo(fileName, name); });
}

const ListDialect* DialectOfListName(std::string_view fileName) {
  for (const ListDialect& dialect : kDialects) {
    if (isNamedAsListOf(dialect, fileName)) return &dialect;
  }
  return nullptr;
}

const ListDialect* DialectOfTag(std::string_view tag) {
  for (const ListDialect& dialect : kDialects) {
    if (!dialect.tag.empty() && platform::equalIgnoringAsciiCase(dialect.tag, tag)) return &dialect;
  }
  return nullptr;
}

}  // namespace zelk::listfile
