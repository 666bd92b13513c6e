#include "passes/collect_files.h"

#include <cerrno>

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

}  // namespace zelk::passes
