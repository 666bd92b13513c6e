#pragma once
// Files a checksum list does not know: those in the list's folder, and in its
// subfolders when the list has subfolder entries, that no entry names. Added
// since the list was made, most likely; they are no failure of the list.

#include <optional>
#include <stop_token>
#include <string>
#include <string_view>
#include <vector>

#include "passes/verify_pass.h"

namespace zelk::passes {

// The path below the list's folder ('/' between folders) that an entry's name
// leads to, as the verify pass opens it: '\' and '/' both separate folders
// (only '/' in a name from an escaped line), a leading '/' stays below the
// folder, and "." and ".." are resolved. A name leading out of the folder
// gives a path starting with "..", which no file of a walk has.
std::string listedPath(const listfile::ListEntry& entry);

// The names, relative to `folder`, of the files no entry of `listText` names,
// in the order the create pass would list them, with '\' between folders
// unless the list's entries use '/'. An entry names a file when it leads to it
// as the verify pass opens it. Never named: the list `listName` itself, other
// lists (".sfv", ".md5"), saved reports ("result.rtf"), and the temporary
// files lists are written under. Hidden folders and links to folders are not
// entered, as the create pass does not enter them. A stop request ends the
// search before the next folder, with the names found so far.
std::vector<std::string> findUnlistedFiles(const std::string& folder, const std::string& listName,
                                           std::string_view listText, ChecksumMode mode,
                                           const std::stop_token& stop = {});

// The same for the list `listName` in `folder`, read again; empty when it
// cannot be read.
std::vector<std::string> findUnlistedFilesOfList(const std::string& folder, const std::string& listName,
                                                 ChecksumMode mode, const std::stop_token& stop = {});

// The report's section: a blank line, the heading with the count, and one line
// per name, in the default colour. Nothing when `names` is empty.
void reportUnlistedFiles(const std::vector<std::string>& names, VerifyObserver& observer);

// What both front ends add after a checked list when asked: the search for
// the files the list `listName` in `folder` does not know, then its
// section. `listText` is the list's text where it cannot be read again
// (standard input); otherwise the list is read again. A stop during the
// search reports that the pass was cancelled rather than a part of the
// section, which would pass for all of it: false then.
bool reportUnlistedSection(const std::string& folder, const std::string& listName,
                           std::optional<std::string_view> listText, ChecksumMode mode, VerifyObserver& observer,
                           const std::stop_token& stop);

}  // namespace zelk::passes
