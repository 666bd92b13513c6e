// zelk-sfv's commands behind its thin main(): usage, help, version and the
// two subcommands.

#include "cli/tool.h"

#include <cstdio>
#include <exception>

#include "cli/commands.h"
#include "cli/terminal.h"

namespace zelk::cli {
namespace {

constexpr const char* kUsage =
    "Usage: zelk-sfv create [--md5] [-r|--recursive] [--slashes] [--output FILE] [--creator TEXT]\n"
    "                       [--comment TEXT] [--force] [--jobs N] FOLDER\n"
    "       zelk-sfv verify [--mode auto|crc32|md5] [--list FILE] [--unlisted] [--quiet|--status]\n"
    "                       [--save] [--jobs N] [FOLDER]\n"
    "       zelk-sfv --help | --version\n"
    "\n"
    "create  writes FOLDER's checksum list, named after the folder: an SFV list of\n"
    "        CRC-32 values, or an MD5 list with --md5.\n"
    "          -r, --recursive  also list the files of all subfolders\n"
    "          --slashes        separate subfolders by '/' instead of '\\', for\n"
    "                           cksfv -f, md5sum -c and rhash -c\n"
    "          --output FILE    write the list to FILE (- for standard output);\n"
    "                           its names stay relative to FOLDER\n"
    "          --creator TEXT   creator text of the list header\n"
    "          --comment TEXT   comment text of the list header\n"
    "          --force          overwrite an existing list without asking\n"
    "          --jobs N         hash up to N files at once (default: one per\n"
    "                           processor; 1 reads one file after another)\n"
    "verify  checks the files that the checksum list in FOLDER (default: the\n"
    "        current folder) names.\n"
    "          --mode MODE      how entry lines are read: auto (by their shape,\n"
    "                           the default), crc32 or md5\n"
    "          --list FILE      check the list FILE, of any name, instead of\n"
    "                           searching a folder; its names are relative to its\n"
    "                           folder (- reads the list from standard input,\n"
    "                           names relative to the current folder)\n"
    "          --unlisted       also name the files no entry of the list names\n"
    "          --quiet          show only failures and the summary\n"
    "          --status         show nothing: the exit status tells the outcome\n"
    "          --save           also save the report as result.rtf in FOLDER\n"
    "          --jobs N         hash up to N files at once (default: one per\n"
    "                           processor; 1 reads one file after another)\n"
    "\n"
    "On a terminal, standard error shows the file being read, how far the pass\n"
    "is, its speed and the time left. Ctrl+C stops the pass: create writes no\n"
    "list and keeps any old one, verify reports the entries checked so far; the\n"
    "exit status is then 130. A second Ctrl+C ends the program at once.\n"
    "\n"
    "Colours show on a terminal only, and not when NO_COLOR is set.\n"
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
      status = runCreateCommand(rest);
    } else if (command == "verify") {
      status = runVerifyCommand(rest);
    } else {
      std::fprintf(stderr, "zelk-sfv: unknown command '%s'\n%s", command.c_str(), kUsage);
      return 2;
    }
    flushOutput();
    return status;
  } catch (const std::exception& error) {
    std::fflush(stdout);
    std::fprintf(stderr, "zelk-sfv: %s\n", error.what());
    return 2;
  }
}

}  // namespace

int runTool(const std::vector<std::string>& arguments) {
  if (arguments.empty()) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  return run(arguments);
}

}  // namespace zelk::cli
