#pragma once
// What zelk-sfv create shows of its pass: the result lines as the window
// shows them, or JSON Lines (--json). Both ask the overwrite question and
// say notes and failures on standard error.

#include <cstdio>
#include <string>

#include "cli/terminal.h"
#include "engines/checksum_types.h"
#include "passes/create_pass.h"

namespace zelk::cli {

class CreateOutput : public ProgressLineObserver<passes::CreateObserver> {
 public:
  // On a terminal, asked there; elsewhere said on standard error and
  // declined, as only --force overwrites without an answer.
  bool confirmOverwrite(const std::string& question) override;
  void clearResultTexts() override {}
  void noteLine(const std::string& line) override;
  void errorMessage(const std::string& text) override;
  // After the pass: what it came to.
  virtual void finished([[maybe_unused]] passes::CreateOutcome outcome) {}
};

// The result lines, the time and the completion line on standard output;
// with the list on standard output, none of them.
class LinesOutput final : public CreateOutput {
 public:
  explicit LinesOutput(bool listOnStandardOutput) : results_(listOnStandardOutput ? nullptr : stdout) {}

  void memoLine(const std::string& line) override { result(line); }
  void timeText(const std::string& text) override { result(text); }
  void completionText(const std::string& text) override { result(text); }

 private:
  void result(const std::string& line) const {
    if (results_ != nullptr) printLine(results_, line);
  }

  std::FILE* results_;
};

// JSON Lines: an object per file listed or left out and per entry whose file
// is gone, and one of the outcome (their keys: doc/man/zelk-sfv.1).
class JsonCreateOutput final : public CreateOutput {
 public:
  explicit JsonCreateOutput(engines::ChecksumKind kind);

  void memoLine(const std::string&) override {}
  void timeText(const std::string&) override {}
  void completionText(const std::string&) override {}
  void fileDone(const passes::FileOutcome& file) override;
  void entryGone(const passes::GoneEntry& entry) override;
  void finished(passes::CreateOutcome outcome) override;

 private:
  std::string algorithm_;
  long long listed_ = 0;
  long long leftOut_ = 0;
  long long gone_ = 0;
};

}  // namespace zelk::cli
