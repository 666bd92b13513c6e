#pragma once
// What the command-line tool needs of its standard streams: whether one is a
// terminal, lines shown safely there, output failures that end the run, the
// overwrite question, and a progress line that only long reads show.

#include <chrono>
#include <cstdio>
#include <stdexcept>
#include <string>

#include "engines/progress.h"

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

// A percentage on standard error while a file is read, shown only when
// standard error is a terminal and the file has been reading for a while, so
// runs over many small files print nothing extra. The line is erased when the
// file is done.
class TerminalProgress : public engines::ProgressSink {
 public:
  TerminalProgress();
  void showProgress() override;
  void setProgress(int percent) override;
  void hideProgress() override;

 private:
  bool enabled_;
  bool drawn_ = false;
  std::chrono::steady_clock::time_point started_;
};

}  // namespace zelk::cli
