#pragma once
// The ELF objects loaded into this process: the program, its shared libraries
// and the kernel's vDSO, each with where it lies, its real file name and its
// GNU build ID (which names the debug symbols that fit it). Collecting and
// writing the list allocate nothing, so the crash handler uses them as well.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "diag/line_builder.h"

namespace zelk::diag {

struct ModuleInfo {
  std::uintptr_t loadAddress = 0;       // where its first segment lies
  std::uintptr_t bias = 0;              // added to its file's addresses
  std::uintptr_t preferredAddress = 0;  // the address its file asks for; 0 when any will do
  char path[512] = {};                  // as loaded (the program's own: its real path)
  char realName[256] = {};              // the file's name after following links; empty without a file
  std::uint8_t buildId[64] = {};
  std::size_t buildIdSize = 0;
};

inline constexpr std::size_t kMaxModules = 256;

// Fills `modules` in ascending order of load address; returns their count (at
// most `capacity`). Async-signal-safe as far as dl_iterate_phdr is.
std::size_t collectModules(ModuleInfo* modules, std::size_t capacity);

// The version a shared object's real file name carries: after ".so."
// ("libQt6Core.so.6.4.2" gives "6.4.2") or, in digits and dots, between the
// last "-" and ".so" ("libdw-0.188.so" gives "0.188"); empty when there is none.
std::string_view versionOfFileName(std::string_view fileName);

// The module whose segments start at or below `address` closest to it, or null.
const ModuleInfo* moduleAt(const ModuleInfo* modules, std::size_t count, std::uintptr_t address);

// Per module: "[load address] path"; then either the preferred address in
// angle brackets (only for a module loaded elsewhere than it asks) or blanks
// of the same width, followed by "version - real name" or "(no version
// info)"; then, when it has one, a line with its build ID.
void writeModuleLines(const ModuleInfo* modules, std::size_t count, LineSink& sink);

// The lines above for the modules loaded now.
std::vector<std::string> moduleLines();

}  // namespace zelk::diag
