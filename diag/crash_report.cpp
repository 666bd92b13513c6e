#include "diag/crash_report.h"

#include <csignal>

#include "diag/exception_log.h"

namespace zelk::diag {
namespace {

std::string_view signalName(int signal) {
  switch (signal) {
    case SIGSEGV: return "SIGSEGV";
    case SIGBUS: return "SIGBUS";
    case SIGILL: return "SIGILL";
    case SIGFPE: return "SIGFPE";
    case SIGABRT: return "SIGABRT";
    default: return "signal";
  }
}

void separator(LineSink& sink) { sink.line(LineBuilder().repeat(kSeparatorChar, kReportWidth).view()); }

void stackSection(std::string_view heading, const std::uintptr_t* addresses, std::size_t count,
                  const CrashFacts& facts, LineSink& sink) {
  LineBuilder line;
  sink.line(line.text(heading).text(", generated ").text(facts.dateText).view());
  for (std::size_t index = 0; index < count; ++index) {
    LineBuilder frame;
    frame.address(addresses[index]);
    if (const ModuleInfo* module = moduleAt(facts.modules, facts.moduleCount, addresses[index])) {
      const std::string_view path(module->path);
      frame.text(" ").text(path.substr(path.rfind('/') + 1)).text(" + $").hex(addresses[index] - module->bias);
    }
    sink.line(frame.view());
  }
  separator(sink);
}

}  // namespace

void writeCrashReport(const CrashFacts& facts, LineSink& sink) {
  LineBuilder message;
  message.text(facts.programName).text(" crashed: ");
  if (facts.terminateReason.empty()) {
    message.text("signal ").text(signalName(facts.signal)).text(".");
  } else {
    message.text(facts.terminateReason);
  }
  sink.line(message.view());
  sink.line({});
  LineBuilder signal;
  signal.text("Signal: ").text(signalName(facts.signal)).text(" (").decimal(facts.signal).text("), code ");
  signal.decimal(facts.code);
  if (facts.code <= 0) {
    signal.text(", sent by process ").decimal(facts.sender);
  } else {
    signal.text(", address ").hex(facts.faultAddress, kAddressDigits);
  }
  sink.line(signal.view());
  LineBuilder thread;
  sink.line(thread.text("Thread: ").hex(static_cast<unsigned long>(facts.threadId), 8).view());
  separator(sink);
  stackSection("Stack list", facts.stack, facts.stackSize, facts, sink);
  if (facts.exceptionStack != nullptr) {
    stackSection("Exception stack list", facts.exceptionStack->addresses.data(), facts.exceptionStack->size, facts,
                 sink);
  }
  std::string_view system = facts.systemText;
  while (!system.empty()) {
    const std::size_t end = system.find('\n');
    sink.line(system.substr(0, end));
    system.remove_prefix(end == std::string_view::npos ? system.size() : end + 1);
  }
  separator(sink);
  if (facts.moduleCount == 0) return;
  sink.line("List of loaded modules:");
  writeModuleLines(facts.modules, facts.moduleCount, sink);
  separator(sink);
}

void formatDateTime(std::time_t time, long utcOffset, char (&text)[20]) {
  const long long local = static_cast<long long>(time) + utcOffset;
  long long days = local / 86400;
  long long seconds = local % 86400;
  if (seconds < 0) {
    seconds += 86400;
    --days;
  }
  // Civil date from days since 1970-01-01 (H. Hinnant's days_from_civil, inverted).
  days += 719468;
  const long long era = (days >= 0 ? days : days - 146096) / 146097;
  const long long dayOfEra = days - era * 146097;
  const long long yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  const long long dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  const long long monthIndex = (5 * dayOfYear + 2) / 153;
  const long long day = dayOfYear - (153 * monthIndex + 2) / 5 + 1;
  const long long month = monthIndex < 10 ? monthIndex + 3 : monthIndex - 9;
  const long long year = yearOfEra + era * 400 + (month <= 2 ? 1 : 0);
  LineBuilder line;
  const auto twoDigits = [&line](long long value) { line.text(value < 10 ? "0" : "").decimal(value); };
  line.decimal(year).text("-");
  twoDigits(month);
  line.text("-");
  twoDigits(day);
  line.text(" ");
  twoDigits(seconds / 3600);
  line.text(":");
  twoDigits(seconds / 60 % 60);
  line.text(":");
  twoDigits(seconds % 60);
  const std::string_view result = line.view();
  std::size_t size = 0;
  for (; size < result.size() && size < sizeof text - 1; ++size) text[size] = result[size];
  text[size] = '\0';
}

}  // namespace zelk::diag
