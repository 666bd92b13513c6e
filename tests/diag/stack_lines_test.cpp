#include <gtest/gtest.h>

#include <string>

#include "diag/stack_lines.h"

namespace zelk::diag {
namespace {

TEST(StackLine, WritesWhatIsKnownInTheMatchingFormat) {
  const struct {
    CodeLocation location;
    std::string line;
  } cases[] = {
      {{}, "[00000000004011A0]"},
      {{"memcpy", 0x1A, "", "", 0, 0}, "[00000000004011A0] memcpy + $1A"},
      {{"memcpy", 0, "", "", 0, 0}, "[00000000004011A0] memcpy"},
      {{"main", 0x2F, "main", "", 0, 0}, "[00000000004011A0] main.main + $2F"},
      {{"zelk::run()", 0x3C0, "runner", "src/runner.cpp", 42, 7},
       "[00000000004011A0] runner.zelk::run() (Line 42, \"src/runner.cpp\" + 7) + $3C0"},
      {{"zelk::run()", 0x10, "runner", "src/runner.cpp", 35, 0},
       "[00000000004011A0] runner.zelk::run() (Line 35, \"src/runner.cpp\") + $10"},
  };
  for (const auto& test : cases) EXPECT_EQ(stackLine(0x4011A0, test.location), test.line);
}

TEST(StackResolver, AddressesOutsideAnyModuleStayBare) {
  const StackResolver resolver;
  const CodeLocation location = resolver.locate(0x10);
  EXPECT_TRUE(location.procedure.empty());
  EXPECT_EQ(stackLine(0x10, location), "[0000000000000010]");
}

TEST(DemangledName, GivesSourceNamesWithShortStringNames) {
  const struct {
    const char* mangled;
    std::string name;
  } cases[] = {
      {"_ZN4zelk8language13TemplateErrorE", "zelk::language::TemplateError"},
      {"_Z4openRKNSt7__cxx1112basic_stringIcSt11char_traitsIcESaIcEEESt17basic_string_viewIcS2_E",
       "open(std::string const&, std::string_view)"},
      {"main", "main"},
  };
  for (const auto& test : cases) EXPECT_EQ(demangledName(test.mangled), test.name);
}

}  // namespace
}  // namespace zelk::diag
