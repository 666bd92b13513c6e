// Runs the built zelk-sfv create on folders and checks its output, lists and exit status.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "tests/cli/tool_runner.h"
#include "tests/support/temp_folder.h"

namespace {

using zelk::testing::runTool;
using zelk::testing::TempFolder;
using zelk::testing::ToolResult;
using zelk::testing::toolPath;

class CreateCommand : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(::access(toolPath().c_str(), X_OK), 0) << toolPath() << ": ZELK_TOOLS_DIR names the build folder";
    temp_.write("Music/b.txt", "123456789");
    temp_.write("Music/sub/c.bin", "The quick brown fox jumps over the lazy dog");
  }
  std::string music() const { return temp_.path() + "Music"; }

  TempFolder temp_;
};

TEST_F(CreateCommand, WritesTheListAndPrintsEveryLine) {
  const ToolResult result = runTool({"create", "-r", "--creator", "me", music()});
  EXPECT_EQ(result.status, 0) << result.err;
  // Values by cksfv; the time varies, so only its form is checked.
  const std::string start = "b.txt cbf43926\nsub\\c.bin 414fa339\nTIME: ";
  const std::string end = " sek\nChecksum create is finish\n";
  EXPECT_EQ(result.out.substr(0, start.size()), start);
  ASSERT_GE(result.out.size(), end.size());
  EXPECT_EQ(result.out.substr(result.out.size() - end.size()), end);
  EXPECT_EQ(result.err, "");
  const std::string list = temp_.read("Music/Music.sfv");
  EXPECT_NE(list.find("\r\n; creator: me\r\n; comment: (NONE)\r\n"), std::string::npos) << list;
  EXPECT_NE(list.find("\r\nb.txt cbf43926\r\nsub\\c.bin 414fa339\r\n"), std::string::npos) << list;
}

TEST_F(CreateCommand, Md5ListOfTheFolderItself) {
  const ToolResult result = runTool({"create", "--md5", music() + "/"});
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.out.substr(0, 39), "b.txt 25f9e794323b453885f5181f1b624d0b\n");  // md5sum
  const std::string list = temp_.read("Music/Music.md5");
  EXPECT_NE(list.find("\r\n25f9e794323b453885f5181f1b624d0b b.txt\r\n"), std::string::npos) << list;
  EXPECT_EQ(list.find("c.bin"), std::string::npos) << list;
}

// --algorithm names the list's kind and extension; --md5 is one of them.
TEST_F(CreateCommand, AlgorithmChoosesTheKindOfList) {
  const struct {
    std::vector<std::string> options;
    const char* list;
    const char* line;  // b.txt's entry: sha1sum, sha512sum (start), xxhsum -H2, md5sum
  } cases[] = {
      {{"--algorithm", "sha1"}, "Music.sha1", "f7c3bc1d808e04732adf679965ccc34ca7ae3441  b.txt\n"},
      {{"--algorithm=SHA512"}, "Music.sha512", "d9e6762dd1c8eaf6d61b3c6192fc408d4d6d5f1176d0c29169bc24e71c3f274a"},
      {{"--algorithm", "xxh128"}, "Music.xxh128", "33119477ede5dcd5e9716427681d5860  b.txt\n"},
      {{"--md5"}, "Music.md5", "25f9e794323b453885f5181f1b624d0b b.txt\r\n"},
  };
  for (const auto& c : cases) {
    std::vector<std::string> arguments{"create"};
    arguments.insert(arguments.end(), c.options.begin(), c.options.end());
    arguments.push_back(music());
    const ToolResult result = runTool(arguments);
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_NE(temp_.read(std::string("Music/") + c.list).find(c.line), std::string::npos) << c.list;
  }
  const ToolResult unknown = runTool({"create", "--algorithm", "sha3", music()});
  EXPECT_EQ(unknown.status, 2);
  EXPECT_NE(unknown.err.find("--algorithm takes one of crc32, md5, sha1, sha256, sha512, blake3 or xxh128"),
            std::string::npos)
      << unknown.err;
}

TEST_F(CreateCommand, AnyNumberOfJobsPrintsTheSameLines) {
  for (int i = 0; i < 30; ++i) temp_.write("Music/f" + std::to_string(i), std::string(static_cast<std::size_t>(i * 997), 'z'));
  const ToolResult single = runTool({"create", "-r", "--force", "--jobs", "1", music()});
  const ToolResult many = runTool({"create", "-r", "--force", "--jobs=3", music()});
  EXPECT_EQ(many.status, 0) << many.err;
  EXPECT_EQ(many.out.substr(0, many.out.find("TIME: ")), single.out.substr(0, single.out.find("TIME: ")));
  EXPECT_EQ(many.err, "");
}

TEST_F(CreateCommand, JobsNeedACount) {
  const ToolResult result = runTool({"create", "--jobs", "0", music()});
  EXPECT_EQ(result.status, 2);
  EXPECT_NE(result.err.find("--jobs takes a number"), std::string::npos) << result.err;
  EXPECT_EQ(::access((music() + "/Music.sfv").c_str(), F_OK), -1);
}

TEST_F(CreateCommand, DotNamesTheListAfterTheCurrentFolder) {
  EXPECT_EQ(runTool({"create", "."}, music()).status, 0);
  EXPECT_NE(temp_.read("Music/Music.sfv").find("\r\nb.txt cbf43926\r\n"), std::string::npos);
}

TEST_F(CreateCommand, ExistingListIsKeptWithoutATerminalUnlessForced) {
  temp_.write("Music/Music.sfv", "old list");
  const ToolResult refused = runTool({"create", music()});
  EXPECT_EQ(refused.status, 1);
  EXPECT_EQ(refused.out, "");
  EXPECT_NE(refused.err.find("File \"Music.sfv\" is exit. Overwrite it?"), std::string::npos) << refused.err;
  EXPECT_NE(refused.err.find("--force"), std::string::npos) << refused.err;
  EXPECT_EQ(temp_.read("Music/Music.sfv"), "old list");

  const ToolResult forced = runTool({"create", "--force", music()});
  EXPECT_EQ(forced.status, 0) << forced.err;
  EXPECT_NE(temp_.read("Music/Music.sfv").find("\r\nb.txt cbf43926\r\n"), std::string::npos);
}

TEST_F(CreateCommand, FailuresExitWithTwo) {
  const ToolResult missing = runTool({"create", temp_.path() + "nowhere"});
  EXPECT_EQ(missing.status, 2);
  EXPECT_NE(missing.err.find("does not exist"), std::string::npos) << missing.err;

  temp_.makeFolder("Music/Music.sfv");
  const ToolResult taken = runTool({"create", "--force", music()});
  EXPECT_EQ(taken.status, 2);
  EXPECT_NE(taken.err.find("The list \"Music.sfv\" could not be written: Is a directory."), std::string::npos)
      << taken.err;
  EXPECT_EQ(taken.out.find("Checksum create is finish"), std::string::npos) << taken.out;

  const ToolResult full = runTool({"create", "--md5", music()}, "/", toolPath(), "/dev/full");
  EXPECT_EQ(full.status, 2);
  EXPECT_NE(full.err.find("cannot write to standard output: No space left on device"), std::string::npos) << full.err;
}

TEST_F(CreateCommand, WhatIsLeftOutIsNamedOnStandardErrorWithStatusOne) {
  ASSERT_EQ(::mkfifo((music() + "/pipe").c_str(), 0600), 0);
  const ToolResult result = runTool({"create", music()});
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.err, "zelk-sfv create: pipe - not a regular file, not listed\n");
  EXPECT_EQ(result.out.substr(0, 15), "b.txt cbf43926\n");
  EXPECT_EQ(temp_.read("Music/Music.sfv").find("pipe"), std::string::npos);
}

TEST_F(CreateCommand, BadUsageExitsWithTwo) {
  const std::vector<std::vector<std::string>> cases{
      {},
      {"create"},
      {"create", "--bogus", music()},
      {"create", music(), music()},
      {"create", music(), "--creator"},
      {"frobnicate", music()},
  };
  for (const auto& arguments : cases) {
    const ToolResult result = runTool(arguments);
    EXPECT_EQ(result.status, 2) << ::testing::PrintToString(arguments);
    EXPECT_NE(result.err, "") << ::testing::PrintToString(arguments);
    EXPECT_EQ(result.out, "") << ::testing::PrintToString(arguments);
  }
  EXPECT_EQ(temp_.read("Music/Music.sfv"), "");
}

TEST(ZelkSfv, HelpAndVersion) {
  for (const auto& arguments : std::vector<std::vector<std::string>>{{"--help"}, {"-h"}, {"create", "--help"}}) {
    const ToolResult help = runTool(arguments);
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("zelk-sfv create [--algorithm NAME|--md5] [-r|--recursive]"), std::string::npos) << help.out;
    EXPECT_NE(help.out.find("zelk-sfv verify"), std::string::npos) << help.out;
  }
  const ToolResult version = runTool({"--version"});
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out, "zelk-sfv " ZELK_VERSION "\n");
}

}  // namespace
