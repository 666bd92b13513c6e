#pragma once
// Folders: listing their entries, the current directory and the program folder.

#include <string>
#include <vector>

#include "platform/files.h"

namespace zelk::platform {

struct DirectoryEntry {
  std::string name;
  FileKind kind;        // of the link's target for a symbolic link
  bool isSymlink;
};

struct DirectoryListing {
  bool opened = false;  // false when the folder cannot be opened
  int error = 0;        // the system's error number when it cannot
  std::vector<DirectoryEntry> entries;
};

// Entries of `folder` other than "." and "..", sorted by name byte for byte so
// that every run over the same tree meets the files in the same order.
DirectoryListing listDirectory(const std::string& folder);

// A leading "." marks a hidden entry, as on every Linux desktop.
inline bool isHiddenName(const std::string& name) { return !name.empty() && name.front() == '.'; }

bool setCurrentDirectory(const std::string& path);

// The current directory without a trailing '/', except for the root itself.
std::string currentDirectory();

// `path` with a '/' appended unless it is empty or already ends in one.
std::string withTrailingSlash(std::string path);

// A relative `path` taken from the current directory; an absolute or empty
// one unchanged.
std::string absolutePath(std::string path);

// The folder of the running executable, ending in '/'. It holds the language
// files, so tests point it at a folder of their own.
std::string programFolder();
void setProgramFolderForTesting(const std::string& folder);  // empty: the real one

// The path of the running executable, links followed; empty when the kernel
// does not tell.
std::string programFile();

}  // namespace zelk::platform
