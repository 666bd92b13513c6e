#include "passes/verify_pass.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <string_view>
#include <system_error>
#include <utility>
#include <vector>

#include "engines/crc32.h"
#include "engines/md5.h"
#include "language/message_format.h"
#include "language/texts.h"
#include "listfile/list_format.h"
#include "platform/ascii.h"
#include "platform/directory.h"
#include "platform/files.h"

namespace zelk::passes {
namespace {

namespace texts = language::texts;
using engines::FileReadStatus;
using language::formatTemplate;

constexpr std::string_view kDeletedMarkPrefix = "---> ";

// The last regular file of the listing whose name ends in `extension`.
std::string lastWithExtension(const platform::DirectoryListing& listing, std::string_view extension) {
  for (auto it = listing.entries.rbegin(); it != listing.entries.rend(); ++it) {
    if (it->kind == platform::FileKind::Regular && platform::endsWithIgnoringAsciiCase(it->name, extension)) {
      return it->name;
    }
  }
  return {};
}

enum class Verdict { Intact, Modified, Unreadable, Missing };

// Judges each entry as the reader hands it over and reports it at once, so
// lists of any length need no more memory than their longest line.
class EntryChecker final : public listfile::ListVisitor {
 public:
  EntryChecker(std::string folderPrefix, std::string listName, VerifyObserver& observer)
      : folderPrefix_(std::move(folderPrefix)),
        listName_(std::move(listName)),
        observer_(observer),
        deletedMark_(std::string(kDeletedMarkPrefix) + language::translated(texts::FileDelete)),
        errorFormat_(language::translated(texts::FileCrcError)),
        intactFormat_(language::translated(texts::FileCrcOk)),
        unreadableMark_(std::string(kDeletedMarkPrefix) + language::translated(texts::FileNotReadable)) {}

  void creatorLine(const std::string& text) override { observer_.creatorText(text); }
  void commentLine(const std::string& text) override { observer_.commentText(text); }

  void entry(const listfile::ListEntry& entry) override {
    observer_.entryKind(entry.kind);
    std::string line;
    ReportColour colour = ReportColour::Red;
    switch (judge(entry)) {
      case Verdict::Intact:
        line = formatTemplate(intactFormat_, {entry.name});
        colour = ReportColour::Green;
        break;
      case Verdict::Modified:
        line = formatTemplate(errorFormat_, {entry.name, std::string()});
        ++counts_.modified;
        break;
      case Verdict::Unreadable:
        line = formatTemplate(errorFormat_, {entry.name, unreadableMark_});
        ++counts_.modified;
        break;
      case Verdict::Missing:
        line = formatTemplate(errorFormat_, {entry.name, deletedMark_});
        ++counts_.modified;
        ++counts_.deleted;
        break;
    }
    observer_.reportLine(line, colour);
    lastColour_ = colour;
    ++counts_.entries;
  }

  const VerifyCounts& counts() const { return counts_; }
  ReportColour lastColour() const { return lastColour_; }

 private:
  // A checksum list cannot carry its own checksum: writing the value would
  // change the list. So an entry for the list being read, or for a list under
  // the name lists get at a root, is not recomputed and stands as intact,
  // whatever the entry before it held, as long as that list exists.
  bool namesExistingChecksumList(const listfile::ListEntry& entry, const std::string& path) const {
    const bool listName = platform::equalIgnoringAsciiCase(entry.name, listName_) ||
                          platform::equalIgnoringAsciiCase(entry.name, listfile::kRootSfvName);
    return listName && platform::fileKind(path) == platform::FileKind::Regular;
  }

  Verdict judge(const listfile::ListEntry& entry) {
    std::string path = folderPrefix_ + entry.name;
    std::replace(path.begin() + static_cast<std::ptrdiff_t>(folderPrefix_.size()), path.end(),
                 listfile::kNameSeparator, '/');
    if (namesExistingChecksumList(entry, path)) return Verdict::Intact;
    FileReadStatus status = FileReadStatus::OpenFailed;
    std::string computed;
    if (entry.kind == engines::ChecksumKind::Crc32) {
      const auto crc = engines::FileCrc32(path);
      status = crc.status;
      computed = crc.value.toHex();
    } else {
      const auto digest = engines::MD5File(path, &observer_);
      status = digest.status;
      computed = digest.value.toHex();
    }
    switch (status) {
      case FileReadStatus::Ok:
        return listfile::checksumTextsMatch(entry.expected, computed) ? Verdict::Intact : Verdict::Modified;
      case FileReadStatus::ReadFailed:
      case FileReadStatus::Changed: return Verdict::Unreadable;
      case FileReadStatus::Missing:
      case FileReadStatus::NotAFile:
      case FileReadStatus::NameTooLong:
      case FileReadStatus::OpenFailed: break;
    }
    // Missing, a folder, a FIFO, socket or device, or not permitted: none of
    // them can be checked, so the file counts as gone.
    return Verdict::Missing;
  }

  std::string folderPrefix_;
  std::string listName_;
  VerifyObserver& observer_;
  std::string deletedMark_;
  std::string errorFormat_;
  std::string intactFormat_;
  std::string unreadableMark_;
  VerifyCounts counts_;
  ReportColour lastColour_ = ReportColour::Default;
};

// Why a list could not be read, in the system's words where it has them.
std::string failureReason(const platform::FileContents& contents) {
  if (contents.status == FileReadStatus::Changed) return "it changed while it was read";
  if (contents.error == 0) return "not a regular file";
  return std::generic_category().message(contents.error);
}

// Reads the list `listName` of the folder `folderPrefix` whole before
// checking the first entry, so a list that cannot be read to its end is a
// failure, never a shorter list. `shownName` names it in the message.
VerifyResult readAndCheckList(const std::string& folderPrefix, const std::string& listName,
                              const std::string& shownName, ChecksumMode mode, VerifyObserver& observer) {
  const platform::FileContents list = platform::readWholeFile(folderPrefix + listName);
  if (list.status != FileReadStatus::Ok) {
    observer.errorMessage(formatTemplate(language::translated(texts::ListUnreadable), {shownName, failureReason(list)}));
    VerifyResult result;
    result.outcome = VerifyOutcome::ListUnreadable;
    result.listName = listName;
    return result;
  }
  return runVerifyPassOnText(folderPrefix, listName, list.bytes, mode, observer);
}

}  // namespace

std::string findList(const std::string& folder) {
  const platform::DirectoryListing listing = platform::listDirectory(folder);
  std::string name = lastWithExtension(listing, listfile::kSfvExtension);
  if (name.empty()) name = lastWithExtension(listing, listfile::kMd5Extension);
  return name;
}

VerifyResult runVerifyPass(const std::string& folder, ChecksumMode mode, VerifyObserver& observer) {
  const std::string listName = findList(folder);
  if (listName.empty()) return {};
  return readAndCheckList(platform::withTrailingSlash(folder), listName, listName, mode, observer);
}

VerifyResult runVerifyPassOnList(const std::string& listPath, ChecksumMode mode, VerifyObserver& observer) {
  const std::filesystem::path path(listPath);
  const std::string folder = path.has_parent_path() ? path.parent_path().string() : ".";
  return readAndCheckList(platform::withTrailingSlash(folder), path.filename().string(), listPath, mode, observer);
}

VerifyResult runVerifyPassOnText(const std::string& folder, const std::string& listName, std::string_view listText,
                                 ChecksumMode mode, VerifyObserver& observer) {
  VerifyResult result;
  result.outcome = VerifyOutcome::Checked;
  result.listName = listName;
  const std::string folderPrefix = platform::withTrailingSlash(folder);
  EntryChecker checker(folderPrefix, listName, observer);
  listfile::readList(listText, mode, checker);

  result.counts = checker.counts();
  const VerifyCounts& counts = result.counts;
  const ReportColour colour = checker.lastColour();
  observer.reportLine(" ", colour);
  observer.reportLine(formatTemplate(language::translated(texts::FileChecked), {std::int64_t{counts.entries}}), colour);
  observer.reportLine(formatTemplate(language::translated(texts::FileModi),
                                     {std::int64_t{counts.modified}, std::int64_t{counts.deleted}}),
                      colour);
  observer.reportLine(
      formatTemplate(language::translated(texts::FileCheckedOk), {std::int64_t{counts.entries - counts.modified}}),
      colour);
  return result;
}

}  // namespace zelk::passes
