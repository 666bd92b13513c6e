#pragma once
// Code addresses as a reader wants them: function, source file and line, read
// from the debug information of whichever module holds the address (elfutils'
// libdw; separate debug files under /usr/lib/debug are found as gdb finds
// them).

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "diag/throw_trace.h"

namespace zelk::diag {

// What the debug information tells about a code address. Members it does not
// tell stay empty or 0.
struct CodeLocation {
  std::string procedure;              // the function, demangled
  std::uintptr_t procedureOffset = 0;  // of the address from the function's start
  std::string unit;                   // the compiled source file's name, no folder or extension
  std::string file;                   // the source file of the line, as the build recorded it
  int line = 0;
  int lineOffset = 0;  // of the line from the function's first line
};

class StackResolver {
 public:
  // Reads the module map of this process as it is now.
  StackResolver();
  ~StackResolver();
  StackResolver(const StackResolver&) = delete;
  StackResolver& operator=(const StackResolver&) = delete;

  // `returnAddress` is taken as a return address: the call before it is
  // located. Where code was inlined, the line is that of the call in the
  // named function, so that function, file and line agree.
  CodeLocation locate(std::uintptr_t returnAddress) const;

 private:
  struct Session;
  std::unique_ptr<Session> session_;
};

// "[address]", "[address] procedure + $offset", "[address] unit.procedure +
// $offset" or "[address] unit.procedure (Line n, "file" + k) + $offset", by
// what is known; a zero offset is left out.
std::string stackLine(std::uintptr_t address, const CodeLocation& location);

// A C++ symbol or type name as written in the source; `name` itself when it
// is no mangled name.
std::string demangledName(const char* name);

// One stack line per address of the record.
std::vector<std::string> stackLines(const StackRecord& record);

}  // namespace zelk::diag
