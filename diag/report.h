#pragma once
// The text of an error report: the message, the first detail lines written
// when the report opens, and the detail sections gathered after it is on
// screen (stack list, system, loaded modules, the controls that had the
// focus). The window shows these lines; the log and the clipboard get
// reportText().

#include <cstdint>
#include <ctime>
#include <exception>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "diag/system_info.h"
#include "diag/throw_trace.h"

namespace zelk::diag {

enum DetailSection : unsigned {
  kStackList = 1,
  kSystemInfo = 2,
  kModuleList = 4,
  kActiveControls = 8,
  kAllSections = 15,
};

struct ExceptionFacts {
  std::string className;  // the thrown object's dynamic type, demangled
  std::string message;    // what() of a std::exception; empty for other objects
};

// What `exception` (not null) holds.
ExceptionFacts describeException(const std::exception_ptr& exception);

// `message` ending in "." ("." appended if not; an empty message gives ".")
// with every line break (CR, LF or CR LF) made CR LF.
std::string normalizedMessage(std::string_view message);

// 100 minus signs.
std::string separatorLine();

// "Exception class: ...", "Exception address: <throw address>", separator.
std::vector<std::string> firstDetailLines(std::string_view className, std::uintptr_t throwAddress);
// "Exception class: ...", "Thread: <thread description>", separator.
std::vector<std::string> firstDetailLines(std::string_view className, std::string_view threadDescription);

struct ControlName {
  std::string className;
  std::string objectName;
};

struct DetailInputs {
  std::optional<StackRecord> stack;        // the section is left out without one
  std::optional<Display> display;
  std::vector<ControlName> focusChain;     // focused control first, its window last
};

// The chosen sections in their fixed order, each ended by a separator line.
std::vector<std::string> detailLines(unsigned sections, const DetailInputs& inputs);

// The message, CR LF unless it ends with one, an empty line, then every
// detail line ended by CR LF: the report as it is copied and logged.
std::string reportText(std::string_view message, const std::vector<std::string>& detailLines);

// `time` as local date and time in the formats of the user's locale.
std::string localDateTime(const std::timespec& time);

}  // namespace zelk::diag
