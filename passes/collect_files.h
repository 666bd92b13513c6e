#pragma once
// The files a create pass lists and the name of the list it writes.

#include <string>
#include <vector>

#include "engines/checksum_types.h"

namespace zelk::passes {

// Appends folder + relative path of every regular file below `folder` (a file
// pattern other than "*.*" is not offered: every file counts). Each folder's
// files come before its subfolders, both in name order. Symbolic links to
// files count as files; links to folders, hidden folders (leading ".") and
// folders that cannot be opened are not entered. FIFOs, sockets and devices
// are left out.
void CollectFiles(const std::string& folder, std::vector<std::string>& list, bool recurse);

// The last component of a folder path that ends in '/' (or '\'): the
// characters after the last separator before the final character.
std::string ListBaseName(const std::string& folder);

// The list's file name for the folder: base name + ".sfv" / ".md5", or
// "WinCRC32.sfv" / "WinMD5.md5" when the base name is empty or a drive.
std::string ListFileName(const std::string& folderPath, engines::ChecksumKind kind);

}  // namespace zelk::passes
