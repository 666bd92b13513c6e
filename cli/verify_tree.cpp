#include "cli/verify_tree.h"

#include <string>
#include <vector>

#include "cli/commands.h"
#include "cli/option_values.h"
#include "cli/terminal.h"
#include "listfile/list_dialect.h"
#include "passes/collect_files.h"
#include "platform/directory.h"
#include "platform/pending_file.h"

namespace zelk::cli {
namespace {

constexpr int kAllIntact = 0;
constexpr int kSomeFailed = 1;
constexpr int kNotVerified = 2;

struct FoundLists {
  std::vector<std::string> lists;  // relative to the folder searched
  long long unreadableFolders = 0;
};

// Every list below `folderPrefix` (ending in '/'), in walk order; what
// cannot be searched is said on standard error.
FoundLists findLists(const std::string& folderPrefix, const std::stop_token& stop) {
  FoundLists found;
  passes::CollectFiles(folderPrefix, true, [&](passes::FoundPath item) {
    const std::string relative = item.path.substr(folderPrefix.size());
    const std::string_view fileName = std::string_view(relative).substr(relative.rfind('/') + 1);  // npos + 1 is 0
    switch (item.kind) {
      case passes::FoundKind::File:
        if (listfile::DialectOfListName(fileName) != nullptr && !platform::isPendingFileName(fileName)) {
          found.lists.push_back(relative);
        }
        return;
      case passes::FoundKind::FolderLink:
        printLine(stderr, "zelk-sfv: " + relative + ": a link to a folder, not followed");
        return;
      case passes::FoundKind::UnreadableFolder:
      case passes::FoundKind::FolderNameTooLong:
        printLine(stderr, "zelk-sfv: " + relative + ": the folder cannot be opened, its lists are not checked");
        ++found.unreadableFolders;
        return;
      case passes::FoundKind::NotAFile:
      case passes::FoundKind::Missing: return;
    }
  }, stop);
  return found;
}

}  // namespace

int verifyTree(const std::string& folder, int jobs, VerifyOutput& output, const std::stop_token& stop) {
  const std::string folderPrefix = platform::withTrailingSlash(folder);
  const FoundLists found = findLists(folderPrefix, stop);
  output.addFoundLists(static_cast<long long>(found.lists.size()));
  output.addUnreadableFolders(found.unreadableFolders);
  for (const std::string& list : found.lists) {
    if (stop.stop_requested()) break;
    const std::size_t slash = list.rfind('/');
    const std::string listFolder = folderPrefix + (slash == std::string::npos ? "" : list.substr(0, slash));
    output.listStarts(list);
    const passes::VerifyResult result = passes::runVerifyPassOnListIn(
        listFolder, list.substr(slash + 1), list, passes::ChecksumMode::Automatic, output, stop, jobs);
    output.listEnds(result.outcome);
  }
  if (stop.stop_requested()) output.markCancelled();
  const VerifyTotals& totals = output.totals();
  if (!totals.cancelled && found.lists.empty()) {
    printLine(stderr, "zelk-sfv: no checksum list (" + listExtensions() + ") in " + folder + " or its subfolders");
  }
  output.total();
  if (totals.cancelled) return kInterrupted;
  if (found.lists.empty() || totals.listsUnreadable > 0 || totals.foldersUnreadable > 0) return kNotVerified;
  return totals.entries.checked() == totals.entries.intact ? kAllIntact : kSomeFailed;
}

}  // namespace zelk::cli
