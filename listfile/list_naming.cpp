#include "listfile/list_naming.h"

#include "listfile/list_dialect.h"
#include "platform/ascii.h"
#include "platform/directory.h"
#include "platform/pending_file.h"

namespace zelk::listfile {
namespace {

// The last regular file of the listing in `dialect`, by its extension.
std::string lastOfDialect(const platform::DirectoryListing& listing, const ListDialect& dialect) {
  for (auto it = listing.entries.rbegin(); it != listing.entries.rend(); ++it) {
    if (it->kind == platform::FileKind::Regular && platform::endsWithIgnoringAsciiCase(it->name, dialect.extension)) {
      return it->name;
    }
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
  for (const ListDialect& dialect : ListDialects()) {
    std::string name = lastOfDialect(listing, dialect);
    if (!name.empty()) return name;
  }
  return {};
}

bool canHoldName(engines::ChecksumKind kind, std::string_view relativePath) {
  if (relativePath.empty() || relativePath.find_first_of("\n\r\\") != std::string_view::npos) return false;
  const char first = relativePath.front();
  switch (DialectOf(kind).form) {
    case EntryForm::NameFirst: return first != ';' && first != '#' && first != '\x1a';
    case EntryForm::DigestFirst: break;
  }
  return first != ' ' && first != '*';
}

bool isNeverListed(std::string_view fileName) {
  return platform::endsWithIgnoringAsciiCase(fileName, DialectOf(engines::ChecksumKind::Crc32).extension) ||
         platform::isPendingFileName(fileName);
}

bool isNeverReported(std::string_view fileName) {
  return DialectOfListName(fileName) != nullptr || platform::equalIgnoringAsciiCase(fileName, kReportFileName) ||
         platform::isPendingFileName(fileName);
}

}  // namespace zelk::listfile
