// zelk-sfv create [--md5] [-r|--recursive] [--creator TEXT] [--comment TEXT] [--force] [--jobs N] FOLDER

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "cli/interrupt.h"
#include "cli/jobs_option.h"
#include "cli/terminal.h"
#include "passes/create_pass.h"

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
    } else if (argument == "-r" || argument == "--recursive") {
      settings.includeSubfolders = true;
    } else if (argument == "--force") {
      settings.replaceWithoutAsking = true;
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

class TerminalCreateObserver final : public passes::CreateObserver {
 public:
  bool confirmOverwrite(const std::string& question) override {
    if (isTerminal(stdin)) return askYesNo(question);
    printLine(stderr, question);
    printLine(stderr, "zelk-sfv create: not overwritten; --force overwrites the list without asking.");
    return false;
  }
  void clearResultTexts() override {}
  void memoLine(const std::string& line) override { printLine(stdout, line); }
  void noteLine(const std::string& line) override {
    std::fflush(stdout);
    printLine(stderr, "zelk-sfv create: " + line);
  }
  void timeText(const std::string& text) override { printLine(stdout, text); }
  void completionText(const std::string& text) override { printLine(stdout, text); }
  void errorMessage(const std::string& text) override {
    std::fflush(stdout);
    printLine(stderr, "zelk-sfv create: " + text);
  }
  // The one progress line tells the file and how far the pass is.
  void showProgress() override {}
  void setProgress(int) override {}
  void hideProgress() override {}
  void passProgress(const passes::PassProgress& progress) override { progress_.show(progress); }

 private:
  ProgressLine progress_;
};

}  // namespace

int runCreateCommand(const std::vector<std::string>& arguments) {
  const std::optional<passes::CreateSettings> settings = parseArguments(arguments);
  if (!settings) return 2;
  TerminalCreateObserver observer;
  const InterruptStopsPass interrupt;
  const passes::CreateOutcome outcome = passes::runCreatePass(*settings, observer, interrupt.token());
  // Ctrl+C at the overwrite question answers it, and still tells the shell.
  if (interrupt.token().stop_requested()) return kInterrupted;
  switch (outcome) {
    case passes::CreateOutcome::Written: return 0;
    case passes::CreateOutcome::WrittenWithOmissions:
    case passes::CreateOutcome::Declined: return 1;
    case passes::CreateOutcome::FolderMissing:
    case passes::CreateOutcome::WriteFailed: break;
    case passes::CreateOutcome::Cancelled: return kInterrupted;
  }
  return 2;
}

}  // namespace zelk::cli
