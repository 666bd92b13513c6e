#include "passes/collect_files.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "tests/support/failing_calls.h"
#include "tests/support/temp_folder.h"

namespace zelk::passes {
namespace {

using engines::ChecksumKind;
using testing::OpensFail;
using testing::TempFolder;

// A tree with everything the walk must tell apart.
void makeTree(const TempFolder& temp) {
  temp.write("b.txt", "b");
  temp.write("a.txt", "a");
  temp.write(".hidden", "h");
  temp.write("sub2/z.txt", "z");
  temp.write("sub1/y.txt", "y");
  temp.write("sub1/inner/x.txt", "x");
  temp.write(".git/config", "not walked");
  ASSERT_EQ(::symlink("..", (temp.path() + "sub1/loop").c_str()), 0);
  ASSERT_EQ(::symlink("a.txt", (temp.path() + "link.txt").c_str()), 0);
  ASSERT_EQ(::mkfifo((temp.path() + "pipe").c_str(), 0600), 0);
}

TEST(CollectFiles, EachFolderFilesFirstThenSubfoldersInNameOrder) {
  TempFolder temp;
  makeTree(temp);
  std::vector<std::string> list;
  CollectFiles(temp.path(), list, true);
  const std::string& p = temp.path();
  // Hidden file listed, hidden folder and FIFO not, link to a file listed,
  // link to a folder not followed (it would loop forever).
  const std::vector<std::string> expected{p + ".hidden",  p + "a.txt",           p + "b.txt",
                                          p + "link.txt", p + "sub1/y.txt",      p + "sub1/inner/x.txt",
                                          p + "sub2/z.txt"};
  EXPECT_EQ(list, expected);
}

TEST(CollectFiles, WithoutRecurseOnlyTheFolderItself) {
  TempFolder temp;
  makeTree(temp);
  std::vector<std::string> list{"kept"};
  CollectFiles(temp.path() + "sub1", list, false);
  EXPECT_EQ(list, (std::vector<std::string>{"kept", temp.path() + "sub1/y.txt"}));
}

TEST(CollectFiles, FolderThatCannotBeOpenedIsSkipped) {
  TempFolder temp;
  temp.write("a/secret.txt", "s");
  temp.write("b/open.txt", "o");
  std::vector<std::string> list;
  {
    const OpensFail unopenable("/a");
    CollectFiles(temp.path(), list, true);
  }
  EXPECT_EQ(list, (std::vector<std::string>{temp.path() + "b/open.txt"}));
}

TEST(ListBaseName, LastComponentBeforeTheFinalSeparator) {
  const struct {
    const char* folder;
    const char* base;
  } cases[] = {
      {"/music/live/", "live"}, {"/", ""},          {"", ""},
      {"D:\\", "D:"},           {"C:\\Music\\Live\\", "Live"}, {"\\\\server\\share\\", "share"},
      {"relative/", "relative"}, {"a/b\\c/", "c"},
  };
  for (const auto& c : cases) EXPECT_EQ(ListBaseName(c.folder), c.base) << c.folder;
}

TEST(ListFileName, FolderNameOrFixedNameAtRoots) {
  const struct {
    const char* folder;
    ChecksumKind kind;
    const char* name;
  } cases[] = {
      {"/music/live/", ChecksumKind::Crc32, "live.sfv"},
      {"/music/live/", ChecksumKind::Md5, "live.md5"},
      {"/", ChecksumKind::Crc32, "WinCRC32.sfv"},
      {"/", ChecksumKind::Md5, "WinMD5.md5"},
      {"", ChecksumKind::Crc32, "WinCRC32.sfv"},
      {"D:\\", ChecksumKind::Md5, "WinMD5.md5"},
      {"/data/a:b/", ChecksumKind::Crc32, "WinCRC32.sfv"},  // second character ':' reads as a drive
      {"/data/ab:/", ChecksumKind::Crc32, "ab:.sfv"},
  };
  for (const auto& c : cases) EXPECT_EQ(ListFileName(c.folder, c.kind), c.name) << c.folder;
}

}  // namespace
}  // namespace zelk::passes
