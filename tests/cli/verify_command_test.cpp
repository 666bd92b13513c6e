// Runs the built zelk-sfv verify on folders with lists that other tools wrote.

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "tests/cli/tool_runner.h"
#include "tests/support/temp_folder.h"

namespace {

using zelk::testing::TempFolder;
using zelk::testing::toolPath;

struct ToolRun {
  int status = -1;
  std::vector<std::string> out;  // standard output, line by line
  std::string err;
};

std::vector<std::string> splitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream stream(text);
  for (std::string line; std::getline(stream, line);) lines.push_back(line);
  return lines;
}

// Runs `tool verify arguments` in `workingFolder`.
ToolRun runVerify(const std::string& workingFolder, const std::vector<std::string>& arguments,
                  const std::string& tool = toolPath()) {
  std::vector<std::string> command{"verify"};
  command.insert(command.end(), arguments.begin(), arguments.end());
  const zelk::testing::ToolResult result = zelk::testing::runTool(command, workingFolder, tool);
  return {result.status, splitLines(result.out), result.err};
}

void writeKnownFiles(const TempFolder& folder) {
  folder.write("fox.txt", "The quick brown fox jumps over the lazy dog");
  folder.write("sub/abc.txt", "abc");
}

const std::string kOkFox = "FILE: fox.txt CRC OK.";
const std::string kOkAbc = "FILE: sub\\abc.txt CRC OK.";

TEST(VerifyCommand, PrintsTheReportAndExitsByTheOutcome) {
  // Checksums from cksfv and md5sum over the same two files.
  const std::string sfv = "; creator: (NONE)\r\n; comment: holiday\r\nfox.txt 414FA339\r\nsub\\abc.txt 352441c2\r\n";
  const std::string md5 =
      "9e107d9d372bb6826bd81d3542a419d6  fox.txt\n900150983cd24fb0d6963f7d28e17f72 *sub\\abc.txt\n";
  const std::string broken = "fox.txt 00000000\nsub\\abc.txt 352441c2\ngone.txt 12345678\n";
  const struct {
    const char* label;
    std::string listName;
    std::string listText;
    std::vector<std::string> arguments;  // "%" stands for the folder
    int status;
    std::vector<std::string> out;
  } cases[] = {
      {"intact, current folder", "a.sfv", sfv, {}, 0,
       {"creator: (NONE)", "comment: holiday", kOkFox, kOkAbc, " ", "Files checked: 2",
        "Files modified: 0  --> File's delete:0", "Files CRC OK: 2"}},
      {"intact, folder given", "a.sfv", sfv, {"%"}, 0,
       {"creator: (NONE)", "comment: holiday", kOkFox, kOkAbc, " ", "Files checked: 2",
        "Files modified: 0  --> File's delete:0", "Files CRC OK: 2"}},
      {"modified and missing", "a.sfv", broken, {"%"}, 1,
       {"FILE: fox.txt CRC ERROR. File was modified, check it.  ", kOkAbc,
        "FILE: gone.txt CRC ERROR. File was modified, check it.  ---> File was delete", " ", "Files checked: 3",
        "Files modified: 2  --> File's delete:1", "Files CRC OK: 1"}},
      {"md5 list, automatic", "a.md5", md5, {"--mode", "auto", "%"}, 0,
       {kOkFox, kOkAbc, " ", "Files checked: 2", "Files modified: 0  --> File's delete:0", "Files CRC OK: 2"}},
      {"md5 list, md5 mode", "a.md5", md5, {"%", "--mode=md5"}, 0,
       {kOkFox, kOkAbc, " ", "Files checked: 2", "Files modified: 0  --> File's delete:0", "Files CRC OK: 2"}},
      {"md5 list, crc32 mode", "a.md5", md5, {"--mode", "crc32", "%"}, 1,
       {"FILE: 9e107d9d372bb6826bd81d3542a419d6 CRC ERROR. File was modified, check it.  ---> File was delete",
        "FILE: 900150983cd24fb0d6963f7d28e17f72 *su CRC ERROR. File was modified, check it.  ---> File was delete",
        " ", "Files checked: 2", "Files modified: 2  --> File's delete:2", "Files CRC OK: 0"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    TempFolder folder;
    writeKnownFiles(folder);
    folder.write(c.listName, c.listText);
    std::vector<std::string> arguments = c.arguments;
    const auto at = std::find(arguments.begin(), arguments.end(), "%");
    if (at != arguments.end()) *at = folder.path();
    const ToolRun run = runVerify(at == arguments.end() ? folder.path() : "/", arguments);
    EXPECT_EQ(run.status, c.status) << run.err;
    EXPECT_EQ(run.out, c.out);
    EXPECT_FALSE(std::filesystem::exists(folder.path() + "result.rtf"));
  }
}

TEST(VerifyCommand, FailsWithStatusTwoWithoutAListOrUsableArguments) {
  TempFolder folder;
  writeKnownFiles(folder);
  folder.makeFolder("folder.sfv");
  // procfs gives an I/O error where a list would have lines.
  folder.makeFolder("unreadable");
  ASSERT_EQ(::symlink("/proc/self/pagemap", (folder.path() + "unreadable/a.sfv").c_str()), 0);
  const struct {
    const char* label;
    std::vector<std::string> arguments;
    std::string message;
  } cases[] = {
      {"no list", {}, "no checksum list (.sfv, .md5, "},
      {"no such folder", {"missing"}, "not a folder"},
      {"unknown mode", {"--mode", "sha1"}, "--mode"},
      {"mode without value", {"--mode"}, "--mode"},
      {"unknown option", {"--bogus"}, "--bogus"},
      {"two folders", {".", "sub"}, "one folder"},
      {"jobs without a count", {"--jobs=none"}, "--jobs takes a number"},
      {"list cannot be read", {"unreadable"}, "The list \"a.sfv\" cannot be read: Input/output error."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    const ToolRun run = runVerify(folder.path(), c.arguments);
    EXPECT_EQ(run.status, 2);
    EXPECT_TRUE(run.out.empty());
    EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
  }
}

TEST(VerifyCommand, SaveWritesTheReportAsRtf) {
  TempFolder folder;
  writeKnownFiles(folder);
  folder.write("a.sfv", "fox.txt 414fa339\r\ngone{1}.txt 414fa339\r\n");
  const ToolRun run = runVerify(folder.path(), {"--save"});
  EXPECT_EQ(run.status, 1) << run.err;
  const std::string rtf = folder.read("result.rtf");
  EXPECT_EQ(rtf.rfind("{\\rtf1", 0), 0u);
  // Green first, then red; both lines and the summary in their colours.
  EXPECT_NE(rtf.find("\\red0\\green128\\blue0;\\red255\\green0\\blue0;"), std::string::npos);
  EXPECT_NE(rtf.find("\\cf1 FILE: fox.txt CRC OK.\\par"), std::string::npos);
  EXPECT_NE(rtf.find("\\cf2 FILE: gone\\{1\\}.txt CRC ERROR. File was modified, check it.  ---> File was delete\\par"),
            std::string::npos);
  EXPECT_NE(rtf.find("\\cf2 Files CRC OK: 1\\par"), std::string::npos);
  ASSERT_GE(run.out.size(), 2u);
  EXPECT_EQ(run.out[run.out.size() - 2], "Result.txt you can found here: ");
  EXPECT_EQ(run.out.back(), folder.path());
}

TEST(VerifyCommand, OutputThatCannotBeWrittenIsAFailure) {
  TempFolder folder;
  writeKnownFiles(folder);
  folder.write("a.sfv", "fox.txt 414fa339\n");
  const zelk::testing::ToolResult run = zelk::testing::runTool({"verify", folder.path()}, "/", toolPath(), "/dev/full");
  EXPECT_EQ(run.status, 2);
  EXPECT_NE(run.err.find("cannot write to standard output: No space left on device"), std::string::npos) << run.err;
}

// On a terminal a name cannot send escape sequences; in a pipe every byte of
// it stays.
TEST(VerifyCommand, ControlCharactersShowAsQuestionMarksOnATerminal) {
  TempFolder folder;
  const std::string name = "red\x1b[31m\x07.txt";
  folder.write(name, "abc");
  folder.write("a.sfv", name + " 352441c2\n");
  const std::string command = toolPath() + " verify " + folder.path();
  const zelk::testing::ToolResult terminal = zelk::testing::runTool({"-qec", command, "/dev/null"}, "/", "/usr/bin/script");
  EXPECT_EQ(terminal.status, 0) << terminal.err;
  EXPECT_NE(terminal.out.find("FILE: red?[31m?.txt CRC OK."), std::string::npos) << terminal.out;
  EXPECT_EQ(terminal.out.find("\x07"), std::string::npos);
  const ToolRun piped = runVerify(folder.path(), {});
  ASSERT_FALSE(piped.out.empty());
  EXPECT_EQ(piped.out.front(), "FILE: " + name + " CRC OK.");
}

// A translation whose template wants a number where the name goes stops the
// run with a message instead of printing garbage. The language file lives in
// the program's folder, so the test runs a copy of the program.
TEST(VerifyCommand, BadLanguageTemplateEndsWithStatusTwo) {
  TempFolder program;
  const std::string tool = program.path() + "zelk-sfv";
  std::filesystem::copy_file(toolPath(), tool);
  program.write("language.lng", "[PROG]\nFile_crc_ok=FILE: %d CRC OK.\n");
  TempFolder folder;
  writeKnownFiles(folder);
  folder.write("a.sfv", "fox.txt 414fa339\n");
  const ToolRun run = runVerify(folder.path(), {}, tool);
  EXPECT_EQ(run.status, 2);
  EXPECT_FALSE(run.err.empty());
  EXPECT_TRUE(run.out.empty());
}

}  // namespace
