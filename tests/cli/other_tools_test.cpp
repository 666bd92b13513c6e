// Lists of the algorithms beside CRC-32 and MD5 go both ways between us and
// each algorithm's own tool: what we write it checks from the list's folder,
// and what it writes (plain, binary-marked, tagged, escaped) we check.

#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "tests/cli/tool_runner.h"
#include "tests/support/temp_folder.h"

namespace {

using zelk::testing::runTool;
using zelk::testing::TempFolder;

struct OwnTool {
  const char* algorithm;
  const char* program;
  std::vector<std::string> check;  // the tool's arguments to check a list
  std::vector<std::vector<std::string>> writes;  // its arguments for each form of list it writes
  bool escapes;                    // it writes and reads names with a backslash
};

const OwnTool kTools[] = {
    {"sha1", "/usr/bin/sha1sum", {"-c", "--strict"}, {{}, {"-b"}, {"--tag"}}, true},
    {"sha256", "/usr/bin/sha256sum", {"-c", "--strict"}, {{}, {"-b"}, {"--tag"}}, true},
    {"sha512", "/usr/bin/sha512sum", {"-c", "--strict"}, {{}, {"--tag"}}, true},
    {"blake3", "/usr/bin/b3sum", {"-c"}, {{}}, true},
    {"xxh128", "/usr/bin/xxhsum", {"-c"}, {{"-H2"}, {"-H2", "--tag"}}, false},
};

class OtherTools : public ::testing::Test {
 protected:
  void SetUp() override {
    temp_.write("tree/plain.txt", "a");
    temp_.write("tree/with blank.txt", "b");
    temp_.write("tree/sub dir/\xC3\xBCml\xC3\xA4ut.bin", std::string(300000, 'c'));
  }
  std::string tree() const { return temp_.path() + "tree"; }
  std::vector<std::string> names(bool escapes) const {
    std::vector<std::string> all{"plain.txt", "with blank.txt", "sub dir/\xC3\xBCml\xC3\xA4ut.bin"};
    if (escapes) all.push_back("back\\slash.txt");
    return all;
  }
  TempFolder temp_;
};

TEST_F(OtherTools, CheckWhatWeWriteAndWeCheckWhatTheyWrite) {
  for (const OwnTool& tool : kTools) {
    SCOPED_TRACE(tool.algorithm);
    if (::access(tool.program, X_OK) != 0) GTEST_SKIP() << tool.program << " is not installed (scripts/install-deps.sh)";
    if (tool.escapes) temp_.write("tree/back\\slash.txt", "d");
    const std::string list = std::string("tree.") + tool.algorithm;
    const auto created = runTool({"create", "-r", "--force", "--algorithm", tool.algorithm, tree()});
    ASSERT_EQ(created.status, 0) << created.err;
    std::vector<std::string> check = tool.check;
    check.push_back(list);
    const auto checked = runTool(check, tree(), tool.program);
    EXPECT_EQ(checked.status, 0) << checked.out << checked.err;
    EXPECT_EQ(checked.err, "");

    for (const auto& form : tool.writes) {
      std::vector<std::string> arguments = form;
      for (const std::string& name : names(tool.escapes)) arguments.push_back(name);
      const std::string theirs = temp_.write("theirs.list", "");
      ASSERT_EQ(runTool(arguments, tree(), tool.program, theirs).status, 0);
      const auto verified = runTool({"verify", "--quiet", "--list", "-"}, tree(), zelk::testing::toolPath(), {}, theirs);
      EXPECT_EQ(verified.status, 0) << ::testing::PrintToString(form) << verified.out << verified.err;
    }
    temp_.write("tree/plain.txt", "changed");
    const auto modified = runTool({"verify", "--quiet", "--list", tree() + "/" + list});
    EXPECT_EQ(modified.status, 1) << modified.out;
    EXPECT_NE(modified.out.find("FILE: plain.txt CRC ERROR."), std::string::npos) << modified.out;
    temp_.write("tree/plain.txt", "a");
    ::unlink((tree() + "/back\\slash.txt").c_str());
  }
}

}  // namespace
