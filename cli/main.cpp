// zelk-sfv: creates and verifies checksum lists from the command line, with
// the same passes as the desktop program.

#include <csignal>
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "cli/terminal.h"
#include "diag/crash_handler.h"
#include "platform/pending_file.h"

namespace {

constexpr const char* kUsage =
    "Usage: zelk-sfv create [--md5] [-r|--recursive] [--creator TEXT] [--comment TEXT] [--force] [--jobs N] FOLDER\n"
    "       zelk-sfv verify [--mode auto|crc32|md5] [--save] [--jobs N] [FOLDER]\n"
    "       zelk-sfv --help | --version\n"
    "\n"
    "create  writes FOLDER's checksum list, named after the folder: an SFV list of\n"
    "        CRC-32 values, or an MD5 list with --md5.\n"
    "          -r, --recursive  also list the files of all subfolders\n"
    "          --creator TEXT   creator text of the list header\n"
    "          --comment TEXT   comment text of the list header\n"
    "          --force          overwrite an existing list without asking\n"
    "verify  checks the files that the checksum list in FOLDER (default: the\n"
    "        current folder) names.\n"
    "          --mode MODE      how entry lines are read: auto (by their shape,\n"
    "                           the default), crc32 or md5\n"
    "          --save           also save the report as result.rtf in FOLDER\n"
    "create and verify both take\n"
    "          --jobs N         hash up to N files at once (default: one per\n"
    "                           processor; 1 reads one file after another)\n"
    "\n"
    "On a terminal, standard error shows the file being read, how far the pass\n"
    "is, its speed and the time left. Ctrl+C stops the pass: create writes no\n"
    "list and keeps any old one, verify reports the entries checked so far; the\n"
    "exit status is then 130. A second Ctrl+C ends the program at once.\n"
    "\n"
    "Exit status of create: 0 every file found is listed, 1 the list was written\n"
    "but files were left out (each named on standard error), or the overwrite was\n"
    "declined; 2 bad usage or failure (nothing written).\n"
    "Exit status of verify: 0 every entry intact, 1 an entry modified, missing or\n"
    "unreadable, 2 no list, a list that cannot be read, bad usage or failure.\n";

bool isHelp(const std::string& argument) { return argument == "--help" || argument == "-h"; }

// "zelk-sfv --help" and "zelk-sfv create --help" alike.
bool wantsHelp(const std::vector<std::string>& arguments) {
  if (isHelp(arguments.front())) return true;
  const bool subcommand = arguments.front() == "create" || arguments.front() == "verify";
  return subcommand && arguments.size() > 1 && isHelp(arguments[1]);
}

// Runs what the arguments ask for; every failure it throws (standard output
// that cannot be written among them) ends the run with a message and status 2.
int run(const std::vector<std::string>& arguments) {
  const std::string& command = arguments.front();
  try {
    int status = 0;
    const std::vector<std::string> rest(arguments.begin() + 1, arguments.end());
    if (wantsHelp(arguments)) {
      std::fputs(kUsage, stdout);
    } else if (command == "--version") {
      std::puts("zelk-sfv " ZELK_VERSION);
    } else if (command == "create") {
      status = zelk::cli::runCreateCommand(rest);
    } else if (command == "verify") {
      status = zelk::cli::runVerifyCommand(rest);
    } else {
      std::fprintf(stderr, "zelk-sfv: unknown command '%s'\n%s", command.c_str(), kUsage);
      return 2;
    }
    zelk::cli::flushOutput();
    return status;
  } catch (const std::exception& error) {
    std::fflush(stdout);
    std::fprintf(stderr, "zelk-sfv: %s\n", error.what());
    return 2;
  }
}

}  // namespace

int main(int argc, char** argv) {
  zelk::diag::installCrashHandler();
  // A closed pipe is reported like any other output failure, not by dying
  // silently of SIGPIPE.
  std::signal(SIGPIPE, SIG_IGN);
  // Ctrl+C or a kill during a pass leaves no temporary list behind.
  zelk::platform::removePendingFilesOnTermination();
  // Thousands of result lines go to a file or pipe in large pieces.
  if (!zelk::cli::isTerminal(stdout)) std::setvbuf(stdout, nullptr, _IOFBF, 64 * 1024);

  const std::vector<std::string> arguments(argv + 1, argv + argc);
  if (arguments.empty()) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  return run(arguments);
}
