// zelk-sfv verify [--mode auto|crc32|md5] [--list FILE] [--unlisted] [--quiet|--status] [--save] [--jobs N]
//                 [FOLDER]

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "cli/commands.h"
#include "cli/interrupt.h"
#include "cli/option_values.h"
#include "cli/terminal.h"
#include "listfile/list_dialect.h"
#include "passes/rtf_report.h"
#include "passes/unlisted_files.h"
#include "passes/verify_pass.h"
#include "platform/directory.h"
#include "platform/files.h"

namespace zelk::cli {
namespace {

using passes::ReportColour;

constexpr int kAllIntact = 0;
constexpr int kSomeFailed = 1;
constexpr int kNotVerified = 2;
constexpr const char* kUsage =
    "usage: zelk-sfv verify [--mode auto|crc32|md5] [--list FILE] [--unlisted] [--quiet|--status] [--save]\n"
    "                        [--jobs N] [FOLDER]";
// The list name that stands for standard input.
constexpr const char* kStandardInput = "-";

// What standard output shows of the report.
enum class Shown { Everything, FailuresAndSummary, Nothing };

struct VerifyOptions {
  passes::ChecksumMode mode = passes::ChecksumMode::Automatic;
  bool save = false;
  bool unlisted = false;
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
  if (folderGiven && !options.listPath.empty()) {
    usageError("a folder and --list exclude each other: the list's folder is the one checked");
    return std::nullopt;
  }
  return options;
}

// ".sfv, .md5, ...": what a folder's list may be named.
std::string listExtensions() {
  std::string text;
  for (const listfile::ListDialect& dialect : listfile::ListDialects()) {
    if (!text.empty()) text += ", ";
    text += dialect.extension;
  }
  return text;
}

TerminalColour terminalColour(ReportColour colour) {
  switch (colour) {
    case ReportColour::Green: return TerminalColour::Green;
    case ReportColour::Red: return TerminalColour::Red;
    case ReportColour::Default: break;
  }
  return TerminalColour::Plain;
}

// Prints the report as it grows, as much of it as is to be shown, and keeps
// all of it for saving when asked to.
class PrintingObserver final : public ProgressLineObserver<passes::VerifyObserver> {
 public:
  PrintingObserver(bool keepReport, Shown shown) : keepReport_(keepReport), shown_(shown) {}

  void creatorText(const std::string& text) override { show(text, ReportColour::Default, false); }
  void commentText(const std::string& text) override { show(text, ReportColour::Default, false); }
  void entryKind(engines::ChecksumKind) override {}
  void entryChecked(const passes::CheckedEntry& entry) override {
    keep(entry.line, entry.colour);
    show(entry.line, entry.colour, entry.verdict != passes::Verdict::Intact);
  }
  void reportLine(const std::string& text, ReportColour colour) override {
    keep(text, colour);
    show(text, colour, true);
  }
  void errorMessage(const std::string& text) override {
    std::fflush(stdout);
    printLine(stderr, "zelk-sfv: " + text);
  }

  const std::vector<passes::ColouredRun>& report() const { return report_; }

 private:
  // `essential`: a failure, the summary or a note the quiet run still shows.
  void show(const std::string& text, ReportColour colour, bool essential) const {
    if (shown_ == Shown::Nothing || (shown_ == Shown::FailuresAndSummary && !essential)) return;
    printLine(stdout, text, terminalColour(colour));
  }
  // The saved report holds the report lines, not the list's creator and comment.
  void keep(const std::string& text, ReportColour colour) {
    if (keepReport_) report_.push_back({text + "\n", passes::reportRgb(colour)});
  }

  bool keepReport_;
  Shown shown_;
  std::vector<passes::ColouredRun> report_;
};

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
passes::VerifyResult runPass(const VerifyOptions& options, PrintingObserver& observer, const std::stop_token& stop) {
  const std::string folder = checkedFolder(options);
  passes::VerifyResult result;
  std::string listText;
  if (options.listPath == kStandardInput) {
    const std::optional<std::string> text = readStandardInput();
    if (!text) {
      result.outcome = passes::VerifyOutcome::ListUnreadable;
      return result;
    }
    listText = *text;
    result = passes::runVerifyPassOnText(folder, {}, listText, options.mode, observer, stop, options.jobs);
  } else if (!options.listPath.empty()) {
    result = passes::runVerifyPassOnList(options.listPath, options.mode, observer, stop, options.jobs);
  } else {
    result = passes::runVerifyPass(folder, options.mode, observer, stop, options.jobs);
  }
  if (result.outcome != passes::VerifyOutcome::Checked || !options.unlisted) return result;
  const std::optional<std::string_view> text =
      options.listPath == kStandardInput ? std::optional<std::string_view>(listText) : std::nullopt;
  if (!passes::reportUnlistedSection(folder, result.listName, text, options.mode, observer, stop)) {
    result.outcome = passes::VerifyOutcome::Cancelled;
  }
  return result;
}

int verify(const VerifyOptions& options) {
  const std::string checked = checkedFolder(options);
  if (options.listPath.empty() && platform::fileKind(checked) != platform::FileKind::Directory) {
    printLine(stderr, "zelk-sfv: " + checked + " is not a folder");
    return kNotVerified;
  }
  PrintingObserver observer(options.save, options.shown);
  const InterruptStopsPass interrupt;
  const passes::VerifyResult result = runPass(options, observer, interrupt.token());
  if (result.outcome == passes::VerifyOutcome::NoList) {
    printLine(stderr, "zelk-sfv: no checksum list (" + listExtensions() + ") in " + checked);
    return kNotVerified;
  }
  if (result.outcome == passes::VerifyOutcome::Cancelled) return kInterrupted;
  if (result.outcome != passes::VerifyOutcome::Checked) return kNotVerified;
  if (options.save) {
    const std::string folder = platform::withTrailingSlash(checked);
    const std::string shownFolder = std::filesystem::absolute(folder).lexically_normal().string();
    const std::optional<std::string> saved = passes::saveReport(folder, observer.report(), "\n", shownFolder);
    if (!saved) {
      printLine(stderr, "zelk-sfv: cannot write " + folder + passes::kReportFileName);
      return kNotVerified;
    }
    if (options.shown != Shown::Nothing) printLine(stdout, *saved);
  }
  return result.allIntact() ? kAllIntact : kSomeFailed;
}

}  // namespace

int runVerifyCommand(const std::vector<std::string>& arguments) {
  const std::optional<VerifyOptions> options = parseArguments(arguments);
  if (!options) return kNotVerified;
  return verify(*options);
}

}  // namespace zelk::cli
