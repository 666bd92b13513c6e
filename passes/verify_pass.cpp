#include "passes/verify_pass.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string_view>
#include <system_error>
#include <utility>
#include <vector>

#include "language/message_format.h"
#include "language/texts.h"
#include "listfile/list_format.h"
#include "listfile/list_naming.h"
#include "passes/kind_decisions.h"
#include "passes/ordered_hashing.h"
#include "passes/progress_display.h"
#include "passes/text_store.h"
#include "platform/ascii.h"
#include "platform/directory.h"
#include "platform/disk_kind.h"
#include "platform/files.h"

namespace zelk::passes {
namespace {

namespace texts = language::texts;
using engines::FileReadStatus;
using language::formatTemplate;

constexpr std::string_view kDeletedMarkPrefix = "---> ";

// An entry of the plan, as the report takes it.
struct PlannedEntry {
  engines::KindSet kinds;  // the candidates; one, unless its digest's length fits several
  std::string_view expected;
  std::string_view name;
};

bool matches(const PlannedEntry& entry, const engines::Digest* digest) {
  return digest != nullptr && listfile::checksumTextsMatch(entry.expected, digest->toHex());
}

// The kind a read file's entry is of: its one candidate or the one decided
// for its candidates, else the first whose digest matches (decided so from
// now on), else the first.
engines::ChecksumKind resolvedKind(const PlannedEntry& entry, const HashedFile& hashed, KindDecisions& decisions) {
  const engines::KindSet candidates = decisions.narrowed(entry.kinds);
  if (candidates.size() == 1) return candidates.first();
  std::optional<engines::ChecksumKind> matched;
  candidates.forEach([&](engines::ChecksumKind kind) {
    if (!matched && matches(entry, hashed.digests.of(kind))) matched = kind;
  });
  if (!matched) return candidates.first();
  decisions.decide(entry.kinds, *matched);
  return *matched;
}

Verdict verdictOf(const HashedFile& hashed, const PlannedEntry& entry, engines::ChecksumKind kind) {
  switch (hashed.status) {
    case FileReadStatus::Ok: return matches(entry, hashed.digests.of(kind)) ? Verdict::Intact : Verdict::Modified;
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

// A line of the list that the pass acts on, in list order: a few bytes
// each, their texts in the plan's store (mostly the list's own bytes).
struct ListLine {
  enum class Kind : std::uint8_t { Creator, Comment, Entry };
  Kind kind = Kind::Entry;
  bool standsIntact = false;  // names an existing checksum list: not recomputed
  bool backslashSeparatesFolders = true;
  engines::KindSet kinds;
  TextStore::Ref text;  // of a creator or comment line; an entry's expected checksum
  TextStore::Ref name;  // an entry's
};

// Takes the list's lines as the reader hands them over, and the files to
// read for its entries, before the first file is read: the checks then run
// ahead of the report, which still follows the list line by line.
class ListPlan final : public listfile::ListVisitor {
 public:
  // `listText` outlives the plan.
  ListPlan(std::string folderPrefix, std::string listName, std::string_view listText)
      : folderPrefix_(std::move(folderPrefix)), listName_(std::move(listName)), texts_(listText) {}

  void creatorLine(const std::string& text) override {
    lines.push_back({ListLine::Kind::Creator, false, true, {}, texts_.keep(text), {}});
  }
  void commentLine(const std::string& text) override {
    lines.push_back({ListLine::Kind::Comment, false, true, {}, texts_.keep(text), {}});
  }

  void entry(const listfile::ListEntry& entry) override {
    ListLine line{ListLine::Kind::Entry, false,  entry.backslashSeparatesFolders, entry.kinds,
                  texts_.keep(entry.expected), texts_.keep(entry.name)};
    line.standsIntact = namesExistingChecksumList(line);
    ++entries;
    if (!line.standsIntact) requestLines.push_back(static_cast<std::uint32_t>(lines.size()));
    lines.push_back(line);
  }

  std::string_view text(const ListLine& line) const { return texts_.view(line.text); }
  PlannedEntry entryOf(const ListLine& line) const { return {line.kinds, texts_.view(line.text), texts_.view(line.name)}; }

  // The path of the file of the entry at `line`, as the pass opens it.
  void pathOf(const ListLine& line, std::string& path) const {
    path = folderPrefix_;
    listfile::appendEntryPath(path, texts_.view(line.name), line.backslashSeparatesFolders);
  }

  std::vector<ListLine> lines;
  std::vector<std::uint32_t> requestLines;  // the line of each file to read, in order
  std::int64_t entries = 0;

 private:
  // A checksum list cannot carry its own checksum: writing the value would
  // change the list. So an entry for the list being read, or for a list under
  // the name lists get at a root, is not recomputed and stands as intact,
  // whatever the entry before it held, as long as that list exists.
  bool namesExistingChecksumList(const ListLine& line) const {
    const std::string_view name = texts_.view(line.name);
    const std::string_view rootSfvName = listfile::DialectOf(engines::ChecksumKind::Crc32).rootName;
    if (!platform::equalIgnoringAsciiCase(name, listName_) && !platform::equalIgnoringAsciiCase(name, rootSfvName)) {
      return false;
    }
    std::string path;
    pathOf(line, path);
    return platform::fileKind(path) == platform::FileKind::Regular;
  }

  std::string folderPrefix_;
  std::string listName_;
  TextStore texts_;
};

// Reports each entry's verdict as a line and keeps the counts.
class EntryReport {
 public:
  explicit EntryReport(VerifyObserver& observer)
      : observer_(observer),
        deletedMark_(std::string(kDeletedMarkPrefix) + language::translated(texts::FileDelete)),
        errorFormat_(language::translated(texts::FileCrcError)),
        intactFormat_(language::translated(texts::FileCrcOk)),
        unreadableMark_(std::string(kDeletedMarkPrefix) + language::translated(texts::FileNotReadable)) {}

  // `actual` is the file's digest when it was read whole.
  void add(const PlannedEntry& entry, engines::ChecksumKind kind, Verdict verdict, const engines::Digest* actual) {
    CheckedEntry checked{std::string(entry.name), kind, verdict, std::string(entry.expected), std::nullopt, {},
                         ReportColour::Red};
    if (actual != nullptr) checked.actual = *actual;
    switch (verdict) {
      case Verdict::Intact:
        checked.line = formatTemplate(intactFormat_, {checked.name});
        checked.colour = ReportColour::Green;
        break;
      case Verdict::Modified:
        checked.line = formatTemplate(errorFormat_, {checked.name, std::string()});
        ++counts_.modified;
        break;
      case Verdict::Unreadable:
        checked.line = formatTemplate(errorFormat_, {checked.name, unreadableMark_});
        ++counts_.modified;
        break;
      case Verdict::Missing:
        checked.line = formatTemplate(errorFormat_, {checked.name, deletedMark_});
        ++counts_.modified;
        ++counts_.deleted;
        break;
    }
    lastColour_ = checked.colour;
    ++counts_.entries;
    observer_.entryChecked(checked);
  }

  // The blank line and the three counts, in the colour of the last entry.
  void addCounts() {
    observer_.reportLine(" ", lastColour_);
    observer_.reportLine(formatTemplate(language::translated(texts::FileChecked), {std::int64_t{counts_.entries}}),
                         lastColour_);
    observer_.reportLine(formatTemplate(language::translated(texts::FileModi),
                                        {std::int64_t{counts_.modified}, std::int64_t{counts_.deleted}}),
                         lastColour_);
    observer_.reportLine(formatTemplate(language::translated(texts::FileCheckedOk),
                                        {std::int64_t{counts_.entries - counts_.modified}}),
                         lastColour_);
  }

  const VerifyCounts& counts() const { return counts_; }

 private:
  VerifyObserver& observer_;
  std::string deletedMark_;
  std::string errorFormat_;
  std::string intactFormat_;
  std::string unreadableMark_;
  VerifyCounts counts_;
  ReportColour lastColour_ = ReportColour::Default;
};

// Goes through the list's lines in order, reading the files of its entries.
// False when the pass was stopped before the last entry.
bool checkEntries(const ListPlan& plan, OrderedHashing& hashing, KindDecisions& decisions, VerifyObserver& observer,
                  EntryReport& report, const std::stop_token& stop) {
  ProgressDisplay display(
      observer, observer, hashing,
      plan.entries);
  for (const ListLine& line : plan.lines) {
    if (line.kind == ListLine::Kind::Creator) {
      observer.creatorText(std::string(plan.text(line)));
      continue;
    }
    if (line.kind == ListLine::Kind::Comment) {
      observer.commentText(std::string(plan.text(line)));
      continue;
    }
    if (stop.stop_requested()) return false;
    const PlannedEntry entry = plan.entryOf(line);
    const std::string name(entry.name);
    const engines::ChecksumKind likelyKind = decisions.narrowed(entry.kinds).first();
    observer.entryKind(likelyKind);
    if (line.standsIntact) {
      display.skipped(name);
      report.add(entry, likelyKind, Verdict::Intact, nullptr);
      continue;
    }
    const HashedFile hashed = display.await(name);
    if (hashed.cancelled) return false;
    const engines::ChecksumKind kind = resolvedKind(entry, hashed, decisions);
    report.add(entry, kind, verdictOf(hashed, entry, kind), hashed.digests.of(kind));
  }
  display.finished();
  return true;
}

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
                              const std::string& shownName, ChecksumMode mode, VerifyObserver& observer,
                              std::stop_token stop, int jobs) {
  const platform::FileContents list = platform::readWholeFile(folderPrefix + listName);
  if (list.status != FileReadStatus::Ok) {
    observer.errorMessage(formatTemplate(language::translated(texts::ListUnreadable), {shownName, failureReason(list)}));
    VerifyResult result;
    result.outcome = VerifyOutcome::ListUnreadable;
    result.listName = listName;
    return result;
  }
  return runVerifyPassOnText(folderPrefix, listName, list.bytes, mode, observer, std::move(stop), jobs);
}

}  // namespace

VerifyResult runVerifyPass(const std::string& folder, ChecksumMode mode, VerifyObserver& observer,
                           std::stop_token stop, int jobs) {
  const std::string listName = listfile::findList(folder);
  if (listName.empty()) return {};
  return readAndCheckList(platform::withTrailingSlash(folder), listName, listName, mode, observer, std::move(stop),
                          jobs);
}

VerifyResult runVerifyPassOnList(const std::string& listPath, ChecksumMode mode, VerifyObserver& observer,
                                 std::stop_token stop, int jobs) {
  const std::filesystem::path path(listPath);
  const std::string folder = path.has_parent_path() ? path.parent_path().string() : ".";
  return readAndCheckList(platform::withTrailingSlash(folder), path.filename().string(), listPath, mode, observer,
                          std::move(stop), jobs);
}

VerifyResult runVerifyPassOnListIn(const std::string& folder, const std::string& listName,
                                   const std::string& shownName, ChecksumMode mode, VerifyObserver& observer,
                                   std::stop_token stop, int jobs) {
  return readAndCheckList(platform::withTrailingSlash(folder), listName, shownName, mode, observer, std::move(stop),
                          jobs);
}

VerifyResult runVerifyPassOnText(const std::string& folder, const std::string& listName, std::string_view listText,
                                 ChecksumMode mode, VerifyObserver& observer, std::stop_token stop, int jobs) {
  VerifyResult result;
  result.outcome = VerifyOutcome::Checked;
  result.listName = listName;
  const std::string folderPrefix = platform::withTrailingSlash(folder);
  ListPlan plan(folderPrefix, listName, listText);
  listfile::readList(listText, {mode, listfile::DialectOfListName(listName)}, plan);

  EntryReport report(observer);
  bool complete = false;
  {
    KindDecisions decisions;
    const auto pathOf = [&plan](std::size_t index, std::string& path) {
      plan.pathOf(plan.lines[plan.requestLines[index]], path);
    };
    OrderedHashing hashing(jobs, platform::onSpinningDisk(folderPrefix), stop, pathOf, &decisions);
    for (const std::uint32_t line : plan.requestLines) hashing.add(plan.lines[line].kinds);
    complete = checkEntries(plan, hashing, decisions, observer, report, stop);
  }
  report.addCounts();
  result.counts = report.counts();
  if (!complete) {
    result.outcome = VerifyOutcome::Cancelled;
    observer.reportLine(language::translated(texts::PassCancelled), ReportColour::Default);
  }
  return result;
}

}  // namespace zelk::passes
