#pragma once
// The machine a report comes from: operating system, processor and display.
// Where Linux has no value for a field, it stays empty or 0 (doc/diagnostics.md
// says what each field is on Linux).

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zelk::diag {

struct OperatingSystem {
  std::string name;         // PRETTY_NAME of os-release
  std::string productType;  // VARIANT of os-release ("Server Edition"), mostly empty
  int majorVersion = 0;     // the kernel's release numbers: 6.1.0 gives 6, 1, 0
  int minorVersion = 0;
  int build = 0;
  std::string servicePack;  // the kernel's release and version texts from uname
};

struct Processor {
  std::string vendor;  // "GenuineIntel", "AuthenticAMD"
  std::string model;
  int megahertz = 0;  // as the kernel reports it, not normalised
  bool mmx = false;
  bool fdivFlaw = false;
};

struct Display {
  int width = 0;  // device pixels
  int height = 0;
  int bitsPerPixel = 0;
};

// Read from /etc/os-release (else /usr/lib/os-release) and uname().
OperatingSystem currentOperatingSystem();
// Read from /proc/cpuinfo (its first processor); the FDIV test is computed.
Processor currentProcessor();

// The value of `key` in os-release text, unquoted and unescaped; empty when
// the key is missing.
std::string osReleaseValue(std::string_view osRelease, std::string_view key);
// Fills the version numbers from a kernel release such as "6.1.0-18-amd64".
void setKernelVersion(std::string_view release, OperatingSystem& system);
// Vendor, model, clock and MMX of the first processor in /proc/cpuinfo text.
Processor parseCpuInfo(std::string_view cpuInfo);

// The clock as processors are sold: the last two digits move to the nearest
// of 0, 20, 33, 50, 60, 66, 80, 90 and 100, the upper on a tie (2394 gives
// 2390, 1995 gives 2000, 733 stays).
int normalisedMegahertz(int measured);

// Whether this processor divides with the flaw of early Pentiums.
bool hasFdivFlaw();

// "System   : ...", "Processor: ..." and, with a display, "Display  : ...".
std::vector<std::string> systemLines(const OperatingSystem& system, const Processor& processor,
                                     const std::optional<Display>& display);

}  // namespace zelk::diag
