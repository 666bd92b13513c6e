#include "diag/system_info.h"

#include <sys/utsname.h>

#include <array>
#include <charconv>
#include <fstream>
#include <sstream>

#include "diag/line_builder.h"

namespace zelk::diag {
namespace {

std::string fileText(const char* path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

std::string_view trimmed(std::string_view text) {
  const std::size_t first = text.find_first_not_of(" \t\r");
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

// Calls `visit(key, value)` for every "key=value" (os-release) or
// "key : value" (cpuinfo) line, both sides trimmed.
template <typename Visit>
void forEachPair(std::string_view text, char separator, Visit visit) {
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    const std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    const std::size_t split = line.find(separator);
    if (split != std::string_view::npos) visit(trimmed(line.substr(0, split)), trimmed(line.substr(split + 1)));
  }
}

// Shell-style quoting as os-release uses it: "..." or '...', with backslash
// escapes inside double quotes.
std::string unquoted(std::string_view value) {
  if (value.size() < 2 || (value.front() != '"' && value.front() != '\'') || value.back() != value.front()) {
    return std::string(value);
  }
  const bool escapes = value.front() == '"';
  value = value.substr(1, value.size() - 2);
  std::string result;
  for (std::size_t index = 0; index < value.size(); ++index) {
    if (escapes && value[index] == '\\' && index + 1 < value.size()) ++index;
    result += value[index];
  }
  return result;
}

int leadingNumber(std::string_view text) {
  int number = 0;
  std::from_chars(text.data(), text.data() + text.size(), number);
  return number;
}

bool hasWord(std::string_view words, std::string_view word) {
  std::istringstream stream{std::string(words)};
  std::string each;
  while (stream >> each) {
    if (each == word) return true;
  }
  return false;
}

}  // namespace

std::string osReleaseValue(std::string_view osRelease, std::string_view key) {
  std::string value;
  forEachPair(osRelease, '=', [&](std::string_view name, std::string_view text) {
    if (name == key) value = unquoted(text);
  });
  return value;
}

void setKernelVersion(std::string_view release, OperatingSystem& system) {
  int* numbers[] = {&system.majorVersion, &system.minorVersion, &system.build};
  for (int* number : numbers) {
    *number = leadingNumber(release);
    const std::size_t dot = release.find('.');
    release = dot == std::string_view::npos ? std::string_view() : release.substr(dot + 1);
  }
}

Processor parseCpuInfo(std::string_view cpuInfo) {
  Processor processor;
  // The first processor's block ends at the first empty line.
  cpuInfo = cpuInfo.substr(0, cpuInfo.find("\n\n"));
  forEachPair(cpuInfo, ':', [&](std::string_view key, std::string_view value) {
    if (key == "vendor_id") processor.vendor = value;
    if (key == "model name") processor.model = value;
    if (key == "cpu MHz") processor.megahertz = leadingNumber(value);
    if (key == "flags") processor.mmx = hasWord(value, "mmx");
  });
  return processor;
}

int normalisedMegahertz(int measured) {
  constexpr std::array<int, 9> kSteps = {0, 20, 33, 50, 60, 66, 80, 90, 100};
  const int remainder = measured % 100;
  std::size_t upper = 1;
  while (kSteps[upper] <= remainder) ++upper;
  const int above = kSteps[upper] - remainder;
  const int below = remainder - kSteps[upper - 1];
  return measured - remainder + (below < above ? kSteps[upper - 1] : kSteps[upper]);
}

bool hasFdivFlaw() {
  // The classic check: the flawed divider gets 4195835 / 3145727 wrong in the
  // fourth digit, so the remainder comes out as 256 instead of 0. Volatile
  // keeps the compiler from doing the division itself.
  volatile double dividend = 4195835.0;
  volatile double divisor = 3145727.0;
  return dividend - (dividend / divisor) * divisor >= 1.0;
}

OperatingSystem currentOperatingSystem() {
  OperatingSystem system;
  std::string osRelease = fileText("/etc/os-release");
  if (osRelease.empty()) osRelease = fileText("/usr/lib/os-release");
  system.name = osReleaseValue(osRelease, "PRETTY_NAME");
  system.productType = osReleaseValue(osRelease, "VARIANT");
  utsname kernel{};
  if (::uname(&kernel) == 0) {
    setKernelVersion(kernel.release, system);
    system.servicePack = std::string(kernel.release) + " " + kernel.version;
  }
  return system;
}

Processor currentProcessor() {
  Processor processor = parseCpuInfo(fileText("/proc/cpuinfo"));
  processor.fdivFlaw = hasFdivFlaw();
  return processor;
}

std::vector<std::string> systemLines(const OperatingSystem& system, const Processor& processor,
                                     const std::optional<Display>& display) {
  std::vector<std::string> lines;
  LineBuilder line;
  line.text("System   : ").text(system.name).text(" ").text(system.productType);
  line.text(", Version: ").decimal(system.majorVersion).text(".").decimal(system.minorVersion);
  line.text(", Build: ").hex(static_cast<unsigned>(system.build)).text(", \"").text(system.servicePack).text("\"");
  lines.push_back(line.str());
  line = LineBuilder();
  line.text("Processor: ").text(processor.vendor).text(", ").text(processor.model).text(", ");
  line.decimal(normalisedMegahertz(processor.megahertz)).text(" MHz ").text(processor.mmx ? "MMX" : "");
  line.text(processor.fdivFlaw ? " [FDIV Bug]" : "");
  lines.push_back(line.str());
  if (display) {
    line = LineBuilder();
    line.text("Display  : ").decimal(display->width).text("x").decimal(display->height);
    line.text(" pixels, ").decimal(display->bitsPerPixel).text(" bpp");
    lines.push_back(line.str());
  }
  return lines;
}

}  // namespace zelk::diag
