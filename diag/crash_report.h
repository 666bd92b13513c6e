#pragma once
// The text of a crash report, composed without allocating or locking so that
// a signal handler can write it. Its stack lines name module and offset
// (what `eu-addr2line -e MODULE OFFSET` turns into function and line later),
// as reading debug information is no work for a signal handler.

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <string_view>

#include "diag/line_builder.h"
#include "diag/module_list.h"
#include "diag/throw_trace.h"

namespace zelk::diag {

struct CrashFacts {
  std::string_view programName;
  int signal = 0;
  int code = 0;                     // si_code: how the signal came
  std::uintptr_t faultAddress = 0;  // si_addr, for a signal of the processor
  long sender = 0;                  // si_pid, for a signal sent by a process (code <= 0)
  long threadId = 0;
  const std::uintptr_t* stack = nullptr;  // the crashing thread, innermost first
  std::size_t stackSize = 0;
  std::string_view terminateReason;              // set when std::terminate ended the program
  const StackRecord* exceptionStack = nullptr;   // the uncaught exception's throw, if recorded
  std::string_view dateText;
  std::string_view systemText;  // the system section's lines, each ended by '\n'
  const ModuleInfo* modules = nullptr;
  std::size_t moduleCount = 0;
};

// The message, an empty line, then the signal and thread, the stack, the
// exception's stack (if any), the system and the modules, each section ended
// by a separator.
void writeCrashReport(const CrashFacts& facts, LineSink& sink);

// "YYYY-MM-DD HH:MM:SS" of `time` shifted by `utcOffset` seconds, without the
// time zone lookups of localtime(); `text` gets 20 characters with the NUL.
void formatDateTime(std::time_t time, long utcOffset, char (&text)[20]);

}  // namespace zelk::diag
