#include "diag/thread_exceptions.h"

#include <unistd.h>

#include <mutex>
#include <utility>

#include "diag/line_builder.h"

namespace zelk::diag {
namespace {

std::mutex handlerMutex;
ThreadExceptionHandler registeredHandler;

ThreadExceptionHandler currentHandler() {
  const std::lock_guard lock(handlerMutex);
  return registeredHandler;
}

}  // namespace

std::string threadDescription(const ThreadFailure& failure) {
  LineBuilder line;
  line.hex(static_cast<unsigned long>(failure.threadId), 8).text(" [").text(failure.className).text("] \"");
  return line.text(failure.name).text("\"").str();
}

void setThreadExceptionHandler(ThreadExceptionHandler handler) {
  const std::lock_guard lock(handlerMutex);
  registeredHandler = std::move(handler);
}

void runReportingExceptions(const std::string& className, const std::string& name,
                            const std::function<void()>& body) {
  try {
    body();
  } catch (...) {
    const ThreadExceptionHandler handler = currentHandler();
    if (!handler) throw;
    handler({std::current_exception(), latestThrowRecord(), static_cast<long>(::gettid()), className, name});
  }
}

}  // namespace zelk::diag
