// zelk-sfv create [--algorithm NAME|--md5] [-r|--recursive] [--slashes] [--output FILE] [--creator TEXT] [--comment TEXT]
//                 [--force] [--update [--prune]] [--json] [--jobs N] FOLDER

#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "cli/create_output.h"
#include "cli/interrupt.h"
#include "cli/option_values.h"
#include "cli/terminal.h"
#include "engines/algorithm.h"
#include "passes/create_pass.h"
#include "passes/list_update.h"
#include "platform/files.h"

namespace zelk::cli {
namespace {

bool usageError(const std::string& message) {
  std::fprintf(stderr, "zelk-sfv create: %s\nTry 'zelk-sfv --help'.\n", message.c_str());
  return false;
}

struct CreateOptions {
  passes::CreateSettings settings;
  bool kindGiven = false;
  bool headerGiven = false;  // --creator or --comment
  bool json = false;
};

// False, after a message, when options that each make sense exclude each other.
bool optionsCombine(const CreateOptions& options) {
  const passes::CreateSettings& settings = options.settings;
  if (options.json && settings.toStandardOutput) return usageError("--json and --output - both want standard output");
  if (settings.prune && !settings.update) return usageError("--prune only goes with --update");
  if (!settings.update) return true;
  if (!settings.outputPath.empty()) return usageError("--update keeps the folder's own list: --output cannot be given");
  if (options.headerGiven) return usageError("--update keeps the list's header: --creator and --comment cannot be given");
  return true;
}

std::optional<CreateOptions> parseArguments(const std::vector<std::string>& arguments) {
  CreateOptions options;
  passes::CreateSettings& settings = options.settings;
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
      options.kindGiven = true;
    } else if (const auto name = optionValue(arguments, i, "--algorithm")) {
      const engines::Algorithm* algorithm = engines::AlgorithmNamed(*name);
      if (algorithm == nullptr) {
        usageError("--algorithm takes one of " + algorithmNames());
        return std::nullopt;
      }
      settings.kind = algorithm->kind;
      options.kindGiven = true;
    } else if (argument == "-r" || argument == "--recursive") {
      settings.includeSubfolders = true;
    } else if (argument == "--force") {
      settings.replaceWithoutAsking = true;
    } else if (argument == "--update") {
      settings.update = true;
    } else if (argument == "--prune") {
      settings.prune = true;
    } else if (argument == "--json") {
      options.json = true;
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
      options.headerGiven = true;
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
  if (!optionsCombine(options)) return std::nullopt;
  if (settings.update && !options.kindGiven) settings.kind = passes::kindOfListToUpdate(settings.folder);
  return options;
}

}  // namespace

int runCreateCommand(const std::vector<std::string>& arguments) {
  const std::optional<CreateOptions> options = parseArguments(arguments);
  if (!options) return 2;
  const passes::CreateSettings& settings = options->settings;
  // The list would not be written anyway; said plainly rather than by errno.
  if (!settings.toStandardOutput && !settings.outputPath.empty() &&
      platform::fileKind(settings.outputPath) == platform::FileKind::Other) {
    printLine(stderr, "zelk-sfv create: " + settings.outputPath + " is a FIFO, socket or device, not a list");
    return 2;
  }
  std::unique_ptr<CreateOutput> observer;
  if (options->json) {
    observer = std::make_unique<JsonCreateOutput>(settings.kind);
  } else {
    observer = std::make_unique<LinesOutput>(settings.toStandardOutput);
  }
  const InterruptStopsPass interrupt;
  passes::CreateOutcome outcome = passes::runCreatePass(settings, *observer, interrupt.token());
  // Ctrl+C at the overwrite question answers it, and still tells the shell.
  if (interrupt.token().stop_requested()) outcome = passes::CreateOutcome::Cancelled;
  observer->finished(outcome);
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
