#include "diag/stack_lines.h"

#include <cxxabi.h>
#include <dwarf.h>
#include <elfutils/libdwfl.h>
#include <unistd.h>

#include <cstdlib>
#include <string_view>
#include <utility>

#include "diag/line_builder.h"

namespace zelk::diag {
namespace {

std::string unitName(Dwarf_Die* unitDie) {
  const char* name = ::dwarf_diename(unitDie);
  if (name == nullptr) return {};
  std::string unit(name);
  unit.erase(0, unit.rfind('/') + 1);
  const std::size_t dot = unit.rfind('.');
  if (dot != std::string::npos && dot > 0) unit.erase(dot);
  return unit;
}

// The scopes around `address`, innermost first, ending with the unit. Where
// dwarf_getscopes() stops at an inlined call and goes on in the inlined
// function's definition, the chain is followed through the DIE tree instead,
// so that it leads to the function the code was inlined into.
struct Scopes {
  Dwarf_Die* dies = nullptr;
  int count = 0;
  Scopes(Dwarf_Die* unitDie, Dwarf_Addr address) {
    Dwarf_Die* innermost = nullptr;
    if (::dwarf_getscopes(unitDie, address, &innermost) > 0) count = ::dwarf_getscopes_die(&innermost[0], &dies);
    std::free(innermost);
  }
  ~Scopes() { std::free(dies); }
  Scopes(const Scopes&) = delete;
  Scopes& operator=(const Scopes&) = delete;

  // The out-of-line function holding the address.
  Dwarf_Die* function() const {
    for (int index = 0; index < count; ++index) {
      if (::dwarf_tag(&dies[index]) == DW_TAG_subprogram) return &dies[index];
    }
    return nullptr;
  }
  // The inlined call made directly in that function, if the address lies in
  // inlined code.
  Dwarf_Die* outermostInlinedCall() const {
    Dwarf_Die* call = nullptr;
    for (int index = 0; index < count && ::dwarf_tag(&dies[index]) != DW_TAG_subprogram; ++index) {
      if (::dwarf_tag(&dies[index]) == DW_TAG_inlined_subroutine) call = &dies[index];
    }
    return call;
  }
};

// File and line of an inlined call's call site.
bool callSite(Dwarf_Die* unitDie, Dwarf_Die* call, CodeLocation& location) {
  Dwarf_Attribute attribute;
  Dwarf_Word fileIndex = 0;
  Dwarf_Word line = 0;
  if (::dwarf_formudata(::dwarf_attr(call, DW_AT_call_file, &attribute), &fileIndex) != 0) return false;
  if (::dwarf_formudata(::dwarf_attr(call, DW_AT_call_line, &attribute), &line) != 0) return false;
  Dwarf_Files* files = nullptr;
  std::size_t fileCount = 0;
  if (::dwarf_getsrcfiles(unitDie, &files, &fileCount) != 0 || fileIndex >= fileCount) return false;
  const char* file = ::dwarf_filesrc(files, fileIndex, nullptr, nullptr);
  if (file == nullptr) return false;
  location.file = file;
  location.line = static_cast<int>(line);
  return true;
}

void addSourceLine(Dwfl_Module* module, Dwarf_Addr address, CodeLocation& location) {
  Dwarf_Addr bias = 0;
  Dwarf_Die* unitDie = ::dwfl_module_addrdie(module, address, &bias);
  if (unitDie == nullptr) return;
  const Scopes scopes(unitDie, address - bias);
  // A unit's address ranges can also cover code it does not describe (startup
  // code without debug information): only a function of its own counts.
  Dwarf_Die* function = scopes.function();
  if (function == nullptr) return;
  location.unit = unitName(unitDie);
  if (location.procedure.empty() && ::dwarf_diename(function) != nullptr) {
    location.procedure = ::dwarf_diename(function);
  }
  Dwarf_Die* call = scopes.outermostInlinedCall();
  if (call == nullptr || !callSite(unitDie, call, location)) {
    int line = 0;
    Dwfl_Line* entry = ::dwfl_module_getsrc(module, address);
    const char* file = entry != nullptr ? ::dwfl_lineinfo(entry, nullptr, &line, nullptr, nullptr, nullptr) : nullptr;
    if (file == nullptr) return;
    location.file = file;
    location.line = line;
  }
  int firstLine = 0;
  const char* declaredIn = ::dwarf_decl_file(function);
  if (::dwarf_decl_line(function, &firstLine) == 0 && declaredIn != nullptr && location.file == declaredIn &&
      location.line >= firstLine) {
    location.lineOffset = location.line - firstLine;
  }
}

char* debugInfoPath = nullptr;  // null: the standard places of separate debug files
const Dwfl_Callbacks kCallbacks = {::dwfl_linux_proc_find_elf, ::dwfl_standard_find_debuginfo, nullptr,
                                   &debugInfoPath};

}  // namespace

struct StackResolver::Session {
  Dwfl* dwfl = ::dwfl_begin(&kCallbacks);
  ~Session() { ::dwfl_end(dwfl); }
};

StackResolver::StackResolver() : session_(std::make_unique<Session>()) {
  if (session_->dwfl == nullptr) return;
  ::dwfl_report_begin(session_->dwfl);
  ::dwfl_linux_proc_report(session_->dwfl, ::getpid());
  ::dwfl_report_end(session_->dwfl, nullptr, nullptr);
}

StackResolver::~StackResolver() = default;

CodeLocation StackResolver::locate(std::uintptr_t returnAddress) const {
  CodeLocation location;
  if (session_->dwfl == nullptr || returnAddress == 0) return location;
  const Dwarf_Addr address = returnAddress - 1;
  Dwfl_Module* module = ::dwfl_addrmodule(session_->dwfl, address);
  if (module == nullptr) return location;
  GElf_Off offset = 0;
  GElf_Sym symbol;
  const char* name = ::dwfl_module_addrinfo(module, address, &offset, &symbol, nullptr, nullptr, nullptr);
  if (name != nullptr) {
    location.procedure = demangledName(name);
    location.procedureOffset = offset + 1;
  }
  addSourceLine(module, address, location);
  return location;
}

std::string demangledName(const char* name) {
  int status = 0;
  char* readable = abi::__cxa_demangle(name, nullptr, nullptr, &status);
  if (readable == nullptr) return name;
  std::string result(readable);
  std::free(readable);
  // The standard strings by the names their users write.
  static const std::pair<std::string_view, std::string_view> kShortNames[] = {
      {"std::__cxx11::basic_string<char, std::char_traits<char>, std::allocator<char> >", "std::string"},
      {"std::basic_string_view<char, std::char_traits<char> >", "std::string_view"},
  };
  for (const auto& [longName, shortName] : kShortNames) {
    for (std::size_t at = result.find(longName); at != std::string::npos; at = result.find(longName, at)) {
      result.replace(at, longName.size(), shortName);
    }
  }
  return result;
}

std::string stackLine(std::uintptr_t address, const CodeLocation& location) {
  LineBuilder line;
  line.address(address);
  if (location.procedure.empty()) return line.str();
  line.text(" ");
  if (!location.unit.empty()) line.text(location.unit).text(".");
  line.text(location.procedure);
  if (!location.unit.empty() && location.line > 0) {
    line.text(" (Line ").decimal(location.line).text(", \"").text(location.file).text("\"");
    if (location.lineOffset > 0) line.text(" + ").decimal(location.lineOffset);
    line.text(")");
  }
  if (location.procedureOffset > 0) line.text(" + $").hex(location.procedureOffset);
  return line.str();
}

std::vector<std::string> stackLines(const StackRecord& record) {
  const StackResolver resolver;
  std::vector<std::string> lines;
  for (std::size_t index = 0; index < record.size; ++index) {
    lines.push_back(stackLine(record.addresses[index], resolver.locate(record.addresses[index])));
  }
  return lines;
}

}  // namespace zelk::diag
