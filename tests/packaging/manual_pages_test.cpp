// The manual pages are written by hand: these tests keep them to what the
// programs take, and to pages man renders without complaint.

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <regex>
#include <set>
#include <sstream>
#include <string>

#include "tests/cli/tool_runner.h"
#include "tests/support/temp_folder.h"

namespace {

using zelk::testing::runTool;
using zelk::testing::TempFolder;
using zelk::testing::toolPath;

std::string manualPage(const std::string& name) {
  std::ifstream file(std::string(ZELK_SOURCE_DIR) + "/doc/man/" + name);
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

// The page as its reader sees the words: roff's "\-" is a '-', and font
// changes are no characters.
std::string plainText(std::string page) {
  page = std::regex_replace(page, std::regex(R"(\\-)"), "-");
  return std::regex_replace(page, std::regex(R"(\\f[BIRP])"), "");
}

std::set<std::string> longOptions(const std::string& text) {
  std::set<std::string> options;
  const std::regex option(R"(--[a-z][a-z0-9-]*)");
  for (auto it = std::sregex_iterator(text.begin(), text.end(), option); it != std::sregex_iterator(); ++it) {
    options.insert(it->str());
  }
  return options;
}

TEST(ManualPages, ToolPageHasExactlyTheOptionsOfHelp) {
  const std::string help = runTool({"--help"}).out;
  ASSERT_FALSE(help.empty());
  EXPECT_EQ(longOptions(plainText(manualPage("zelk-sfv.1"))), longOptions(help));
  for (const char* word : {".SS create", ".SS verify", "-r", "FOLDER", "NO_COLOR"}) {
    EXPECT_NE(manualPage("zelk-sfv.1").find(word), std::string::npos) << word;
  }
}

TEST(ManualPages, DesktopPageNamesItsStartForms) {
  const std::string page = plainText(manualPage("Zelk_SFV_Utility.1"));
  for (const char* word : {".B Zelk_SFV_Utility -v", ".I FOLDER", "zelk-sfv-verify-list", "language"}) {
    EXPECT_NE(page.find(word), std::string::npos) << word;
  }
}

TEST(ManualPages, ManRendersThemWithoutWarnings) {
  if (::access("/usr/bin/man", X_OK) != 0) GTEST_SKIP() << "man is not installed";
  for (const char* name : {"zelk-sfv.1", "Zelk_SFV_Utility.1"}) {
    SCOPED_TRACE(name);
    const std::string path = std::string(ZELK_SOURCE_DIR) + "/doc/man/" + name;
    const auto result = runTool({"--warnings", "-E", "UTF-8", "-l", path}, "/", "/usr/bin/man");
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.err, "");
    EXPECT_NE(result.out.find("NAME"), std::string::npos);
  }
}

// What bash offers after each subcommand's "-" is what --help lists.
TEST(BashCompletion, OffersTheOptionsOfHelp) {
  const std::string script = std::string(ZELK_SOURCE_DIR) + "/cli/zelk-sfv.bash-completion";
  const std::string help = runTool({"--help"}).out;
  for (const char* command : {"create", "verify"}) {
    SCOPED_TRACE(command);
    const std::string complete = "source '" + script + "'; COMP_WORDS=(zelk-sfv " + command +
                                 " --); COMP_CWORD=2; _zelk_sfv; printf '%s\\n' \"${COMPREPLY[@]}\"";
    const std::string offered = runTool({"-c", complete}, "/", "/bin/bash").out;
    const std::size_t start = help.find(std::string("\n") + command + "  ");
    // A subcommand's options end where the next subcommand or a blank line starts.
    const std::size_t end = std::min(help.find("\nverify  ", start + 1), help.find("\n\n", start));
    ASSERT_NE(start, std::string::npos);
    std::set<std::string> expected = longOptions(help.substr(start, end - start));
    expected.insert("--help");
    EXPECT_EQ(longOptions(offered), expected) << offered;
  }
}

// The names bash offers after --algorithm are those --help lists.
TEST(BashCompletion, OffersTheAlgorithmsOfHelp) {
  const std::string help = runTool({"--help"}).out;
  const std::size_t start = help.find("--algorithm NAME ");
  const std::size_t end = help.find("(default", start);
  ASSERT_NE(end, std::string::npos) << help;
  std::string names = std::regex_replace(help.substr(start + 17, end - start - 17), std::regex(R"(,|\bor\b|\s+)"), " ");
  std::istringstream words(names);
  std::set<std::string> expected{std::istream_iterator<std::string>(words), std::istream_iterator<std::string>()};
  const std::string complete = "source '" + std::string(ZELK_SOURCE_DIR) +
                               "/cli/zelk-sfv.bash-completion'; COMP_WORDS=(zelk-sfv create --algorithm ''); "
                               "COMP_CWORD=3; _zelk_sfv; printf '%s\\n' \"${COMPREPLY[@]}\"";
  std::istringstream offered(runTool({"-c", complete}, "/", "/bin/bash").out);
  EXPECT_EQ((std::set<std::string>{std::istream_iterator<std::string>(offered), std::istream_iterator<std::string>()}),
            expected);
  EXPECT_EQ(expected.size(), 7u);
}

TEST(BashCompletion, OffersTheDesktopProgramsStartForms) {
  TempFolder folder;
  folder.makeFolder("photos");
  const std::string complete = "source '" + std::string(ZELK_SOURCE_DIR) +
                               "/cli/zelk-sfv.bash-completion'; COMP_WORDS=(Zelk_SFV_Utility ''); COMP_CWORD=1; "
                               "_zelk_sfv_utility; printf '%s\\n' \"${COMPREPLY[@]}\"";
  EXPECT_EQ(runTool({"-c", complete}, folder.path(), "/bin/bash").out, "-v\nphotos\n");
}

}  // namespace
