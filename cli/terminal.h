#pragma once
// What the command-line tool needs of a terminal: whether a stream is one,
// coloured lines, the overwrite question, and a progress line that only long
// reads show.

#include <chrono>
#include <cstdio>
#include <string>

#include "engines/progress.h"

namespace zelk::cli {

bool isTerminal(std::FILE* stream);

// isTerminal(stdout), asked on the first call only.
bool stdoutIsTerminal();

enum class TerminalColour { Plain, Green, Red };

// Writes `line` and a line break to `stream`, in colour only when the stream
// is standard output and that is a terminal.
void printLine(std::FILE* stream, const std::string& line, TerminalColour colour = TerminalColour::Plain);

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
