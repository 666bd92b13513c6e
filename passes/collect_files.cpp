#include "passes/collect_files.h"

#include <string_view>

#include "listfile/list_format.h"
#include "platform/directory.h"

namespace zelk::passes {

void CollectFiles(const std::string& folder, std::vector<std::string>& list, bool recurse) {
  const std::string prefix = platform::withTrailingSlash(folder);
  const platform::DirectoryListing listing = platform::listDirectory(folder);
  // A folder that cannot be opened contributes nothing; the walk goes on with
  // its siblings.
  for (const platform::DirectoryEntry& entry : listing.entries) {
    if (entry.kind == platform::FileKind::Regular) list.push_back(prefix + entry.name);
  }
  if (!recurse) return;
  for (const platform::DirectoryEntry& entry : listing.entries) {
    // A link to a folder could lead back up the tree and never end.
    if (entry.kind != platform::FileKind::Directory || entry.isSymlink || platform::isHiddenName(entry.name)) continue;
    CollectFiles(prefix + entry.name, list, true);
  }
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
