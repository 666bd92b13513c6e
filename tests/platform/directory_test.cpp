#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "platform/directory.h"
#include "tests/support/temp_folder.h"

namespace zelk::platform {
namespace {

using zelk::testing::TempFolder;

std::string realPath(const std::string& path) {
  char* resolved = ::realpath(path.c_str(), nullptr);
  std::string result = resolved != nullptr ? resolved : "";
  std::free(resolved);
  return result;
}

TEST(ListDirectory, SortedByteForByteWithKindsAndLinks) {
  TempFolder temp;
  temp.write("b.txt", "b");
  temp.write("B.txt", "B");
  temp.write("a.txt", "a");
  temp.write(".hidden", "h");
  temp.makeFolder("sub");
  ASSERT_EQ(::symlink("a.txt", (temp.path() + "link-file").c_str()), 0);
  ASSERT_EQ(::symlink("sub", (temp.path() + "link-sub").c_str()), 0);

  // With and without the trailing '/'.
  for (const std::string& folder : {temp.path(), temp.path().substr(0, temp.path().size() - 1)}) {
    const DirectoryListing listing = listDirectory(folder);
    ASSERT_TRUE(listing.opened);
    const struct {
      const char* name;
      FileKind kind;
      bool isSymlink;
    } expected[] = {
        {".hidden", FileKind::Regular, false},  {"B.txt", FileKind::Regular, false},
        {"a.txt", FileKind::Regular, false},    {"b.txt", FileKind::Regular, false},
        {"link-file", FileKind::Regular, true}, {"link-sub", FileKind::Directory, true},
        {"sub", FileKind::Directory, false},
    };
    ASSERT_EQ(listing.entries.size(), std::size(expected)) << folder;
    for (std::size_t i = 0; i < std::size(expected); ++i) {
      EXPECT_EQ(listing.entries[i].name, expected[i].name);
      EXPECT_EQ(listing.entries[i].kind, expected[i].kind) << expected[i].name;
      EXPECT_EQ(listing.entries[i].isSymlink, expected[i].isSymlink) << expected[i].name;
    }
  }
}

TEST(ListDirectory, MissingOrEmptyFolder) {
  TempFolder temp;
  const DirectoryListing missing = listDirectory(temp.path() + "missing");
  EXPECT_FALSE(missing.opened);
  EXPECT_TRUE(missing.entries.empty());

  const DirectoryListing empty = listDirectory(temp.makeFolder("empty"));
  EXPECT_TRUE(empty.opened);
  EXPECT_TRUE(empty.entries.empty());
}

TEST(CurrentDirectory, SetReadAndListedByEmptyName) {
  TempFolder temp;
  temp.write("only.txt", "x");
  const std::string saved = currentDirectory();
  ASSERT_FALSE(saved.empty());
  ASSERT_TRUE(setCurrentDirectory(temp.path()));
  const std::string now = currentDirectory();
  const DirectoryListing listing = listDirectory("");
  EXPECT_FALSE(setCurrentDirectory(temp.path() + "missing"));
  EXPECT_FALSE(setCurrentDirectory(""));
  const std::string afterFailures = currentDirectory();
  ASSERT_TRUE(setCurrentDirectory(saved));

  const std::string expected = realPath(temp.path());
  EXPECT_EQ(now, expected);
  EXPECT_EQ(afterFailures, expected);
  ASSERT_EQ(listing.entries.size(), 1u);
  EXPECT_EQ(listing.entries[0].name, "only.txt");
  EXPECT_EQ(listing.entries[0].kind, FileKind::Regular);
}

TEST(WithTrailingSlash, AppendsOnlyWhereMissing) {
  const struct {
    const char* in;
    const char* out;
  } cases[] = {{"", ""}, {"/", "/"}, {"a", "a/"}, {"a/", "a/"}, {"/x/y", "/x/y/"}, {"C:\\dir\\", "C:\\dir\\/"}};
  for (const auto& c : cases) EXPECT_EQ(withTrailingSlash(c.in), c.out) << c.in;
}

TEST(ProgramFolder, IsTheFolderOfThisTestProgram) {
  const std::string folder = programFolder();
  ASSERT_FALSE(folder.empty());
  EXPECT_EQ(folder.back(), '/');
  EXPECT_EQ(folder.front(), '/');
  EXPECT_EQ(fileKind(folder + "test_platform"), FileKind::Regular);
}

TEST(IsHiddenName, LeadingDotOnly) {
  EXPECT_TRUE(isHiddenName(".git"));
  EXPECT_TRUE(isHiddenName("."));
  EXPECT_FALSE(isHiddenName("a.b"));
  EXPECT_FALSE(isHiddenName(""));
}

}  // namespace
}  // namespace zelk::platform
