#include "listfile/list_naming.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "listfile/list_dialect.h"
#include "tests/support/temp_folder.h"

namespace zelk::listfile {
namespace {

using testing::TempFolder;

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

TEST(FindList, PrefersSfvThenTakesTheLastByName) {
  const struct {
    const char* label;
    std::vector<std::string> files;
    std::vector<std::string> folders;
    std::string expected;
  } cases[] = {
      {"sfv beats md5", {"z.md5", "a.sfv"}, {}, "a.sfv"},
      {"last of several", {"a.sfv", "c.sfv", "b.sfv"}, {}, "c.sfv"},
      {"any letter case", {"A.SFV", "B.Sfv", "x.md5"}, {}, "B.Sfv"},
      {"md5 when no sfv", {"a.md5", "b.MD5", "notes.txt"}, {}, "b.MD5"},
      {"folder named like a list", {"a.sfv"}, {"z.sfv"}, "a.sfv"},
      {"only folders", {"notes.txt"}, {"x.sfv", "y.md5"}, ""},
      {"extension only in the middle", {"a.sfv.txt", "b.md5~"}, {}, ""},
      {"nothing", {}, {}, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    TempFolder folder;
    for (const auto& name : c.files) folder.write(name, "x");
    for (const auto& name : c.folders) folder.makeFolder(name);
    EXPECT_EQ(findList(folder.path()), c.expected);
  }
}

// The list verify would pick were the folder's lists all of the one kind.
TEST(FindListOfKind, PicksAsFindListAmongListsOfTheKind) {
  const struct {
    std::vector<std::string> files;
    ChecksumKind kind;
    std::string expected;
  } cases[] = {
      {{"a.sfv", "z.md5"}, ChecksumKind::Md5, "z.md5"},
      {{"a.sfv", "z.md5"}, ChecksumKind::Crc32, "a.sfv"},
      {{"z.md5sum", "a.md5", "MD5SUMS"}, ChecksumKind::Md5, "a.md5"},  // "*.md5" first, as findList
      {{"z.md5sum", "MD5SUMS"}, ChecksumKind::Md5, "z.md5sum"},
      {{"a.sha256", "b.sha256sum", "c.sfv"}, ChecksumKind::Sha256, "b.sha256sum"},  // last by name, as findList
      {{"a.sha256", "c.sfv"}, ChecksumKind::Sha1, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.files));
    TempFolder folder;
    for (const auto& name : c.files) folder.write(name, "x");
    EXPECT_EQ(findListOfKind(folder.path(), c.kind), c.expected);
    // Alone in the folder, the same list is the one findList picks.
    TempFolder alone;
    for (const auto& name : c.files) {
      if (DialectOfListName(name)->kind == c.kind) alone.write(name, "x");
    }
    EXPECT_EQ(findList(alone.path()), c.expected);
  }
}

TEST(FindList, FollowsLinksToFilesOnly) {
  TempFolder folder;
  const std::string target = folder.write("list.txt", "fox.txt 414fa339\n");
  ASSERT_EQ(::symlink(target.c_str(), (folder.path() + "a.sfv").c_str()), 0);
  ASSERT_EQ(::symlink((folder.path() + "nowhere").c_str(), (folder.path() + "b.sfv").c_str()), 0);
  EXPECT_EQ(findList(folder.path()), "a.sfv");
}

TEST(DialectOfListName, ByExtensionInAnyLetterCase) {
  const struct {
    const char* name;
    const ListDialect* dialect;
  } cases[] = {
      {"a.sfv", &DialectOf(ChecksumKind::Crc32)}, {"A.SFV", &DialectOf(ChecksumKind::Crc32)},
      {"b.Md5", &DialectOf(ChecksumKind::Md5)},   {"notes.txt", nullptr},
      {"sfv", nullptr},                           {"", nullptr},
  };
  for (const auto& c : cases) EXPECT_EQ(DialectOfListName(c.name), c.dialect) << c.name;
}

TEST(ListNaming, FilesNeverListedAndNeverReported) {
  const struct {
    const char* name;
    bool inSfvList;
    bool inSha256List;
    bool reported;
  } cases[] = {
      {"photo.jpg", true, true, true},           {"x.SFV", false, false, false},
      {"list.md5", true, false, false},          {"RESULT.rtf", true, false, false},
      {"SHA256SUMS", true, false, false},        {"old.b3", true, false, false},
      {".zelk-sfv-Ab3xZ9.partial", false, false, false}, {"a.sfv.bak", true, true, true},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(!isNeverListed(ChecksumKind::Crc32, c.name), c.inSfvList) << c.name;
    EXPECT_EQ(!isNeverListed(ChecksumKind::Sha256, c.name), c.inSha256List) << c.name;
    EXPECT_EQ(!isNeverReported(c.name), c.reported) << c.name;
  }
}

}  // namespace
}  // namespace zelk::listfile
