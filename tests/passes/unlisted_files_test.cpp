#include "passes/unlisted_files.h"

#include <gtest/gtest.h>

#include <stop_token>
#include <string>
#include <vector>

#include "tests/passes/recording_verify_observer.h"
#include "tests/support/temp_folder.h"

namespace zelk::passes {
namespace {

using zelk::testing::TempFolder;
using Names = std::vector<std::string>;

// A tree with a file in the top folder, one in a subfolder, one in a hidden
// folder, and the files that belong to checking rather than to the tree.
void writeTree(const TempFolder& folder) {
  for (const char* name : {"a.txt", "new.txt", "sub/b.txt", "sub/extra.txt", ".hidden/c.txt", "old.SFV", "x.md5",
                           "Result.rtf", "sub/result.rtf", ".zelk-sfv-Ab12Cd.partial"}) {
    folder.write(name, "x");
  }
}

TEST(UnlistedFiles, NamesTheFilesNoEntryLeadsTo) {
  const struct {
    const char* label;
    std::string list;
    Names expected;
  } cases[] = {
      {"flat list: the top folder only", "a.txt 00000000\r\n", {"new.txt"}},
      {"subfolder entries: subfolders too", "a.txt 00000000\r\nsub\\b.txt 00000000\r\n", {"new.txt", "sub\\extra.txt"}},
      {"slash entries are answered in kind", "sub/b.txt 00000000\r\n", {"a.txt", "new.txt", "sub/extra.txt"}},
      {"names resolve as the pass opens them", "./a.txt 00000000\r\n/new.txt 00000000\r\nsub\\..\\sub\\b.txt 00000000\r\n",
       {"sub\\extra.txt"}},
      {"a name out of the folder names nothing in it", "../a.txt 00000000\r\nsub\\b.txt 00000000\r\n",
       {"a.txt", "new.txt", "sub\\extra.txt"}},
      {"letter case counts", "A.TXT 00000000\r\n", {"a.txt", "new.txt"}},
      {"md5 entries", "0cc175b9c0f1b6a831c399e269772661  sub/b.txt\n", {"a.txt", "new.txt", "sub/extra.txt"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    TempFolder folder;
    writeTree(folder);
    folder.write("tree.lst", c.list);
    EXPECT_EQ(findUnlistedFiles(folder.path(), "tree.lst", c.list, ChecksumMode::Automatic), c.expected);
    EXPECT_EQ(findUnlistedFilesOfList(folder.path(), "tree.lst", ChecksumMode::Automatic), c.expected);
  }
}

TEST(UnlistedFiles, ListThatCannotBeReadNamesNothing) {
  TempFolder folder;
  writeTree(folder);
  EXPECT_EQ(findUnlistedFilesOfList(folder.path(), "none.sfv", ChecksumMode::Automatic), Names{});
}

TEST(UnlistedFiles, StoppedSearchEndsBeforeTheSubfolders) {
  TempFolder folder;
  writeTree(folder);
  std::stop_source stop;
  stop.request_stop();
  const std::string list = "a.txt 00000000\r\nsub\\b.txt 00000000\r\n";
  EXPECT_EQ(findUnlistedFiles(folder.path(), "tree.lst", list, ChecksumMode::Automatic, stop.get_token()),
            Names{"new.txt"});
}

TEST(UnlistedFiles, SectionFollowsInTheDefaultColour) {
  const struct {
    Names names;
    std::vector<Line> expected;
  } cases[] = {
      {{}, {}},
      {{"new.txt", "sub\\extra.txt"},
       {{" ", ReportColour::Default},
        {"Files not in the list: 2", ReportColour::Default},
        {"new.txt", ReportColour::Default},
        {"sub\\extra.txt", ReportColour::Default}}},
  };
  for (const auto& c : cases) {
    RecordingObserver observer;
    reportUnlistedFiles(c.names, observer);
    EXPECT_EQ(observer.lines, c.expected);
  }
}

}  // namespace
}  // namespace zelk::passes
