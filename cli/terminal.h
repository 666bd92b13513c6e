#pragma once
// What the command-line tool needs of its standard streams: whether one is a
// terminal, lines shown safely there, output failures that end the run, the
// overwrite question, and a progress line that only long passes show.

#include <chrono>
#include <cstdio>
#include <stdexcept>
#include <string>

#include "passes/pass_progress.h"

namespace zelk::cli {

// Whether standard output or standard error is a terminal, asked once per
// stream: a run prints thousands of lines to the same place.
bool isTerminal(std::FILE* stream);

enum class TerminalColour { Plain, Green, Red };

// Standard output could not be written (a full disk, a closed pipe): what the
// run did can no longer be reported, so it ends with status 2.
class OutputError : public std::runtime_error {
 public:
  explicit OutputError(int error);
};

// Writes `line` and a line break to `stream`. On a terminal the line is shown
// as displayText() shows it, with control characters as '?' (as ls does), and
// in colour on standard output unless NO_COLOR is set; elsewhere every byte
// goes out as it is.
// Throws OutputError when standard output fails.
void printLine(std::FILE* stream, const std::string& line, TerminalColour colour = TerminalColour::Plain);

// Throws OutputError when what standard output still buffers cannot be written.
void flushOutput();

// Asks `question` on the terminal; true only for an answer starting with y/Y.
bool askYesNo(const std::string& question);

// The pass's progress on one line of standard error: the file being read,
// the percentage of all bytes, the speed and the time left. Drawn only when
// standard error is a terminal and the pass has run for a moment, so short
// runs print nothing extra; printLine() and askYesNo() erase it first, and it
// is erased when the pass ends.
class ProgressLine {
 public:
  ProgressLine();
  ~ProgressLine();
  ProgressLine(const ProgressLine&) = delete;
  ProgressLine& operator=(const ProgressLine&) = delete;

  void show(const passes::PassProgress& progress);
  // Whether anything is ever drawn: standard error is a terminal.
  bool enabled() const { return enabled_; }

 private:
  bool enabled_;
  std::chrono::steady_clock::time_point started_;
};

// A pass observer that shows the pass's progress on the one progress line,
// which also tells the file being read: no bar of its own per file.
template <typename PassObserver>
class ProgressLineObserver : public PassObserver {
 public:
  void showProgress() override {}
  void setProgress(int) override {}
  void hideProgress() override {}
  void passProgress(const passes::PassProgress& progress) override { progress_.show(progress); }
  bool showsPassProgress() const override { return progress_.enabled(); }

 private:
  ProgressLine progress_;
};

// The text of the progress line, `width` columns at most (0: no limit).
std::string progressText(const passes::PassProgress& progress, std::size_t width);

}  // namespace zelk::cli
