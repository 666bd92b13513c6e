#include "passes/collect_files.h"

#include <cerrno>
#include <string_view>

#include "listfile/list_format.h"
#include "platform/directory.h"

namespace zelk::passes {
namespace {

// The kind of an entry that is not a folder.
FoundKind kindOfEntry(platform::FileKind kind) {
  if (kind == platform::FileKind::Regular) return FoundKind::File;
  return kind == platform::FileKind::Missing ? FoundKind::Missing : FoundKind::NotAFile;
}

void walk(const std::string& prefix, const platform::DirectoryListing& listing, const FoundPathSink& found,
          bool recurse, const std::stop_token& stop) {
  for (const platform::DirectoryEntry& entry : listing.entries) {
    if (entry.kind != platform::FileKind::Directory) found({prefix + entry.name, kindOfEntry(entry.kind)});
  }
  if (!recurse) return;
  for (const platform::DirectoryEntry& entry : listing.entries) {
    if (entry.kind != platform::FileKind::Directory || platform::isHiddenName(entry.name)) continue;
    if (stop.stop_requested()) return;
    const std::string folder = prefix + entry.name;
    if (entry.isSymlink) {
      found({folder, FoundKind::FolderLink});
      continue;
    }
    const platform::DirectoryListing inner = platform::listDirectory(folder);
    if (!inner.opened) {
      found({folder, inner.error == ENAMETOOLONG ? FoundKind::FolderNameTooLong : FoundKind::UnreadableFolder});
      continue;
    }
    walk(folder + "/", inner, found, true, stop);
  }
}

}  // namespace

bool CollectFiles(const std::string& folder, bool recurse, const FoundPathSink& found, const std::stop_token& stop) {
  const platform::DirectoryListing listing = platform::listDirectory(folder);
  if (!listing.opened) return false;
  walk(platform::withTrailingSlash(folder), listing, found, recurse, stop);
  return true;
}

std::string ListBaseName(const std::string& folder) {
  if (folder.size() < 2) return {};
  const std::size_t end = folder.size() - 1;  // the trailing separator is never part of it
  std::size_t start = end;
  while (start > 0 && folder[start - 1] != '/' && folder[start - 1] != '\\') --start;
  return folder.substr(start, end - start);
}

std::string ListFileName(const std::string& folderPath, engines::ChecksumKind kind) {
  const bool md5 = kind == engines::ChecksumKind::Md5;
  const std::string_view rootName = md5 ? listfile::kRootMd5Name : listfile::kRootSfvName;
  const std::string base = ListBaseName(folderPath);
  if (base.empty()) return std::string(rootName);
  std::string name = base;
  name += md5 ? listfile::kMd5Extension : listfile::kSfvExtension;
  // A base name like "D:" is a drive, not a folder name; lists written at a
  // drive root have always had the fixed names.
  if (name[1] == ':') return std::string(rootName);
  return name;
}

}  // namespace zelk::passes
