#pragma once
// What an update of a list (zelk-sfv create --update) keeps of it: its bytes,
// the style its entries are written in, the files it names, and the entries
// whose files are gone.

#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "engines/checksum_types.h"
#include "listfile/entry_style.h"

namespace zelk::passes {

struct KeptList {
  // The list's bytes before the point where its reader stops, less the lines
  // of the entries pruned; new entries go right after them.
  std::string head;
  // From a line opening with Ctrl-Z on (usually nothing): it has to stay
  // after every entry, or readers would never see the new ones.
  std::string tail;
  listfile::EntryStyle style;
  bool toldFolderSeparator = false;  // an entry had a subfolder
  // The path below the folder that each entry leads to (passes::listedPath).
  std::unordered_set<std::string> listedPaths;
  // The entries, as the list has them, that lead to no regular file, in list order.
  std::vector<std::string> goneNames;
};

// Reads `text`, the list `listName` of `folderPrefix` (ending in '/'), whose
// new entries are to be of `kind`. With `prune` the lines of entries whose
// files are gone are left out of `head`; every other byte is kept.
KeptList keepList(const std::string& folderPrefix, const std::string& listName, std::string_view text,
                  engines::ChecksumKind kind, bool prune);

// The kind of the list an update of `folder` keeps when no kind is asked
// for: that of the list the verify pass would pick (listfile::findList),
// else CRC-32, the kind a new list is of.
engines::ChecksumKind kindOfListToUpdate(const std::string& folder);

}  // namespace zelk::passes
