#pragma once
// Crashes are no exceptions: a segmentation fault, a bus error, an illegal
// instruction, a division trap, an abort (failed assertions, std::terminate).
// For these the handler writes a report to stderr and to the error log, with
// what can be gathered safely inside a signal handler: the signal, the stack
// of the crashing thread, the system and the loaded modules. Then the signal's
// default action ends the program, so that a core dump is still made.

#include <optional>
#include <string>

#include "diag/system_info.h"

namespace zelk::diag {

struct CrashHandlerSettings {
  std::string logPath;             // empty: the report goes to stderr only
  std::optional<Display> display;  // the system section's display line, if any
};

// Installs the handlers for SIGSEGV, SIGBUS, SIGILL, SIGFPE and SIGABRT (on an
// alternate stack of the calling thread, so that a stack overflow is reported
// too) and a std::terminate handler that names the uncaught exception; starts
// throw tracking. They stay for the life of the process, so that a crash
// while it shuts down is reported too. A second call replaces the settings.
void installCrashHandler(const CrashHandlerSettings& settings = {});

}  // namespace zelk::diag
