#include "listfile/list_naming.h"

#include <algorithm>
#include <array>

#include "listfile/entry_style.h"
#include "listfile/list_dialect.h"
#include "listfile/list_format.h"
#include "platform/ascii.h"
#include "platform/directory.h"
#include "platform/pending_file.h"

namespace zelk::listfile {
namespace {

// The last regular file of the listing that `named` accepts.
template <typename Named>
std::string lastNamed(const platform::DirectoryListing& listing, Named named) {
  for (auto it = listing.entries.rbegin(); it != listing.entries.rend(); ++it) {
    if (it->kind == platform::FileKind::Regular && named(it->name)) return it->name;
  }
  return {};
}

// The kinds whose lists are found by their extension before any other list,
// "*.sfv" before "*.md5".
constexpr std::array<engines::ChecksumKind, 2> kExtensionFirst{engines::ChecksumKind::Crc32,
                                                               engines::ChecksumKind::Md5};

// The last regular file of the listing with the extension of lists of `kind`.
std::string lastWithExtension(const platform::DirectoryListing& listing, engines::ChecksumKind kind) {
  const std::string_view extension = DialectOf(kind).extension;
  return lastNamed(listing, [&](std::string_view file) { return platform::endsWithIgnoringAsciiCase(file, extension); });
}

}  // namespace

std::string ListBaseName(const std::string& folder) {
  if (folder.size() < 2) return {};
  const std::size_t end = folder.size() - 1;  // the trailing separator is never part of it
  std::size_t start = end;
  while (start > 0 && folder[start - 1] != '/' && folder[start - 1] != '\\') --start;
  return folder.substr(start, end - start);
}

std::string ListFileName(const std::string& folderPath, engines::ChecksumKind kind) {
  const ListDialect& dialect = DialectOf(kind);
  const std::string base = ListBaseName(folderPath);
  if (base.empty()) return std::string(dialect.rootName);
  std::string name = base;
  name += dialect.extension;
  // A base name like "D:" is a drive, not a folder name; lists written at a
  // drive root have always had the fixed names.
  if (name[1] == ':') return std::string(dialect.rootName);
  return name;
}

std::string findList(const std::string& folder) {
  const platform::DirectoryListing listing = platform::listDirectory(folder);
  for (const engines::ChecksumKind kind : kExtensionFirst) {
    std::string name = lastWithExtension(listing, kind);
    if (!name.empty()) return name;
  }
  for (const ListDialect& dialect : ListDialects()) {
    std::string name = lastNamed(listing, [&](std::string_view file) { return isNamedAsListOf(dialect, file); });
    if (!name.empty()) return name;
  }
  return {};
}

std::string findListOfKind(const std::string& folder, engines::ChecksumKind kind) {
  const platform::DirectoryListing listing = platform::listDirectory(folder);
  if (std::ranges::find(kExtensionFirst, kind) != kExtensionFirst.end()) {
    std::string name = lastWithExtension(listing, kind);
    if (!name.empty()) return name;
  }
  const ListDialect& dialect = DialectOf(kind);
  return lastNamed(listing, [&](std::string_view file) { return isNamedAsListOf(dialect, file); });
}

void appendEntryPath(std::string& path, std::string_view name, bool backslashSeparatesFolders) {
  const std::size_t start = path.size();
  path += name;
  if (backslashSeparatesFolders) {
    std::replace(path.begin() + static_cast<std::ptrdiff_t>(start), path.end(), kNameSeparator, '/');
  }
}

bool canHoldName(engines::ChecksumKind kind, std::string_view relativePath) {
  return canHoldName(DialectStyle(kind), relativePath);
}

bool isNeverListed(engines::ChecksumKind kind, std::string_view fileName) {
  if (!DialectOf(kind).listsChecksumFiles && isNeverReported(fileName)) return true;
  return platform::endsWithIgnoringAsciiCase(fileName, DialectOf(engines::ChecksumKind::Crc32).extension) ||
         platform::isPendingFileName(fileName);
}

bool isNeverReported(std::string_view fileName) {
  return DialectOfListName(fileName) != nullptr || platform::equalIgnoringAsciiCase(fileName, kReportFileName) ||
         platform::isPendingFileName(fileName);
}

}  // namespace zelk::listfile
