#include "passes/list_update.h"

#include <utility>

#include "listfile/list_dialect.h"
#include "listfile/list_format.h"
#include "listfile/list_naming.h"
#include "listfile/list_reader.h"
#include "passes/unlisted_files.h"
#include "platform/files.h"

namespace zelk::passes {
namespace {

struct KeptEntry {
  std::size_t lineStart;
  std::size_t lineLength;
  bool gone;
};

class EntriesOfList final : public listfile::ListVisitor {
 public:
  EntriesOfList(const std::string& folderPrefix, std::string_view text, engines::ChecksumKind kind)
      : folderPrefix_(folderPrefix), style_(text, kind) {}

  void creatorLine(const std::string&) override {}
  void commentLine(const std::string&) override {}
  void entry(const listfile::ListEntry& entry) override {
    style_.take(entry);
    listedPaths.insert(listedPath(entry));
    // Opened as the verify pass opens it, so gone means what verify calls missing.
    std::string path = folderPrefix_;
    listfile::appendEntryPath(path, entry.name, entry.backslashSeparatesFolders);
    const bool gone = platform::fileKind(path) != platform::FileKind::Regular;
    if (gone) goneNames.emplace_back(entry.name);
    entries.push_back({entry.lineStart, entry.lineLength, gone});
  }

  const listfile::ListStyleFinder& style() const { return style_; }

  std::vector<KeptEntry> entries;
  std::unordered_set<std::string> listedPaths;
  std::vector<std::string> goneNames;

 private:
  const std::string& folderPrefix_;
  listfile::ListStyleFinder style_;
};

}  // namespace

KeptList keepList(const std::string& folderPrefix, const std::string& listName, std::string_view text,
                  engines::ChecksumKind kind, bool prune) {
  EntriesOfList entries(folderPrefix, text, kind);
  listfile::readList(text, {listfile::ChecksumMode::Automatic, listfile::DialectOfListName(listName)}, entries);
  const std::size_t readLength = listfile::readTextLength(text);
  KeptList kept;
  kept.tail = text.substr(readLength);
  std::size_t copied = 0;
  for (const KeptEntry& entry : entries.entries) {
    if (!prune || !entry.gone) continue;
    kept.head.append(text.substr(copied, entry.lineStart - copied));
    copied = entry.lineStart + entry.lineLength;
  }
  kept.head.append(text.substr(copied, readLength - copied));
  kept.style = entries.style().style();
  kept.toldFolderSeparator = entries.style().toldFolderSeparator();
  kept.listedPaths = std::move(entries.listedPaths);
  kept.goneNames = std::move(entries.goneNames);
  return kept;
}

engines::ChecksumKind kindOfListToUpdate(const std::string& folder) {
  const listfile::ListDialect* dialect = listfile::DialectOfListName(listfile::findList(folder));
  return dialect != nullptr ? dialect->kind : engines::ChecksumKind::Crc32;
}

}  // namespace zelk::passes
