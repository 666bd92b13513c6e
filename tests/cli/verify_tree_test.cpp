// Runs the built zelk-sfv verify -r on a tree of SFV, MD5 and SHA-256 lists,
// and verify --json, whose lines a JSON parser reads.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <nlohmann/json.hpp>

#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "cli/json_lines.h"
#include "tests/cli/tool_runner.h"
#include "tests/support/ordinary_user.h"
#include "tests/support/temp_folder.h"

namespace {

using nlohmann::json;
using zelk::testing::runTool;
using zelk::testing::toolPath;
using zelk::testing::TempFolder;
using zelk::testing::ToolResult;

// Digests of "abc" and "123456789" by cksfv, md5sum and sha256sum.
constexpr char kAbcCrc[] = "352441c2";
constexpr char kDigitsMd5[] = "25f9e794323b453885f5181f1b624d0b";
constexpr char kAbcSha256[] = "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad";
constexpr char kDigitsSha256[] = "15e2b0d3c33891ebb0f1ef609ec419420c20e320ce94c65fbc8c3312448eb225";

std::vector<json> jsonLines(const std::string& text) {
  std::vector<json> objects;
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);) objects.push_back(json::parse(line));
  return objects;
}

// tree.sfv at the top, music/music.md5, and docs/ with an SFV and a SHA-256
// list of the same files; a list in a hidden folder is never found.
class VerifyTree : public ::testing::Test {
 protected:
  void SetUp() override {
    temp_.write("tree/top.txt", "abc");
    temp_.write("tree/tree.sfv", std::string("top.txt ") + kAbcCrc + "\r\n");
    temp_.write("tree/music/a.mp3", "123456789");
    temp_.write("tree/music/music.md5", std::string(kDigitsMd5) + " a.mp3\r\n");
    temp_.write("tree/docs/d.txt", "abc");
    temp_.write("tree/docs/e.txt", "123456789");
    temp_.write("tree/docs/docs.sfv", "d.txt 352441C2\r\ne.txt cbf43926\r\n");
    temp_.write("tree/docs/docs.sha256",
                std::string(kAbcSha256) + "  d.txt\n" + kDigitsSha256 + "  e.txt\n");
    temp_.write("tree/.hidden/old.sfv", "gone.txt 00000000\r\n");
  }
  std::string tree() const { return temp_.path() + "tree"; }
  ToolResult verify(std::vector<std::string> options, const std::string& program = toolPath()) const {
    options.insert(options.begin(), "verify");
    options.push_back(tree());
    return runTool(options, "/", program);
  }

  TempFolder temp_;
};

TEST_F(VerifyTree, EveryListUnderItsNameThenTheTotal) {
  const ToolResult result = verify({"-r"});
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.err, "");
  const std::string counts2 = " \nFiles checked: 2\nFiles modified: 0  --> File's delete:0\nFiles CRC OK: 2\n";
  const std::string counts1 = " \nFiles checked: 1\nFiles modified: 0  --> File's delete:0\nFiles CRC OK: 1\n";
  EXPECT_EQ(result.out, "LIST: tree.sfv\nFILE: top.txt CRC OK.\n" + counts1 +
                            "\nLIST: docs/docs.sfv\nFILE: d.txt CRC OK.\nFILE: e.txt CRC OK.\n" + counts2 +
                            "\nLIST: docs/docs.sha256\nFILE: d.txt CRC OK.\nFILE: e.txt CRC OK.\n" + counts2 +
                            "\nLIST: music/music.md5\nFILE: a.mp3 CRC OK.\n" + counts1 +
                            "\nTOTAL: 4 lists found, 4 checked, 0 could not be read; 6 files checked: 6 intact, "
                            "0 modified, 0 missing, 0 unreadable\n");
}

TEST_F(VerifyTree, AModifiedAndAMissingFileExitWithOne) {
  temp_.write("tree/music/a.mp3", "changed");
  ASSERT_EQ(::unlink((tree() + "/docs/d.txt").c_str()), 0);
  const ToolResult result = verify({"--recursive", "--quiet", "--jobs", "2"});
  EXPECT_EQ(result.status, 1) << result.err;
  const std::string gone = "FILE: d.txt CRC ERROR. File was modified, check it.  ---> File was delete\n";
  const std::string counts = " \nFiles checked: 2\nFiles modified: 1  --> File's delete:1\nFiles CRC OK: 1\n";
  EXPECT_EQ(result.out, "LIST: tree.sfv\n \nFiles checked: 1\nFiles modified: 0  --> File's delete:0\nFiles CRC OK: 1\n"
                        "\nLIST: docs/docs.sfv\n" + gone + counts + "\nLIST: docs/docs.sha256\n" + gone + counts +
                        "\nLIST: music/music.md5\nFILE: a.mp3 CRC ERROR. File was modified, check it.  \n"
                        " \nFiles checked: 1\nFiles modified: 1  --> File's delete:0\nFiles CRC OK: 0\n"
                        "\nTOTAL: 4 lists found, 4 checked, 0 could not be read; 6 files checked: 3 intact, "
                        "1 modified, 2 missing, 0 unreadable\n");
  EXPECT_EQ(verify({"-r", "--status"}).out, "");
}

TEST_F(VerifyTree, ListsOrFoldersThatCannotBeReadOrNoListExitWithTwo) {
  // procfs gives an I/O error where a list would have lines.
  ASSERT_EQ(::symlink("/proc/self/pagemap", (tree() + "/music/broken.md5").c_str()), 0);
  const ToolResult unreadable = verify({"-r"});
  EXPECT_EQ(unreadable.status, 2);
  EXPECT_NE(unreadable.err.find("The list \"music/broken.md5\" cannot be read"), std::string::npos) << unreadable.err;
  EXPECT_NE(unreadable.out.find("TOTAL: 5 lists found, 4 checked, 1 could not be read;"), std::string::npos)
      << unreadable.out;

  temp_.makeFolder("empty/sub");
  const ToolResult none = runTool({"verify", "-r", temp_.path() + "empty"});
  EXPECT_EQ(none.status, 2);
  EXPECT_NE(none.err.find("no checksum list (.sfv, .md5, "), std::string::npos) << none.err;

  ::unlink((tree() + "/music/broken.md5").c_str());
  ASSERT_EQ(::chmod(temp_.path().c_str(), 0755), 0);
  ASSERT_EQ(::chmod(tree().c_str(), 0755), 0);
  const zelk::testing::ReachableProgram tool(toolPath());
  if (!tool.problem().empty()) GTEST_SKIP() << "no run as the ordinary user: " << tool.problem();
  ASSERT_EQ(::chmod((tree() + "/music").c_str(), 0), 0);
  EXPECT_TRUE(zelk::testing::asOrdinaryUser([&] {
    const ToolResult locked = verify({"-r"}, tool.path());
    const bool refused = locked.status == 2 && locked.err.find("music: the folder cannot be opened") != std::string::npos;
    // What the ordinary user saw, since a child's failure tells nothing more.
    if (!refused) std::cerr << "status " << locked.status << ", standard error: " << locked.err << '\n';
    return refused;
  }));
  ::chmod((tree() + "/music").c_str(), 0755);
}

TEST_F(VerifyTree, OptionsThatMakeNoSenseWithItAreRefused) {
  const struct {
    std::vector<std::string> options;
    const char* message;
  } cases[] = {
      {{"-r", "--list", "x.sfv"}, "-r finds the lists itself"},
      {{"-r", "--unlisted"}, "--unlisted cannot be given with -r"},
      {{"-r", "--save"}, "--save cannot be given with -r"},
      {{"-r", "--mode", "md5"}, "--mode can only be auto"},
      {{"--json", "--status"}, "--json and --status exclude each other"},
      {{"--json", "--save"}, "--save writes the report that --json replaces"},
  };
  for (const auto& c : cases) {
    const ToolResult result = verify(c.options);
    EXPECT_EQ(result.status, 2) << ::testing::PrintToString(c.options);
    EXPECT_EQ(result.out, "");
    EXPECT_NE(result.err.find(c.message), std::string::npos) << result.err;
  }
  EXPECT_EQ(verify({"-r", "--mode", "auto"}).status, 0);
}

TEST_F(VerifyTree, JsonLinesOfEveryEntryListAndTheTotal) {
  ASSERT_EQ(::unlink((tree() + "/top.txt").c_str()), 0);
  const ToolResult result = verify({"-r", "--json"});
  EXPECT_EQ(result.status, 1) << result.err;
  const std::vector<json> lines = jsonLines(result.out);
  ASSERT_EQ(lines.size(), 11u) << result.out;
  EXPECT_EQ(lines[0], json::parse(R"({"type":"entry","list":"tree.sfv","name":"top.txt","algorithm":"crc32",
                                      "expected":"352441c2","actual":null,"status":"missing"})"));
  EXPECT_EQ(lines[1], json::parse(R"({"type":"list","list":"tree.sfv","status":"checked","checked":1,"intact":0,
                                      "modified":0,"missing":1,"unreadable":0})"));
  EXPECT_EQ(lines[5], json::parse(std::string(R"({"type":"entry","list":"docs/docs.sha256","name":"d.txt",
                                      "algorithm":"sha256","expected":")") + kAbcSha256 + R"(","actual":")" +
                                  kAbcSha256 + R"(","status":"intact"})"));
  EXPECT_EQ(lines[10], json::parse(R"({"type":"total","status":"checked","lists":4,"lists_checked":4,
                                       "lists_unreadable":0,"folders_unreadable":0,"checked":6,"intact":5,
                                       "modified":0,"missing":1,"unreadable":0})"));
  // --quiet leaves out the intact entries only.
  const std::vector<json> quiet = jsonLines(verify({"-r", "--json", "--quiet"}).out);
  ASSERT_EQ(quiet.size(), 6u);
  EXPECT_EQ(quiet[0]["status"], "missing");
  EXPECT_EQ(quiet[1]["type"], "list");
}

// A name that is not UTF-8 keeps every byte: U+FFFD in "name", the bytes in
// "name_base64" (the value by Python's base64.b64encode).
TEST(VerifyJson, NamesThatAreNotUtf8RoundTrip) {
  TempFolder folder;
  folder.write("caf\xE9.txt", "abc");
  folder.write("ok\xC3\xA9.txt", "abc");
  folder.write("new\xFF.txt", "abc");
  folder.write("a.sfv", std::string("caf\xE9.txt ") + kAbcCrc + "\r\nok\xC3\xA9.txt " + kAbcCrc + "\r\n");
  const ToolResult result = runTool({"verify", "--json", "--unlisted", folder.path()});
  EXPECT_EQ(result.status, 0) << result.err;
  const std::vector<json> lines = jsonLines(result.out);
  ASSERT_EQ(lines.size(), 5u) << result.out;
  EXPECT_EQ(lines[0]["name"], "caf\xEF\xBF\xBD.txt");
  EXPECT_EQ(lines[0]["name_base64"], "Y2Fm6S50eHQ=");
  EXPECT_EQ(lines[1]["name"], "ok\xC3\xA9.txt");
  EXPECT_FALSE(lines[1].contains("name_base64"));
  EXPECT_EQ(lines[2], json::parse(R"({"type":"unlisted","list":"a.sfv","name":"new\uFFFD.txt",
                                      "name_base64":"bmV3/y50eHQ="})"));
}

TEST(JsonText, InvalidBytesBecomeReplacementsAndTheBytesBase64) {
  const struct {
    std::string bytes;
    std::string text;
    const char* base64;  // by Python's base64.b64encode; null: the text is UTF-8 as it is
  } cases[] = {
      {"plain", "plain", nullptr},
      {"\xE2\x82\xAC \xF0\x9F\x98\x80", "\xE2\x82\xAC \xF0\x9F\x98\x80", nullptr},
      {std::string("nul\0byte", 8), std::string("nul\0byte", 8), nullptr},
      {"\xE9t\xE9", "\xEF\xBF\xBDt\xEF\xBF\xBD", "6XTp"},
      {"\xC0\xAF", "\xEF\xBF\xBD\xEF\xBF\xBD", "wK8="},        // overlong '/'
      {"\xED\xA0\x80", "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD", "7aCA"},  // a surrogate
      {"\xE2\x82", "\xEF\xBF\xBD\xEF\xBF\xBD", "4oI="},        // cut short
  };
  for (const auto& c : cases) {
    nlohmann::ordered_json object;
    zelk::cli::putText(object, "name", c.bytes);
    EXPECT_EQ(object["name"], c.text) << ::testing::PrintToString(c.bytes);
    EXPECT_EQ(object.contains("name_base64"), c.base64 != nullptr);
    if (c.base64 != nullptr) {
      EXPECT_EQ(object["name_base64"], c.base64);
    }
    // What is printed parses back to the same object.
    EXPECT_EQ(nlohmann::ordered_json::parse(object.dump()), object);
  }
}

}  // namespace
