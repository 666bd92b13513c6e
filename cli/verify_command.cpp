// zelk-sfv verify [-r|--recursive] [--mode auto|crc32|md5] [--list FILE] [--unlisted] [--quiet|--status] [--json]
//                 [--save] [--jobs N] [FOLDER]

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "cli/commands.h"
#include "cli/interrupt.h"
#include "cli/option_values.h"
#include "cli/terminal.h"
#include "cli/verify_output.h"
#include "cli/verify_tree.h"
#include "listfile/list_naming.h"
#include "passes/rtf_report.h"
#include "passes/unlisted_files.h"
#include "passes/verify_pass.h"
#include "platform/directory.h"
#include "platform/files.h"

namespace zelk::cli {
namespace {

constexpr int kAllIntact = 0;
constexpr int kSomeFailed = 1;
constexpr int kNotVerified = 2;
constexpr const char* kUsage =
    "usage: zelk-sfv verify [-r|--recursive] [--mode auto|crc32|md5] [--list FILE] [--unlisted]\n"
    "                        [--quiet|--status] [--json] [--save] [--jobs N] [FOLDER]";
// The list name that stands for standard input.
constexpr const char* kStandardInput = "-";

struct VerifyOptions {
  passes::ChecksumMode mode = passes::ChecksumMode::Automatic;
  bool recursive = false;
  bool save = false;
  bool unlisted = false;
  bool json = false;
  Shown shown = Shown::Everything;
  int jobs = 0;  // one per processor
  std::string folder = ".";
  std::string listPath;  // empty: the list found in the folder
};

bool usageError(const std::string& message) {
  std::fprintf(stderr, "zelk-sfv: %s\n%s\n", message.c_str(), kUsage);
  return false;
}

std::optional<passes::ChecksumMode> parseMode(const std::string& text) {
  if (text == "auto") return passes::ChecksumMode::Automatic;
  if (text == "crc32") return passes::ChecksumMode::Crc32;
  if (text == "md5") return passes::ChecksumMode::Md5;
  return std::nullopt;
}

// False, after a message, for what makes no sense with -r.
bool recursionCombines(const VerifyOptions& options) {
  // Every list below the folder is found and read by its own name and kind.
  if (!options.listPath.empty()) return usageError("-r finds the lists itself: --list cannot be given");
  if (options.mode != passes::ChecksumMode::Automatic) {
    return usageError("-r reads lists of every kind: --mode can only be auto");
  }
  // A folder's lists name one another's files, and a list's subfolders may
  // hold lists of their own.
  if (options.unlisted) return usageError("--unlisted cannot be given with -r: each list would name the others' files");
  // Every list of a folder would write the same result.rtf.
  if (options.save) return usageError("--save cannot be given with -r: the lists of a folder share one result.rtf");
  return true;
}

// False, after a message, when options that each make sense exclude each other.
bool optionsCombine(const VerifyOptions& options, bool folderGiven) {
  if (options.recursive && !recursionCombines(options)) return false;
  if (folderGiven && !options.listPath.empty()) {
    return usageError("a folder and --list exclude each other: the list's folder is the one checked");
  }
  if (options.json && options.shown == Shown::Nothing) return usageError("--json and --status exclude each other");
  if (options.json && options.save) return usageError("--save writes the report that --json replaces");
  return true;
}

// nullopt (after a message on standard error) when the arguments are not usable.
std::optional<VerifyOptions> parseArguments(const std::vector<std::string>& arguments) {
  VerifyOptions options;
  bool folderGiven = false;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (argument == "--save") {
      options.save = true;
    } else if (argument == "--unlisted") {
      options.unlisted = true;
    } else if (argument == "-r" || argument == "--recursive") {
      options.recursive = true;
    } else if (argument == "--json") {
      options.json = true;
    } else if (argument == "--quiet" || argument == "--status") {
      const Shown shown = argument == "--quiet" ? Shown::FailuresAndSummary : Shown::Nothing;
      if (options.shown != Shown::Everything && options.shown != shown) {
        usageError("--quiet and --status exclude each other");
        return std::nullopt;
      }
      options.shown = shown;
    } else if (const auto mode = optionValue(arguments, i, "--mode")) {
      const auto parsed = parseMode(*mode);
      if (!parsed) {
        usageError("--mode takes auto, crc32 or md5");
        return std::nullopt;
      }
      options.mode = *parsed;
    } else if (const auto list = optionValue(arguments, i, "--list")) {
      if (list->empty()) {
        usageError("--list needs a file name, or - for standard input");
        return std::nullopt;
      }
      options.listPath = *list;
    } else if (takeJobsOption(arguments, i, options.jobs)) {
      if (options.jobs == 0) {
        usageError(kJobsUsage);
        return std::nullopt;
      }
    } else if (argument.starts_with("-")) {
      usageError("unknown option " + argument);
      return std::nullopt;
    } else if (!folderGiven) {
      options.folder = argument;
      folderGiven = true;
    } else {
      usageError("only one folder can be verified at a time");
      return std::nullopt;
    }
  }
  if (!optionsCombine(options, folderGiven)) return std::nullopt;
  return options;
}

// The whole of standard input; nullopt, after a message, when it cannot be read.
std::optional<std::string> readStandardInput() {
  std::string text;
  char buffer[64 * 1024];
  for (;;) {
    const ssize_t got = ::read(STDIN_FILENO, buffer, sizeof buffer);
    if (got == 0) return text;
    if (got > 0) {
      text.append(buffer, static_cast<std::size_t>(got));
    } else if (errno != EINTR) {
      printLine(stderr, "zelk-sfv: the list cannot be read from standard input: " +
                            std::generic_category().message(errno));
      return std::nullopt;
    }
  }
}

// The folder the entries are relative to: FOLDER, the named list's folder, or
// the current folder for a list on standard input.
std::string checkedFolder(const VerifyOptions& options) {
  if (options.listPath.empty() || options.listPath == kStandardInput) return options.folder;
  const std::filesystem::path folder = std::filesystem::path(options.listPath).parent_path();
  return folder.empty() ? "." : folder.string();
}

// Runs the pass on the list the options name, and the section of files it
// does not know when asked for it.
passes::VerifyResult runPass(const VerifyOptions& options, VerifyOutput& output, const std::stop_token& stop) {
  const std::string folder = checkedFolder(options);
  passes::VerifyResult result;
  std::string listText;
  if (options.listPath == kStandardInput) {
    output.listStarts(kStandardInput);
    const std::optional<std::string> text = readStandardInput();
    if (!text) {
      result.outcome = passes::VerifyOutcome::ListUnreadable;
      return result;
    }
    listText = *text;
    result = passes::runVerifyPassOnText(folder, {}, listText, options.mode, output, stop, options.jobs);
  } else if (!options.listPath.empty()) {
    output.listStarts(options.listPath);
    result = passes::runVerifyPassOnList(options.listPath, options.mode, output, stop, options.jobs);
  } else {
    const std::string listName = listfile::findList(folder);
    if (listName.empty()) return result;
    output.listStarts(listName);
    result = passes::runVerifyPassOnListIn(folder, listName, listName, options.mode, output, stop, options.jobs);
  }
  if (result.outcome != passes::VerifyOutcome::Checked || !options.unlisted) return result;
  const std::optional<std::string_view> text =
      options.listPath == kStandardInput ? std::optional<std::string_view>(listText) : std::nullopt;
  if (!passes::reportUnlistedSection(folder, result.listName, text, options.mode, output, stop)) {
    result.outcome = passes::VerifyOutcome::Cancelled;
  }
  return result;
}

// Saves the report as result.rtf in the checked folder and says where;
// false, after a message, when it cannot be written.
bool saveReport(const VerifyOptions& options, const ReportOutput& report) {
  const std::string folder = platform::withTrailingSlash(checkedFolder(options));
  const std::string shownFolder = std::filesystem::absolute(folder).lexically_normal().string();
  const std::optional<std::string> saved = passes::saveReport(folder, report.report(), "\n", shownFolder);
  if (!saved) {
    printLine(stderr, "zelk-sfv: cannot write " + folder + passes::kReportFileName);
    return false;
  }
  if (options.shown != Shown::Nothing) printLine(stdout, *saved);
  return true;
}

int verify(const VerifyOptions& options, VerifyOutput& output, const ReportOutput* report) {
  const std::string checked = checkedFolder(options);
  const InterruptStopsPass interrupt;
  const passes::VerifyResult result = runPass(options, output, interrupt.token());
  if (result.outcome == passes::VerifyOutcome::NoList) {
    printLine(stderr, "zelk-sfv: no checksum list (" + listExtensions() + ") in " + checked);
  } else {
    output.addFoundLists(1);
    output.listEnds(result.outcome);
  }
  output.total();
  if (result.outcome == passes::VerifyOutcome::Cancelled) return kInterrupted;
  if (result.outcome != passes::VerifyOutcome::Checked) return kNotVerified;
  if (report != nullptr && options.save && !saveReport(options, *report)) return kNotVerified;
  return result.allIntact() ? kAllIntact : kSomeFailed;
}

}  // namespace

int runVerifyCommand(const std::vector<std::string>& arguments) {
  const std::optional<VerifyOptions> options = parseArguments(arguments);
  if (!options) return kNotVerified;
  const std::string checked = checkedFolder(*options);
  if (options->listPath.empty() && platform::fileKind(checked) != platform::FileKind::Directory) {
    printLine(stderr, "zelk-sfv: " + checked + " is not a folder");
    return kNotVerified;
  }
  std::unique_ptr<VerifyOutput> output;
  ReportOutput* report = nullptr;
  if (options->json) {
    output = std::make_unique<JsonOutput>(options->shown);
  } else {
    auto human = std::make_unique<ReportOutput>(options->shown, options->save, options->recursive);
    report = human.get();
    output = std::move(human);
  }
  if (options->recursive) {
    const InterruptStopsPass interrupt;
    return verifyTree(options->folder, options->jobs, *output, interrupt.token());
  }
  return verify(*options, *output, report);
}

}  // namespace zelk::cli
