#include "passes/unlisted_files.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <unordered_set>

#include "language/message_format.h"
#include "language/texts.h"
#include "listfile/list_format.h"
#include "listfile/list_naming.h"
#include "passes/collect_files.h"
#include "passes/rtf_report.h"
#include "platform/directory.h"
#include "platform/files.h"

namespace zelk::passes {
namespace {

// The paths every entry leads to, and what the list's subfolder entries are like.
class EntryPaths final : public listfile::ListVisitor {
 public:
  void creatorLine(const std::string&) override {}
  void commentLine(const std::string&) override {}
  void entry(const listfile::ListEntry& entry) override {
    std::string path = listedPath(entry);
    if (path.find('/') != std::string::npos && !path.starts_with("../")) {
      hasSubfolders = true;
      if (!entry.backslashSeparatesFolders || entry.name.find(listfile::kNameSeparator) == std::string::npos) {
        slashSeparated = true;
      }
    }
    paths.insert(std::move(path));
  }

  std::unordered_set<std::string> paths;
  bool hasSubfolders = false;
  bool slashSeparated = false;
};

}  // namespace

std::string listedPath(const listfile::ListEntry& entry) {
  std::string name;
  listfile::appendEntryPath(name, entry.name, entry.backslashSeparatesFolders);
  const std::size_t start = name.find_first_not_of('/');
  if (start == std::string::npos) return {};
  return std::filesystem::path(name.substr(start)).lexically_normal().string();
}

std::vector<std::string> findUnlistedFiles(const std::string& folder, const std::string& listName,
                                           std::string_view listText, ChecksumMode mode,
                                           const std::stop_token& stop) {
  EntryPaths entries;
  listfile::readList(listText, {mode, listfile::DialectOfListName(listName)}, entries);
  const std::string folderPrefix = platform::withTrailingSlash(folder);
  listfile::ListEntry listItself;
  listItself.name = listName;
  const std::string listPath = listedPath(listItself);
  std::vector<std::string> unlisted;
  CollectFiles(folderPrefix, entries.hasSubfolders, [&](FoundPath item) {
    if (item.kind != FoundKind::File) return;
    std::string name = item.path.substr(folderPrefix.size());
    const std::string_view fileName = std::string_view(name).substr(name.rfind('/') + 1);  // npos + 1 is 0
    if (listfile::isNeverReported(fileName) || name == listPath || entries.paths.contains(name)) return;
    if (!entries.slashSeparated) std::replace(name.begin(), name.end(), '/', listfile::kNameSeparator);
    unlisted.push_back(std::move(name));
  }, stop);
  return unlisted;
}

std::vector<std::string> findUnlistedFilesOfList(const std::string& folder, const std::string& listName,
                                                 ChecksumMode mode, const std::stop_token& stop) {
  const platform::FileContents list = platform::readWholeFile(platform::withTrailingSlash(folder) + listName);
  if (list.status != engines::FileReadStatus::Ok) return {};
  return findUnlistedFiles(folder, listName, list.bytes, mode, stop);
}

// Here rather than beside the rest of VerifyObserver: it is the section this
// file makes.
void VerifyObserver::unlistedFiles(const std::vector<std::string>& names) { reportUnlistedFiles(names, *this); }

void reportUnlistedFiles(const std::vector<std::string>& names, VerifyObserver& observer) {
  if (names.empty()) return;
  observer.reportLine(" ", ReportColour::Default);
  const std::string heading = language::translated(language::texts::NotInList);
  observer.reportLine(language::formatTemplate(heading, {static_cast<std::int64_t>(names.size())}),
                      ReportColour::Default);
  for (const std::string& name : names) observer.reportLine(name, ReportColour::Default);
}

bool reportUnlistedSection(const std::string& folder, const std::string& listName,
                           std::optional<std::string_view> listText, ChecksumMode mode, VerifyObserver& observer,
                           const std::stop_token& stop) {
  const std::vector<std::string> names = listText ? findUnlistedFiles(folder, listName, *listText, mode, stop)
                                                  : findUnlistedFilesOfList(folder, listName, mode, stop);
  if (stop.stop_requested()) {
    observer.reportLine(language::translated(language::texts::PassCancelled), ReportColour::Default);
    return false;
  }
  observer.unlistedFiles(names);
  return true;
}

}  // namespace zelk::passes
