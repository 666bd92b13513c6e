#pragma once
// The verify pass: finds the list in a folder, recomputes every listed file
// and reports each entry as intact, modified or missing, then three counts.

#include <optional>
#include <stop_token>
#include <string>
#include <string_view>
#include <vector>

#include "engines/checksum_types.h"
#include "engines/progress.h"
#include "listfile/list_reader.h"
#include "passes/pass_progress.h"
#include "passes/rtf_report.h"

namespace zelk::passes {

using listfile::ChecksumMode;

enum class ReportColour { Default, Green, Red };

// The colour a report line is shown and saved in.
inline constexpr RgbColour reportRgb(ReportColour colour) {
  switch (colour) {
    case ReportColour::Green: return kIntactColour;
    case ReportColour::Red: return kFailedColour;
    case ReportColour::Default: break;
  }
  return kDefaultColour;
}

enum class Verdict {
  Intact,      // the file's checksum is the listed one
  Modified,    // it is another
  Unreadable,  // the file is there but could not be read whole, or changed while it was read
  Missing,     // no file, or one that cannot be opened: a folder, device, or not permitted
};

// An entry as the pass judged it, with its report line.
struct CheckedEntry {
  std::string name;  // as the list has it
  engines::ChecksumKind kind;
  Verdict verdict = Verdict::Missing;
  std::string expected;                   // as the list has it
  std::optional<engines::Digest> actual;  // none when the file was not read: missing, unreadable, or the list itself
  std::string line;                       // the report line, looked up and filled
  ReportColour colour = ReportColour::Default;
};

class VerifyObserver : public engines::ProgressSink, public PassProgressObserver {
 public:
  // The list's creator or comment line less its first two characters.
  virtual void creatorText(const std::string& text) = 0;
  virtual void commentText(const std::string& text) = 0;
  // The kind of the entry whose file is read next ("MD5-MODE" / "CRC32-MODE").
  virtual void entryKind(engines::ChecksumKind kind) = 0;
  // An entry has been judged. Unless overridden, its report line goes where
  // every other line goes.
  virtual void entryChecked(const CheckedEntry& entry) { reportLine(entry.line, entry.colour); }
  // A report line other than an entry's, in its colour: the summary lines
  // come with the colour of the last entry line (Default when the list had
  // none), the rest in Default.
  virtual void reportLine(const std::string& text, ReportColour colour) = 0;
  // A failure that ends the pass without a report; looked-up, filled text.
  virtual void errorMessage(const std::string& text) = 0;
  // After the counts, when asked for: the files no entry names
  // (passes/unlisted_files.h). Unless overridden, the report's section of
  // them, through reportLine (reportUnlistedFiles, defined there).
  virtual void unlistedFiles(const std::vector<std::string>& names);
};

struct VerifyCounts {
  long long entries = 0;   // entry lines examined
  long long modified = 0;  // entries that do not match (missing ones included)
  long long deleted = 0;   // entries whose file is missing or cannot be opened
};

enum class VerifyOutcome {
  Checked,         // every entry of the list was checked and reported
  NoList,          // the folder holds no list: nothing reported
  ListUnreadable,  // the list could not be read whole: reported through errorMessage only
  Cancelled,       // stopped on request: the entries checked so far were reported and counted
};

struct VerifyResult {
  VerifyOutcome outcome = VerifyOutcome::NoList;
  std::string listName;  // the list that was read
  VerifyCounts counts;
  bool allIntact() const { return outcome == VerifyOutcome::Checked && counts.modified == 0; }
};

// Runs the pass on the list of `folder` (listfile::findList); listed names
// are opened relative to it. The list
// is read whole before the first entry is checked, so a list that cannot be
// read to its end is a failure, never a shorter list. Every observer call is
// made on the calling thread; up to `jobs` files (0: one per processor) are
// read and hashed at once on others. A stop request is honoured between
// blocks of a file: the lines and counts of the entries checked so far, then
// a line telling the pass was cancelled.
VerifyResult runVerifyPass(const std::string& folder, ChecksumMode mode, VerifyObserver& observer,
                           std::stop_token stop = {}, int jobs = 0);

// The same pass on the list at `listPath`, whatever its name; listed names are
// opened relative to the list's folder. A list that cannot be read (missing
// among others) is ListUnreadable, with `listPath` named in the message.
VerifyResult runVerifyPassOnList(const std::string& listPath, ChecksumMode mode, VerifyObserver& observer,
                                 std::stop_token stop = {}, int jobs = 0);

// The same pass on the list `listName` in `folder`; `shownName` names it in
// the message when it cannot be read (ListUnreadable).
VerifyResult runVerifyPassOnListIn(const std::string& folder, const std::string& listName,
                                   const std::string& shownName, ChecksumMode mode, VerifyObserver& observer,
                                   std::stop_token stop = {}, int jobs = 0);

// The same pass on a list already read whole (from standard input, say);
// listed names are opened relative to `folder`. `listName` is what the
// report's entries are compared with for the list itself.
VerifyResult runVerifyPassOnText(const std::string& folder, const std::string& listName, std::string_view listText,
                                 ChecksumMode mode, VerifyObserver& observer, std::stop_token stop = {},
                                 int jobs = 0);

}  // namespace zelk::passes
