// zelk-sfv's commands behind its thin main(): usage, help, version and the
// two subcommands.

#include "cli/tool.h"

#include <cstdio>
#include <exception>
#include <string>

#include "cli/commands.h"
#include "cli/option_values.h"
#include "cli/terminal.h"
#include "listfile/list_dialect.h"

namespace zelk::cli {
namespace {

constexpr const char* kUsageHead =
    "Usage: zelk-sfv create [--algorithm NAME|--md5] [-r|--recursive] [--slashes] [--output FILE]\n"
    "                       [--creator TEXT] [--comment TEXT] [--force] [--update [--prune]]\n"
    "                       [--json] [--jobs N] FOLDER\n"
    "       zelk-sfv verify [-r|--recursive] [--mode auto|crc32|md5] [--list FILE] [--unlisted]\n"
    "                       [--quiet|--status] [--json] [--save] [--jobs N] [FOLDER]\n"
    "       zelk-sfv --help | --version\n"
    "\n"
    "create  writes FOLDER's checksum list, named after the folder: an SFV list of\n"
    "        CRC-32 values, or a list of the algorithm NAME.\n";
// Then the algorithms and their lists' extensions, from their tables.
constexpr const char* kUsageTail =
    "          --md5            the same as --algorithm md5\n"
    "          -r, --recursive  also list the files of all subfolders\n"
    "          --slashes        separate subfolders of SFV and MD5 lists by '/'\n"
    "                           instead of '\\', for cksfv -f, md5sum -c and\n"
    "                           rhash -c (the other lists always have '/')\n"
    "          --output FILE    write the list to FILE (- for standard output);\n"
    "                           its names stay relative to FOLDER\n"
    "          --creator TEXT   creator text of the list header\n"
    "          --comment TEXT   comment text of the list header\n"
    "          --force          overwrite an existing list without asking\n"
    "          --update         keep the folder's list (of the kind asked for, else\n"
    "                           the one verify reads) as it is and add entries for\n"
    "                           the files it does not name, written as its entries\n"
    "                           are; without a list, write a new one\n"
    "          --prune          with --update, remove the entries whose files are\n"
    "                           gone (else they are kept and named)\n"
    "          --json           JSON Lines on standard output instead of the lines:\n"
    "                           an object per file listed or left out, per entry\n"
    "                           whose file is gone, and one of the outcome\n"
    "          --jobs N         hash up to N files at once (default: one per\n"
    "                           processor; 1 reads one file after another)\n"
    "verify  checks the files that the checksum list in FOLDER (default: the\n"
    "        current folder) names.\n"
    "          -r, --recursive  check every list in FOLDER and its subfolders, each\n"
    "                           against its own folder, and give a total\n"
    "          --mode MODE      how entry lines are read: auto (by their tag, the\n"
    "                           list's name or their shape, the default), crc32\n"
    "                           or md5\n"
    "          --list FILE      check the list FILE, of any name, instead of\n"
    "                           searching a folder; its names are relative to its\n"
    "                           folder (- reads the list from standard input,\n"
    "                           names relative to the current folder)\n"
    "          --unlisted       also name the files no entry of the list names\n"
    "          --quiet          show only failures and the summary\n"
    "          --status         show nothing: the exit status tells the outcome\n"
    "          --json           JSON Lines on standard output instead of the report:\n"
    "                           an object per entry, one per list and one of the\n"
    "                           totals\n"
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
    "declined; 2 bad usage or failure (nothing written; any old list is kept).\n"
    "Exit status of verify: 0 every entry intact, 1 an entry modified, missing or\n"
    "unreadable, 2 no list, a list (or with -r a folder) that cannot be read, bad\n"
    "usage or failure.\n";

// `words` as lines of at most 79 columns, the first after `lead`, the rest
// under the descriptions of the options.
std::string wrapped(const std::string& lead, const std::string& words) {
  constexpr std::size_t kWidth = 79;
  const std::string indent(27, ' ');
  std::string text = lead;
  std::size_t lineStart = 0;
  std::size_t start = 0;
  while (start < words.size()) {
    std::size_t end = words.find(' ', start);
    if (end == std::string::npos) end = words.size();
    const std::string word = words.substr(start, end - start);
    if (text.size() - lineStart + 1 + word.size() > kWidth) {
      text += "\n";
      lineStart = text.size();
      text += indent;
    } else if (text.size() > lineStart && text.back() != ' ') {
      text += ' ';
    }
    text += word;
    start = end + 1;
  }
  return text + "\n";
}

// The whole --help text.
std::string usage() {
  std::string extensions;
  const auto dialects = listfile::ListDialects();
  for (std::size_t i = 0; i < dialects.size(); ++i) {
    if (i > 0) extensions += i + 1 == dialects.size() ? " or " : ", ";
    extensions += dialects[i].extension;
  }
  return kUsageHead +
         wrapped("          --algorithm NAME ", algorithmNames() + " (default crc32); the list's extension is, in " +
                                                    "the same order, " + extensions) +
         kUsageTail;
}

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
      std::fputs(usage().c_str(), stdout);
    } else if (command == "--version") {
      std::puts("zelk-sfv " ZELK_VERSION);
    } else if (command == "create") {
      status = runCreateCommand(rest);
    } else if (command == "verify") {
      status = runVerifyCommand(rest);
    } else {
      std::fprintf(stderr, "zelk-sfv: unknown command '%s'\n%s", command.c_str(), usage().c_str());
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
    std::fputs(usage().c_str(), stderr);
    return 2;
  }
  return run(arguments);
}

}  // namespace zelk::cli
