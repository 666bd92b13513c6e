// zelk-sfv: creates and verifies checksum lists from the command line, with
// the same passes as the desktop program.

#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "cli/terminal.h"
#include "diag/crash_handler.h"

namespace {

constexpr const char* kUsage =
    "Usage: zelk-sfv create [--md5] [-r|--recursive] [--creator TEXT] [--comment TEXT] [--force] FOLDER\n"
    "       zelk-sfv verify [--mode auto|crc32|md5] [--save] [FOLDER]\n"
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
    "\n"
    "Exit status: 0 done (every entry intact), 1 declined (an entry modified or\n"
    "missing), 2 bad usage or failure.\n";

bool isHelp(const std::string& argument) { return argument == "--help" || argument == "-h"; }

// "zelk-sfv --help" and "zelk-sfv create --help" alike.
bool wantsHelp(const std::vector<std::string>& arguments) {
  if (isHelp(arguments.front())) return true;
  const bool subcommand = arguments.front() == "create" || arguments.front() == "verify";
  return subcommand && arguments.size() > 1 && isHelp(arguments[1]);
}

}  // namespace

int main(int argc, char** argv) {
  zelk::diag::installCrashHandler();
  // Thousands of result lines go to a file or pipe in large pieces.
  if (!zelk::cli::stdoutIsTerminal()) std::setvbuf(stdout, nullptr, _IOFBF, 64 * 1024);

  const std::vector<std::string> arguments(argv + 1, argv + argc);
  if (arguments.empty()) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  const std::string& command = arguments.front();
  if (wantsHelp(arguments)) {
    std::fputs(kUsage, stdout);
    return 0;
  }
  if (command == "--version") {
    std::puts("zelk-sfv " ZELK_VERSION);
    return 0;
  }
  const std::vector<std::string> rest(arguments.begin() + 1, arguments.end());
  try {
    if (command == "create") return zelk::cli::runCreateCommand(rest);
    if (command == "verify") return zelk::cli::runVerifyCommand(rest);
  } catch (const std::exception& error) {
    std::fflush(stdout);
    std::fprintf(stderr, "zelk-sfv: %s\n", error.what());
    return 2;
  }
  std::fprintf(stderr, "zelk-sfv: unknown command '%s'\n%s", command.c_str(), kUsage);
  return 2;
}
