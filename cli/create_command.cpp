// zelk-sfv create [--md5] [-r|--recursive] [--creator TEXT] [--comment TEXT] [--force] FOLDER

#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "cli/commands.h"
#include "cli/terminal.h"
#include "passes/create_pass.h"

namespace zelk::cli {
namespace {

struct CreateOptions {
  passes::CreateSettings settings;
  bool force = false;
};

void usageError(const std::string& message) {
  std::fprintf(stderr, "zelk-sfv create: %s\nTry 'zelk-sfv --help'.\n", message.c_str());
}

std::optional<CreateOptions> parseArguments(const std::vector<std::string>& arguments) {
  CreateOptions options;
  std::vector<std::string> folders;
  bool optionsEnded = false;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (optionsEnded || argument.size() < 2 || argument[0] != '-') {
      folders.push_back(argument);
    } else if (argument == "--") {
      optionsEnded = true;
    } else if (argument == "--md5") {
      options.settings.kind = engines::ChecksumKind::Md5;
    } else if (argument == "-r" || argument == "--recursive") {
      options.settings.includeSubfolders = true;
    } else if (argument == "--force") {
      options.force = true;
    } else if (argument == "--creator" || argument == "--comment") {
      if (i + 1 == arguments.size()) {
        usageError(argument + " needs a text");
        return std::nullopt;
      }
      (argument == "--creator" ? options.settings.creator : options.settings.comment) = arguments[++i];
    } else {
      usageError("unknown option '" + argument + "'");
      return std::nullopt;
    }
  }
  if (folders.size() != 1) {
    usageError(folders.empty() ? "a folder is needed" : "only one folder can be given");
    return std::nullopt;
  }
  options.settings.folder = folders.front();
  return options;
}

// "." and ".." name no folder a list could be named after: use the folder
// they stand for. Entry names are relative, so they do not change.
std::string namedFolder(const std::string& folder) {
  std::filesystem::path path(folder);
  while (!path.empty() && !path.has_filename() && path.has_relative_path()) path = path.parent_path();
  if (path.filename() != "." && path.filename() != "..") return folder;
  std::error_code error;
  const std::filesystem::path resolved = std::filesystem::canonical(path, error);
  return error ? folder : resolved.string();
}

class TerminalCreateObserver final : public passes::CreateObserver {
 public:
  explicit TerminalCreateObserver(bool force) : force_(force) {}

  bool confirmOverwrite(const std::string& question) override {
    if (force_) return true;
    if (isTerminal(stdin)) return askYesNo(question);
    printLine(stderr, question);
    printLine(stderr, "zelk-sfv create: not overwritten; --force overwrites the list without asking.");
    return false;
  }
  void clearResultTexts() override {}
  void memoLine(const std::string& line) override { printLine(stdout, line); }
  void timeText(const std::string& text) override { printLine(stdout, text); }
  void completionText(const std::string& text) override { printLine(stdout, text); }
  void errorMessage(const std::string& text) override {
    std::fflush(stdout);
    printLine(stderr, "zelk-sfv create: " + text);
  }
  void showProgress() override { progress_.showProgress(); }
  void setProgress(int percent) override { progress_.setProgress(percent); }
  void hideProgress() override { progress_.hideProgress(); }

 private:
  bool force_;
  TerminalProgress progress_;
};

}  // namespace

int runCreateCommand(const std::vector<std::string>& arguments) {
  std::optional<CreateOptions> options = parseArguments(arguments);
  if (!options) return 2;
  options->settings.folder = namedFolder(options->settings.folder);
  TerminalCreateObserver observer(options->force);
  switch (passes::runCreatePass(options->settings, observer)) {
    case passes::CreateOutcome::Written: return 0;
    case passes::CreateOutcome::Declined: return 1;
    case passes::CreateOutcome::FolderMissing:
    case passes::CreateOutcome::WriteFailed: break;
  }
  return 2;
}

}  // namespace zelk::cli
