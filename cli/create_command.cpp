// zelk-sfv create [--algorithm NAME|--md5] [-r|--recursive] [--slashes] [--output FILE] [--creator TEXT] [--comment TEXT]
//                 [--force] [--jobs N] FOLDER

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "cli/interrupt.h"
#include "cli/option_values.h"
#include "cli/terminal.h"
#include "engines/algorithm.h"
#include "passes/create_pass.h"
#include "platform/files.h"

namespace zelk::cli {
namespace {

void usageError(const std::string& message) {
  std::fprintf(stderr, "zelk-sfv create: %s\nTry 'zelk-sfv --help'.\n", message.c_str());
}

std::optional<passes::CreateSettings> parseArguments(const std::vector<std::string>& arguments) {
  passes::CreateSettings settings;
  std::vector<std::string> folders;
  bool optionsEnded = false;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (optionsEnded || argument.size() < 2 || argument[0] != '-') {
      folders.push_back(argument);
    } else if (argument == "--") {
      optionsEnded = true;
    } else if (argument == "--md5") {
      settings.kind = engines::ChecksumKind::Md5;
    } else if (const auto name = optionValue(arguments, i, "--algorithm")) {
      const engines::Algorithm* algorithm = engines::AlgorithmNamed(*name);
      if (algorithm == nullptr) {
        usageError("--algorithm takes one of " + algorithmNames());
        return std::nullopt;
      }
      settings.kind = algorithm->kind;
    } else if (argument == "-r" || argument == "--recursive") {
      settings.includeSubfolders = true;
    } else if (argument == "--force") {
      settings.replaceWithoutAsking = true;
    } else if (argument == "--slashes") {
      settings.nameSeparator = '/';
    } else if (takeJobsOption(arguments, i, settings.jobs)) {
      if (settings.jobs == 0) {
        usageError(kJobsUsage);
        return std::nullopt;
      }
    } else if (argument == "--creator" || argument == "--comment") {
      if (i + 1 == arguments.size()) {
        usageError(argument + " needs a text");
        return std::nullopt;
      }
      (argument == "--creator" ? settings.creator : settings.comment) = arguments[++i];
    } else if (argument == "--output") {
      if (i + 1 == arguments.size() || arguments[i + 1].empty()) {
        usageError("--output needs a file name, or - for standard output");
        return std::nullopt;
      }
      settings.outputPath = arguments[++i];
      settings.toStandardOutput = settings.outputPath == "-";
    } else {
      usageError("unknown option '" + argument + "'");
      return std::nullopt;
    }
  }
  if (folders.size() != 1) {
    usageError(folders.empty() ? "a folder is needed" : "only one folder can be given");
    return std::nullopt;
  }
  settings.folder = folders.front();
  return settings;
}

// Shows the pass on the terminal. With the list on standard output, only what
// the user has to know (left-out files, failures) is said, on standard error.
class TerminalCreateObserver final : public ProgressLineObserver<passes::CreateObserver> {
 public:
  explicit TerminalCreateObserver(bool listOnStandardOutput) : results_(listOnStandardOutput ? nullptr : stdout) {}

  bool confirmOverwrite(const std::string& question) override {
    if (isTerminal(stdin)) return askYesNo(question);
    printLine(stderr, question);
    printLine(stderr, "zelk-sfv create: not overwritten; --force overwrites the list without asking.");
    return false;
  }
  void clearResultTexts() override {}
  void memoLine(const std::string& line) override { result(line); }
  void noteLine(const std::string& line) override {
    std::fflush(stdout);
    printLine(stderr, "zelk-sfv create: " + line);
  }
  void timeText(const std::string& text) override { result(text); }
  void completionText(const std::string& text) override { result(text); }
  void errorMessage(const std::string& text) override {
    std::fflush(stdout);
    printLine(stderr, "zelk-sfv create: " + text);
  }

 private:
  void result(const std::string& line) const {
    if (results_ != nullptr) printLine(results_, line);
  }

  std::FILE* results_;
};

}  // namespace

int runCreateCommand(const std::vector<std::string>& arguments) {
  const std::optional<passes::CreateSettings> settings = parseArguments(arguments);
  if (!settings) return 2;
  // The list would not be written anyway; said plainly rather than by errno.
  if (!settings->toStandardOutput && !settings->outputPath.empty() &&
      platform::fileKind(settings->outputPath) == platform::FileKind::Other) {
    printLine(stderr, "zelk-sfv create: " + settings->outputPath + " is a FIFO, socket or device, not a list");
    return 2;
  }
  TerminalCreateObserver observer(settings->toStandardOutput);
  const InterruptStopsPass interrupt;
  const passes::CreateOutcome outcome = passes::runCreatePass(*settings, observer, interrupt.token());
  // Ctrl+C at the overwrite question answers it, and still tells the shell.
  if (interrupt.token().stop_requested()) return kInterrupted;
  switch (outcome) {
    case passes::CreateOutcome::Written: return 0;
    case passes::CreateOutcome::WrittenWithOmissions:
    case passes::CreateOutcome::Declined: return 1;
    case passes::CreateOutcome::FolderMissing:
    case passes::CreateOutcome::WriteFailed:
    case passes::CreateOutcome::ListUnreadable: break;
    case passes::CreateOutcome::Cancelled: return kInterrupted;
  }
  return 2;
}

}  // namespace zelk::cli
