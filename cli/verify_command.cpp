// zelk-sfv verify [--mode auto|crc32|md5] [--save] [--jobs N] [FOLDER]

#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "cli/interrupt.h"
#include "cli/jobs_option.h"
#include "cli/terminal.h"
#include "language/message_format.h"
#include "language/texts.h"
#include "passes/rtf_report.h"
#include "passes/verify_pass.h"
#include "platform/directory.h"
#include "platform/files.h"

namespace zelk::cli {
namespace {

using passes::ReportColour;

constexpr int kAllIntact = 0;
constexpr int kSomeFailed = 1;
constexpr int kNotVerified = 2;
constexpr const char* kUsage = "usage: zelk-sfv verify [--mode auto|crc32|md5] [--save] [--jobs N] [FOLDER]";

struct VerifyOptions {
  passes::ChecksumMode mode = passes::ChecksumMode::Automatic;
  bool save = false;
  int jobs = 0;  // one per processor
  std::string folder = ".";
};

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
    } else if (argument == "--mode" || argument.starts_with("--mode=")) {
      std::string value;
      if (argument != "--mode") {
        value = argument.substr(7);
      } else if (i + 1 < arguments.size()) {
        value = arguments[++i];
      }
      const auto mode = parseMode(value);
      if (!mode) {
        std::fprintf(stderr, "zelk-sfv: --mode takes auto, crc32 or md5\n%s\n", kUsage);
        return std::nullopt;
      }
      options.mode = *mode;
    } else if (takeJobsOption(arguments, i, options.jobs)) {
      if (options.jobs == 0) {
        std::fprintf(stderr, "zelk-sfv: %s\n%s\n", kJobsUsage, kUsage);
        return std::nullopt;
      }
    } else if (argument.starts_with("-")) {
      std::fprintf(stderr, "zelk-sfv: unknown option %s\n%s\n", argument.c_str(), kUsage);
      return std::nullopt;
    } else if (!folderGiven) {
      options.folder = argument;
      folderGiven = true;
    } else {
      std::fprintf(stderr, "zelk-sfv: only one folder can be verified at a time\n%s\n", kUsage);
      return std::nullopt;
    }
  }
  return options;
}

TerminalColour terminalColour(ReportColour colour) {
  switch (colour) {
    case ReportColour::Green: return TerminalColour::Green;
    case ReportColour::Red: return TerminalColour::Red;
    case ReportColour::Default: break;
  }
  return TerminalColour::Plain;
}

// Prints the report as it grows and keeps it for saving when asked to.
class PrintingObserver final : public passes::VerifyObserver {
 public:
  explicit PrintingObserver(bool keepReport) : keepReport_(keepReport) {}

  void creatorText(const std::string& text) override { printLine(stdout, text); }
  void commentText(const std::string& text) override { printLine(stdout, text); }
  void entryKind(engines::ChecksumKind) override {}
  void reportLine(const std::string& text, ReportColour colour) override {
    printLine(stdout, text, terminalColour(colour));
    if (keepReport_) report_.push_back({text + "\n", passes::reportRgb(colour)});
  }
  void errorMessage(const std::string& text) override {
    std::fflush(stdout);
    printLine(stderr, "zelk-sfv: " + text);
  }
  // The one progress line tells the file and how far the pass is.
  void showProgress() override {}
  void setProgress(int) override {}
  void hideProgress() override {}
  void passProgress(const passes::PassProgress& progress) override { progress_.show(progress); }

  const std::vector<passes::ColouredRun>& report() const { return report_; }

 private:
  bool keepReport_;
  std::vector<passes::ColouredRun> report_;
  ProgressLine progress_;
};

int verify(const VerifyOptions& options) {
  if (platform::fileKind(options.folder) != platform::FileKind::Directory) {
    printLine(stderr, "zelk-sfv: " + options.folder + " is not a folder");
    return kNotVerified;
  }
  PrintingObserver observer(options.save);
  const InterruptStopsPass interrupt;
  const passes::VerifyResult result =
      passes::runVerifyPass(options.folder, options.mode, observer, interrupt.token(), options.jobs);
  if (result.outcome == passes::VerifyOutcome::NoList) {
    printLine(stderr, "zelk-sfv: no .sfv or .md5 list in " + options.folder);
    return kNotVerified;
  }
  if (result.outcome == passes::VerifyOutcome::Cancelled) return kInterrupted;
  if (result.outcome != passes::VerifyOutcome::Checked) return kNotVerified;
  if (options.save) {
    const std::string folder = platform::withTrailingSlash(options.folder);
    const std::string path = folder + passes::kReportFileName;
    if (!passes::writeRtfFile(path, observer.report())) {
      printLine(stderr, "zelk-sfv: cannot write " + path);
      return kNotVerified;
    }
    const std::string shownFolder = std::filesystem::absolute(folder).lexically_normal().string();
    printLine(stdout, language::formatTemplate(language::translated(language::texts::ResultSave), {"\n", shownFolder}));
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
