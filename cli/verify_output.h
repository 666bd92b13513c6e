#pragma once
// What zelk-sfv verify shows on standard output of the lists it checks: the
// report as the window shows it, or JSON Lines (--json). Both count the
// entries of each list by verdict and give a total over all lists.

#include <string>
#include <vector>

#include "cli/terminal.h"
#include "passes/rtf_report.h"
#include "passes/verify_pass.h"

namespace zelk::cli {

// What standard output shows of the report.
enum class Shown { Everything, FailuresAndSummary, Nothing };

// Entries by verdict; each entry is counted once.
struct VerdictCounts {
  long long intact = 0;
  long long modified = 0;
  long long missing = 0;
  long long unreadable = 0;

  void add(passes::Verdict verdict);
  long long checked() const { return intact + modified + missing + unreadable; }
  VerdictCounts& operator+=(const VerdictCounts& other);
};

// Over every list of a run.
struct VerifyTotals {
  long long listsFound = 0;
  long long listsChecked = 0;     // read and checked, to the end or to a stop
  long long listsUnreadable = 0;  // that could not be read
  long long foldersUnreadable = 0;  // where lists may be that were not searched
  VerdictCounts entries;
  bool cancelled = false;
};

// Observes the pass of each list in turn: listStarts, the pass, listEnds;
// then total once. Entries are counted here, shown by the subclass.
class VerifyOutput : public ProgressLineObserver<passes::VerifyObserver> {
 public:
  explicit VerifyOutput(Shown shown) : shown_(shown) {}

  // `list` names the list whose pass comes next, as it is to be shown.
  virtual void listStarts(const std::string& list);
  // After the list's pass (and its section of unlisted files): adds it to
  // the totals.
  virtual void listEnds(passes::VerifyOutcome outcome);
  // Once, after the last list.
  virtual void total() = 0;

  void entryChecked(const passes::CheckedEntry& entry) final;
  void errorMessage(const std::string& text) override;

  // What the search for lists adds to the totals: the lists found (a stop
  // may leave some unchecked), folders where lists could not be searched
  // for, and a stop before the passes ran.
  void addFoundLists(long long count) { totals_.listsFound += count; }
  void addUnreadableFolders(long long count) { totals_.foldersUnreadable += count; }
  void markCancelled() { totals_.cancelled = true; }

  const VerifyTotals& totals() const { return totals_; }

 protected:
  virtual void showEntry(const passes::CheckedEntry& entry) = 0;
  // Whether a line of this weight is shown: `essential` is a failure, a
  // summary or a note a quiet run still shows.
  bool shows(bool essential) const {
    return shown_ == Shown::Everything || (shown_ == Shown::FailuresAndSummary && essential);
  }
  const std::string& list() const { return list_; }
  const VerdictCounts& listCounts() const { return listCounts_; }

 private:
  Shown shown_;
  std::string list_;
  VerdictCounts listCounts_;
  VerifyTotals totals_;
};

// The report as the window shows it. With `headings` (verify -r), each
// list's report comes under a line naming the list, and a line of totals
// ends the run. Keeps the report for saving when asked to.
class ReportOutput final : public VerifyOutput {
 public:
  ReportOutput(Shown shown, bool keepReport, bool headings)
      : VerifyOutput(shown), keepReport_(keepReport), headings_(headings) {}

  void listStarts(const std::string& list) override;
  void total() override;
  void creatorText(const std::string& text) override { show(text, passes::ReportColour::Default, false); }
  void commentText(const std::string& text) override { show(text, passes::ReportColour::Default, false); }
  void entryKind(engines::ChecksumKind) override {}
  void reportLine(const std::string& text, passes::ReportColour colour) override;

  const std::vector<passes::ColouredRun>& report() const { return report_; }

 private:
  void showEntry(const passes::CheckedEntry& entry) override;
  void show(const std::string& text, passes::ReportColour colour, bool essential) const;
  // The saved report holds the report lines, not the list's creator and comment.
  void keep(const std::string& text, passes::ReportColour colour);

  bool keepReport_;
  bool headings_;
  bool firstList_ = true;
  std::vector<passes::ColouredRun> report_;
};

// JSON Lines: an object per entry shown and per file no entry names, one
// per list and one of the totals (their keys: doc/man/zelk-sfv.1).
class JsonOutput final : public VerifyOutput {
 public:
  using VerifyOutput::VerifyOutput;

  void listEnds(passes::VerifyOutcome outcome) override;
  void total() override;
  void creatorText(const std::string&) override {}
  void commentText(const std::string&) override {}
  void entryKind(engines::ChecksumKind) override {}
  // The lines and counts of the report are in the objects.
  void reportLine(const std::string&, passes::ReportColour) override {}
  void unlistedFiles(const std::vector<std::string>& names) override;

 private:
  void showEntry(const passes::CheckedEntry& entry) override;
};

}  // namespace zelk::cli
