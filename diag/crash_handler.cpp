#include "diag/crash_handler.h"

#include <execinfo.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <ucontext.h>
#include <unistd.h>

#include <atomic>
#include <csignal>
#include <cstdlib>
#include <exception>
#include <iterator>

#include "diag/crash_report.h"
#include "diag/exception_log.h"
#include "diag/program_file.h"
#include "diag/report.h"
#include "diag/stack_lines.h"
#include "platform/pending_file.h"

namespace zelk::diag {
namespace {

constexpr int kSignals[] = {SIGSEGV, SIGBUS, SIGILL, SIGFPE, SIGABRT};

// Everything the handler needs is prepared beforehand in static storage: it
// may neither allocate nor take locks.
struct State {
  bool installed = false;
  char logPath[4096] = {};
  char programName[256] = {};
  char systemText[4096] = {};
  char terminateReason[1024] = {};
  StackRecord exceptionStack;
  bool hasExceptionStack = false;
  long utcOffset = 0;
  ModuleInfo modules[kMaxModules];
};
State state;
alignas(16) char alternateStack[256 * 1024];
std::atomic<bool> crashing{false};

void writeAll(int fd, std::string_view text) {
  while (!text.empty()) {
    const ssize_t written = ::write(fd, text.data(), text.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return;
    text.remove_prefix(static_cast<std::size_t>(written));
  }
}

// Each line to stderr, and to the log with the log's CR LF.
class CrashOutput : public LineSink {
 public:
  explicit CrashOutput(int logFd) : logFd_(logFd) {}
  void line(std::string_view text) override {
    writeAll(STDERR_FILENO, text);
    writeAll(STDERR_FILENO, "\n");
    if (logFd_ < 0) return;
    writeAll(logFd_, text);
    writeAll(logFd_, "\r\n");
  }

 private:
  int logFd_;
};

// Opens the log for one entry, creating its folders, and writes the empty
// line that separates it from an earlier entry. -1 without a log.
int openLogEntry() {
  if (state.logPath[0] == '\0') return -1;
  char folder[sizeof state.logPath];
  copyText(folder, state.logPath);
  for (char* slash = folder + 1; *slash != '\0'; ++slash) {
    if (*slash != '/') continue;
    *slash = '\0';
    ::mkdir(folder, 0700);
    *slash = '/';
  }
  const int fd = ::open(state.logPath, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
  if (fd >= 0 && ::lseek(fd, 0, SEEK_END) > 0) writeAll(fd, "\r\n");
  return fd;
}

std::uintptr_t interruptedInstruction(const void* context) {
  const auto* machine = static_cast<const ucontext_t*>(context);
#if defined(__x86_64__)
  return static_cast<std::uintptr_t>(machine->uc_mcontext.gregs[REG_RIP]);
#elif defined(__aarch64__)
  return machine->uc_mcontext.pc;
#else
  (void)machine;
  return 0;
#endif
}

[[noreturn]] void endWithDefaultAction(int signal) {
  struct sigaction defaultAction = {};
  defaultAction.sa_handler = SIG_DFL;
  sigemptyset(&defaultAction.sa_mask);
  ::sigaction(signal, &defaultAction, nullptr);
  // Blocked while its handler runs, the raised signal waits until unblocked.
  ::raise(signal);
  sigset_t pending;
  sigemptyset(&pending);
  sigaddset(&pending, signal);
  ::pthread_sigmask(SIG_UNBLOCK, &pending, nullptr);
  ::_exit(128 + signal);
}

// Names function, file and line of each frame in a child process: reading
// debug information allocates, which the crashed process must not risk (its
// heap may be what broke). A child stuck on a lock the crash left taken is
// ended by its alarm; the report written before stands either way.
void writeResolvedStack(const std::uintptr_t* stack, std::size_t size, CrashOutput& output) {
  constexpr unsigned kSecondsToResolve = 10;
  const pid_t child = ::_Fork();
  if (child < 0) return;
  if (child == 0) {
    const rlimit noCore{0, 0};
    ::setrlimit(RLIMIT_CORE, &noCore);
    ::alarm(kSecondsToResolve);
    StackRecord record;
    for (; record.size < size && record.size < kMaxStackFrames; ++record.size) {
      record.addresses[record.size] = stack[record.size];
    }
    output.line("Stack list with functions and lines:");
    for (const std::string& line : stackLines(record)) output.line(line);
    output.line(separatorLine());
    ::_exit(0);
  }
  int status = 0;
  while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
}

void writeReport(int signal, const siginfo_t& info, const void* context) {
  void* frames[kMaxStackFrames];
  const int count = ::backtrace(frames, static_cast<int>(kMaxStackFrames));
  // The handler's own frames come first; the stack starts at the interrupted
  // instruction when the unwinder found it, else after the handler.
  std::uintptr_t stack[kMaxStackFrames];
  const std::uintptr_t interrupted = interruptedInstruction(context);
  int first = count > 1 ? 1 : 0;
  for (int index = 0; index < count; ++index) {
    if (reinterpret_cast<std::uintptr_t>(frames[index]) == interrupted) first = index;
  }
  std::size_t size = 0;
  for (int index = first; index < count; ++index) stack[size++] = reinterpret_cast<std::uintptr_t>(frames[index]);

  char date[20];
  formatDateTime(std::time(nullptr), state.utcOffset, date);
  CrashFacts facts;
  facts.programName = state.programName;
  facts.signal = signal;
  facts.code = info.si_code;
  if (info.si_code <= 0) {
    facts.sender = static_cast<long>(info.si_pid);
  } else {
    facts.faultAddress = reinterpret_cast<std::uintptr_t>(info.si_addr);
  }
  facts.threadId = static_cast<long>(::gettid());
  facts.stack = stack;
  facts.stackSize = size;
  facts.terminateReason = state.terminateReason;
  facts.exceptionStack = state.hasExceptionStack ? &state.exceptionStack : nullptr;
  facts.dateText = date;
  facts.systemText = state.systemText;
  facts.modules = state.modules;
  facts.moduleCount = collectModules(state.modules, kMaxModules);

  const int logFd = openLogEntry();
  CrashOutput output(logFd);
  writeStamp(kReportWidth, date, output);
  writeCrashReport(facts, output);
  writeResolvedStack(stack, size, output);
  if (logFd >= 0) ::close(logFd);
}

void onFatalSignal(int signal, siginfo_t* info, void* context) {
  // A half-written list must not outlive the process, whatever the report does.
  platform::removePendingFiles();
  // A crash inside the report, or in a second thread meanwhile, ends at once.
  if (!crashing.exchange(true)) writeReport(signal, *info, context);
  endWithDefaultAction(signal);
}

[[noreturn]] void onTerminate() {
  LineBuilder reason;
  if (const std::exception_ptr exception = std::current_exception()) {
    const ExceptionFacts facts = describeException(exception);
    reason.text("uncaught exception ").text(facts.className);
    if (!facts.message.empty()) reason.text(": ").text(facts.message);
    if (const std::optional<StackRecord> record = latestThrowRecord()) {
      state.exceptionStack = *record;
      state.hasExceptionStack = true;
    }
  } else {
    reason.text("std::terminate was called");
  }
  copyText(state.terminateReason, reason.text(".").view());
  std::abort();
}

std::string joinedLines(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\n";
  return text;
}

}  // namespace

void installCrashHandler(const CrashHandlerSettings& settings) {
  startThrowTracking();
  copyText(state.logPath, settings.logPath);
  copyText(state.programName, programFileName());
  copyText(state.systemText,
           joinedLines(systemLines(currentOperatingSystem(), currentProcessor(), settings.display)));
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  if (::localtime_r(&now, &local) != nullptr) state.utcOffset = local.tm_gmtoff;
  if (state.installed) return;

  stack_t alternate = {};
  alternate.ss_sp = alternateStack;
  alternate.ss_size = sizeof alternateStack;
  ::sigaltstack(&alternate, nullptr);
  struct sigaction action = {};
  action.sa_sigaction = onFatalSignal;
  action.sa_flags = SA_SIGINFO | SA_ONSTACK;
  sigemptyset(&action.sa_mask);
  for (const int signal : kSignals) ::sigaction(signal, &action, nullptr);
  std::set_terminate(onTerminate);
  state.installed = true;
}

}  // namespace zelk::diag
