#include "listfile/list_naming.h"

#include "listfile/list_dialect.h"
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
  for (const engines::ChecksumKind kind : {engines::ChecksumKind::Crc32, engines::ChecksumKind::Md5}) {
    const std::string_view extension = DialectOf(kind).extension;
    std::string name =
        lastNamed(listing, [&](std::string_view file) { return platform::endsWithIgnoringAsciiCase(file, extension); });
    if (!name.empty()) return name;
  }
  for (const ListDialect& dialect : ListDialects()) {
    std::string name = lastNamed(listing, [&](std::string_view file) { return isNamedAsListOf(dialect, file); });
    if (!name.empty()) return name;
  }
  return {};
}

bool canHoldName(engines::ChecksumKind kind, std::string_view relativePath) {
  const ListDialect& dialect = DialectOf(kind);
  // Every reader drops carriage returns; escapes keep the rest.
  if (relativePath.empty() || relativePath.find('\r') != std::string_view::npos) return false;
  if (!dialect.escapesNames && relativePath.find_first_of("\n\\") != std::string_view::npos) return false;
  const char first = relativePath.front();
  switch (dialect.form) {
    case EntryForm::NameFirst: return first != ';' && first != '#' && first != '\x1a';
    case EntryForm::DigestFirst: break;
  }
  // After one blank, the reader takes a second blank or a '*' for a marker.
  return dialect.digestNameSeparator.size() > 1 || (first != ' ' && first != '*');
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
