#include "diag/report.h"

#include <cxxabi.h>

#include <typeinfo>

#include "diag/exception_log.h"
#include "diag/line_builder.h"
#include "diag/module_list.h"
#include "diag/stack_lines.h"

namespace zelk::diag {
namespace {

constexpr std::string_view kLineEnd = "\r\n";

void appendSection(std::vector<std::string>& lines, std::string heading, const std::vector<std::string>& body) {
  lines.push_back(std::move(heading));
  lines.insert(lines.end(), body.begin(), body.end());
  lines.push_back(separatorLine());
}

}  // namespace

ExceptionFacts describeException(const std::exception_ptr& exception) {
  try {
    std::rethrow_exception(exception);
  } catch (const std::exception& error) {
    return {demangledName(typeid(error).name()), error.what()};
  } catch (...) {
    const std::type_info* type = abi::__cxa_current_exception_type();
    return {type != nullptr ? demangledName(type->name()) : std::string(), {}};
  }
}

std::string normalizedMessage(std::string_view message) {
  std::string text(message);
  if (text.empty() || text.back() != '.') text += '.';
  std::string result;
  for (std::size_t index = 0; index < text.size(); ++index) {
    if (text[index] == '\r' || text[index] == '\n') {
      result += kLineEnd;
      if (text[index] == '\r' && index + 1 < text.size() && text[index + 1] == '\n') ++index;
    } else {
      result += text[index];
    }
  }
  return result;
}

std::string separatorLine() { return std::string(kReportWidth, kSeparatorChar); }

std::vector<std::string> firstDetailLines(std::string_view className, std::uintptr_t throwAddress) {
  LineBuilder address;
  address.text("Exception address: ").hex(throwAddress, kAddressDigits);
  return {"Exception class: " + std::string(className), address.str(), separatorLine()};
}

std::vector<std::string> firstDetailLines(std::string_view className, std::string_view threadDescription) {
  return {"Exception class: " + std::string(className), "Thread: " + std::string(threadDescription), separatorLine()};
}

std::vector<std::string> detailLines(unsigned sections, const DetailInputs& inputs) {
  std::vector<std::string> lines;
  if ((sections & kStackList) != 0 && inputs.stack) {
    appendSection(lines, "Stack list, generated " + localDateTime(inputs.stack->time), stackLines(*inputs.stack));
  }
  if ((sections & kSystemInfo) != 0) {
    const std::vector<std::string> system =
        systemLines(currentOperatingSystem(), currentProcessor(), inputs.display);
    lines.insert(lines.end(), system.begin(), system.end());
    lines.push_back(separatorLine());
  }
  if ((sections & kModuleList) != 0) {
    const std::vector<std::string> modules = moduleLines();
    if (!modules.empty()) appendSection(lines, "List of loaded modules:", modules);
  }
  if ((sections & kActiveControls) != 0 && !inputs.focusChain.empty()) {
    std::vector<std::string> controls;
    for (const ControlName& control : inputs.focusChain) {
      controls.push_back(control.className + " \"" + control.objectName + "\"");
    }
    // The misspelling is the heading readers of these reports search for.
    appendSection(lines, "Active Controls hiearchy:", controls);
  }
  return lines;
}

std::string reportText(std::string_view message, const std::vector<std::string>& detailLines) {
  std::string text(message);
  if (!text.ends_with(kLineEnd)) text += kLineEnd;
  text += kLineEnd;
  for (const std::string& line : detailLines) {
    text += line;
    text += kLineEnd;
  }
  return text;
}

std::string localDateTime(const std::timespec& time) {
  std::tm local{};
  if (::localtime_r(&time.tv_sec, &local) == nullptr) return {};
  char text[128];
  const std::size_t length = std::strftime(text, sizeof text, "%x %X", &local);
  return std::string(text, length);
}

}  // namespace zelk::diag
