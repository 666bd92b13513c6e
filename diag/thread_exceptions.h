#pragma once
// Exceptions that end a worker thread: caught at the top of the thread's body
// and handed, with the thread's identity and the stack of the throw, to the
// handler the program registered (which brings it to the main thread to be
// shown). No error of a worker is lost.

#include <exception>
#include <functional>
#include <optional>
#include <string>

#include "diag/throw_trace.h"

namespace zelk::diag {

struct ThreadFailure {
  std::exception_ptr exception;
  std::optional<StackRecord> stack;  // the worker's record of the throw
  long threadId = 0;                 // the kernel's id of the worker
  std::string className;             // what kind of worker it was
  std::string name;
};

// The thread id in 8 or more hexadecimal digits, the class in brackets and the
// name in double quotes.
std::string threadDescription(const ThreadFailure& failure);

using ThreadExceptionHandler = std::function<void(ThreadFailure)>;

// The handler runs on the failing worker thread; an empty one unregisters.
void setThreadExceptionHandler(ThreadExceptionHandler handler);

// Runs `body` on the calling (worker) thread. What escapes it goes to the
// registered handler; with none registered it is rethrown, which ends the
// program through std::terminate and its crash report.
void runReportingExceptions(const std::string& className, const std::string& name, const std::function<void()>& body);

}  // namespace zelk::diag
