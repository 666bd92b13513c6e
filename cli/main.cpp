// zelk-sfv: creates and verifies checksum lists from the command line, with
// the same passes as the desktop program.

#include <csignal>
#include <cstdio>
#include <string>
#include <vector>

#include "cli/terminal.h"
#include "cli/tool.h"
#include "diag/crash_handler.h"
#include "platform/pending_file.h"

int main(int argc, char** argv) {
  zelk::diag::installCrashHandler();
  // A closed pipe is reported like any other output failure, not by dying
  // silently of SIGPIPE.
  std::signal(SIGPIPE, SIG_IGN);
  // Ctrl+C or a kill during a pass leaves no temporary list behind.
  zelk::platform::removePendingFilesOnTermination();
  // Thousands of result lines go to a file or pipe in large pieces.
  if (!zelk::cli::isTerminal(stdout)) std::setvbuf(stdout, nullptr, _IOFBF, 64 * 1024);
  return zelk::cli::runTool(std::vector<std::string>(argv + 1, argv + argc));
}
