#pragma once
// The files a create pass lists, and what it meets and leaves out.

#include <functional>
#include <stop_token>
#include <string>


namespace zelk::passes {

// What the walk met at a path.
enum class FoundKind {
  File,               // a regular file, or a link to one
  NotAFile,           // a FIFO, socket or device: never opened
  Missing,            // a dangling link, or an entry gone before it was looked at
  FolderLink,         // a link to a folder: not followed, it could lead back up the tree
  UnreadableFolder,   // a subfolder that cannot be opened
  FolderNameTooLong,  // a subfolder whose path is longer than the system takes
};

struct FoundPath {
  std::string path;  // folder + the path below it
  FoundKind kind;
};

// Hands `found` what the walk of `folder` meets, in walk order: each
// folder's entries in name order, its files before its subfolders (a file
// pattern other than "*.*" is not offered: every file counts). Folders are
// entered only when `recurse` is set, and hidden ones (leading ".") never.
// A stop request ends the walk before the next folder. False, with nothing
// found, when `folder` itself cannot be opened.
using FoundPathSink = std::function<void(FoundPath)>;
bool CollectFiles(const std::string& folder, bool recurse, const FoundPathSink& found,
                  const std::stop_token& stop = {});

}  // namespace zelk::passes
