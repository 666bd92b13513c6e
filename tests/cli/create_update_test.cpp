// Runs the built zelk-sfv create --update on folders with lists, and
// create --json.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <nlohmann/json.hpp>

#include <sstream>
#include <string>
#include <vector>

#include "tests/cli/tool_runner.h"
#include "tests/support/temp_folder.h"

namespace {

using nlohmann::json;
using zelk::testing::runTool;
using zelk::testing::TempFolder;
using zelk::testing::ToolResult;

// The lists of a tree as other tools and we write them; "new.txt" ("abc")
// comes after they were made.
class CreateUpdate : public ::testing::Test {
 protected:
  void SetUp() override {
    temp_.write("Music/b.txt", "123456789");
    temp_.write("Music/sub/c.txt", "The quick brown fox jumps over the lazy dog");
  }
  std::string music() const { return temp_.path() + "Music"; }
  ToolResult create(std::vector<std::string> options) const {
    options.insert(options.begin(), "create");
    options.push_back(music());
    return runTool(options);
  }

  TempFolder temp_;
};

TEST_F(CreateUpdate, KeepsEveryByteAndAddsTheNewFileInTheListsOwnForm) {
  const struct {
    const char* list;
    std::vector<std::string> options;
    std::string old;    // by cksfv, md5sum and sha256sum
    std::string added;  // new.txt's line
  } cases[] = {
      {"Music.sfv", {}, "; cksfv\nb.txt CBF43926\nsub/c.txt 414FA339\n", "new.txt 352441C2\n"},
      {"Music.md5", {"--md5"}, "25f9e794323b453885f5181f1b624d0b *b.txt\r\n", "900150983cd24fb0d6963f7d28e17f72 *new.txt\r\n"},
      {"SHA256SUMS", {"--algorithm", "sha256"},
       "15e2b0d3c33891ebb0f1ef609ec419420c20e320ce94c65fbc8c3312448eb225  b.txt",
       "\nba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad  new.txt\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.list);
    const std::string list = std::string("Music/") + c.list;
    temp_.write(list, c.old);
    temp_.write("Music/new.txt", "abc");
    std::vector<std::string> options = c.options;
    options.push_back("--update");
    const ToolResult result = create(options);
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(temp_.read(list), c.old + c.added);
    EXPECT_EQ(result.out.substr(0, 8), "new.txt ") << result.out;
    ::unlink((temp_.path() + list).c_str());
    ::unlink((temp_.path() + "Music/new.txt").c_str());
  }
}

TEST_F(CreateUpdate, GoneEntriesAreNamedAndKeptUnlessPruned) {
  const std::string old = "gone.txt 00000000\r\nb.txt cbf43926\r\n";
  const struct {
    std::vector<std::string> options;
    std::string list;
    std::string err;
  } cases[] = {
      {{"--update"}, old + "sub\\c.txt 414fa339\r\n", "zelk-sfv create: gone.txt - no longer exists, entry kept\n"},
      {{"--update", "--prune"}, "b.txt cbf43926\r\nsub\\c.txt 414fa339\r\n",
       "zelk-sfv create: gone.txt - no longer exists, entry removed\n"},
  };
  for (const auto& c : cases) {
    temp_.write("Music/Music.sfv", old);
    std::vector<std::string> options = c.options;
    options.push_back("-r");
    const ToolResult result = create(options);
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(temp_.read("Music/Music.sfv"), c.list);
    EXPECT_EQ(result.err, c.err);
  }
}

TEST_F(CreateUpdate, WithoutAListWritesANewOne) {
  const ToolResult result = create({"--update", "--algorithm", "xxh128"});
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(temp_.read("Music/Music.xxh128"), "33119477ede5dcd5e9716427681d5860  b.txt\n");  // xxhsum -H2
}

TEST_F(CreateUpdate, OptionsThatDoNotCombineAreRefused) {
  const struct {
    std::vector<std::string> options;
    const char* message;
  } cases[] = {
      {{"--prune"}, "--prune only goes with --update"},
      {{"--update", "--output", "x.sfv"}, "--output cannot be given"},
      {{"--update", "--comment", "new"}, "--creator and --comment cannot be given"},
      {{"--json", "--output", "-"}, "--json and --output - both want standard output"},
  };
  for (const auto& c : cases) {
    const ToolResult result = create(c.options);
    EXPECT_EQ(result.status, 2) << ::testing::PrintToString(c.options);
    EXPECT_NE(result.err.find(c.message), std::string::npos) << result.err;
  }
  EXPECT_EQ(temp_.read("Music/Music.sfv"), "");
}

TEST_F(CreateUpdate, JsonLinesOfFilesListedLeftOutAndGone) {
  temp_.write("Music/Music.md5", "d41d8cd98f00b204e9800998ecf8427e gone\xE9\r\n");
  ASSERT_EQ(::mkfifo((music() + "/pipe").c_str(), 0600), 0);
  const ToolResult result = create({"--update", "--json"});
  EXPECT_EQ(result.status, 1) << result.err;
  std::vector<json> lines;
  std::istringstream text(result.out);
  for (std::string line; std::getline(text, line);) lines.push_back(json::parse(line));
  EXPECT_EQ(lines, (std::vector<json>{
                       json::parse(R"({"type":"gone","name":"gone\uFFFD","name_base64":"Z29uZek=","status":"kept"})"),
                       json::parse(R"({"type":"file","name":"b.txt","algorithm":"md5",
                                       "checksum":"25f9e794323b453885f5181f1b624d0b","status":"listed","reason":null})"),
                       json::parse(R"({"type":"file","name":"pipe","algorithm":"md5","checksum":null,
                                       "status":"left_out","reason":"not a regular file, not listed"})"),
                       json::parse(R"({"type":"total","status":"written","algorithm":"md5","listed":1,"left_out":1,
                                       "gone":1})"),
                   }))
      << result.out;
}

}  // namespace
