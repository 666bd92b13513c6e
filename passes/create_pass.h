#pragma once
// The create pass: walks a folder, computes every file's checksum, shows each
// result line, and writes the checksum list into the folder.

#include <optional>
#include <stop_token>
#include <string>

#include "engines/checksum_types.h"
#include "engines/progress.h"
#include "passes/pass_progress.h"

namespace zelk::passes {

struct CreateSettings {
  std::string folder;  // the folder text as typed; '/' is appended when missing
  engines::ChecksumKind kind = engines::ChecksumKind::Crc32;
  bool includeSubfolders = false;
  std::string creator;  // line breaks are written as blanks
  std::string comment;  // likewise
  // Replaces an existing list without asking (the question is not even
  // formatted, so a broken translation of it cannot stop the pass).
  bool replaceWithoutAsking = false;
  // Written between folder names in entries; unset, the list dialect's own
  // ('\' in SFV and MD5 lists, as the format has it). '/' for tools that
  // take nothing else.
  std::optional<char> nameSeparator = std::nullopt;
  // Where the list goes instead of the folder's own list; names in it stay
  // relative to the folder. Empty: the folder's list.
  std::string outputPath = {};
  // The list goes to standard output as it grows (outputPath is ignored).
  bool toStandardOutput = false;
  // Files hashed at once: 0 for one per processor, 1 for one after another.
  int jobs = 0;
  // Keeps the folder's list of `kind` (listfile::findListOfKind) byte for
  // byte and adds entries for the files it does not name, written as its
  // entries are (listfile::ListStyleFinder; nameSeparator only where no
  // entry tells the separator); never one for a list, a saved report or a
  // temporary file. Without such a list, one is written as without update.
  // The header texts are not used on an existing list, and outputPath must
  // be empty.
  bool update = false;
  // With update: the lines of entries whose files are gone are removed
  // rather than kept.
  bool prune = false;
};

// A file or folder the walk met, listed or left out, with its memo line.
struct FileOutcome {
  std::string name;      // as listed, with the list's separator between folders
  std::string checksum;  // the listed checksum text; empty when left out
  std::string reason;    // why it was left out, looked up; empty when listed
  std::string line;      // "name checksum" or "name - reason"
};

// An entry of a list being updated whose file is gone.
struct GoneEntry {
  std::string name;  // as the list has it
  bool removed;      // pruned, rather than kept
  std::string line;  // "name - what became of the entry", looked up
};

// What the pass tells its front end, in the order it happens.
class CreateObserver : public engines::ProgressSink, public PassProgressObserver {
 public:
  // The list exists: ask whether to overwrite it. `question` is the looked-up,
  // filled text. False ends the pass before anything is written.
  virtual bool confirmOverwrite(const std::string& question) = 0;
  // The time and completion texts are cleared once the question is past.
  virtual void clearResultTexts() = 0;
  // One result line per listed file ("name checksum").
  virtual void memoLine(const std::string& line) = 0;
  // Every file listed and every file or folder left out. Unless overridden,
  // the line of one listed goes to memoLine, of one left out to noteLine.
  virtual void fileDone(const FileOutcome& file) {
    if (file.reason.empty()) {
      memoLine(file.line);
    } else {
      noteLine(file.line);
    }
  }
  // Before the walk of an update, each entry whose file is gone. Unless
  // overridden, its line goes to noteLine.
  virtual void entryGone(const GoneEntry& entry) { noteLine(entry.line); }
  // One line per file or folder left out ("name - reason"), and one when the
  // creator or comment text held line breaks: what the user has to know.
  virtual void noteLine(const std::string& line) = 0;
  virtual void timeText(const std::string& text) = 0;
  virtual void completionText(const std::string& text) = 0;
  // A failure that ends the pass without a list; looked-up, filled text.
  virtual void errorMessage(const std::string& text) = 0;
};

enum class CreateOutcome {
  Written,               // the list holds every file the walk found
  WrittenWithOmissions,  // the list was written; memo lines name what was left out
  Declined,              // the user did not want the existing list overwritten
  FolderMissing,         // the folder does not exist or cannot be opened: nothing written
  WriteFailed,           // the list could not be written completely: any old list is kept
  Cancelled,             // stopped on request: nothing written, any old list kept
  ListUnreadable,        // the list to update could not be read: nothing written
};

// Runs the pass on settings.folder (files are opened by full path; the current
// directory is not touched). FolderMissing and WriteFailed have been reported
// through observer.errorMessage (ListUnreadable too), Cancelled through
// observer.noteLine. An update that adds and removes no entry leaves the
// list untouched. Every observer call is made on the calling thread; files
// may be read and hashed on others. A stop request is honoured between
// blocks of a file and up to the moment the list takes the old one's place;
// one that comes later finds the list written and the pass finished.
CreateOutcome runCreatePass(const CreateSettings& settings, CreateObserver& observer, std::stop_token stop = {});

// "TIME: %n sek": seconds with two decimals and the thousands and decimal
// separators of the user's locale.
std::string timeText(double seconds);

}  // namespace zelk::passes
