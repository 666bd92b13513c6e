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
  ASSERT_EQ(::symlink("nowhere", (temp.path() + "dangling").c_str()), 0);
}

// What the walk of `start` found, each as "kind path-below-`folder`"; an
// empty list when `start` could not be opened. `stopAtFirst` asks the walk
// to stop as soon as anything is found.
struct Walk {
  bool opened = false;
  std::vector<std::string> found;
};

Walk walk(const std::string& start, bool recurse, const std::string& folder, bool stopAtFirst = false) {
  static const char* const kinds[] = {"file", "not-a-file", "missing", "folder-link", "unreadable", "too-long"};
  Walk result;
  std::stop_source stop;
  result.opened = CollectFiles(start, recurse, [&](FoundPath item) {
    result.found.push_back(std::string(kinds[static_cast<int>(item.kind)]) + " " + item.path.substr(folder.size()));
    if (stopAtFirst) stop.request_stop();
  }, stop.get_token());
  return result;
}

TEST(CollectFiles, EachFolderFilesFirstThenSubfoldersInNameOrder) {
  TempFolder temp;
  makeTree(temp);
  const Walk tree = walk(temp.path(), true, temp.path());
  ASSERT_TRUE(tree.opened);
  // Hidden file listed, hidden folder not walked, link to a file listed, link
  // to a folder not followed (it would loop forever) but named, like the FIFO.
  EXPECT_EQ(tree.found,
            (std::vector<std::string>{"file .hidden", "file a.txt", "file b.txt", "missing dangling", "file link.txt",
                                      "not-a-file pipe", "file sub1/y.txt", "file sub1/inner/x.txt",
                                      "folder-link sub1/loop", "file sub2/z.txt"}));
}

TEST(CollectFiles, WithoutRecurseOrAfterAStopOnlyTheFolderItself) {
  TempFolder temp;
  makeTree(temp);
  EXPECT_EQ(walk(temp.path() + "sub1", false, temp.path()).found,
            std::vector<std::string>{"file sub1/y.txt"});
  // The folder's own entries are listed in one go; no subfolder is entered.
  EXPECT_EQ(walk(temp.path() + "sub1", true, temp.path(), true).found, std::vector<std::string>{"file sub1/y.txt"});
}

TEST(CollectFiles, FolderThatCannotBeOpenedIsNamed) {
  TempFolder temp;
  temp.write("a/secret.txt", "s");
  temp.write("b/open.txt", "o");
  const OpensFail unopenable("/a");
  const Walk tree = walk(temp.path(), true, temp.path());
  ASSERT_TRUE(tree.opened);
  EXPECT_EQ(tree.found, (std::vector<std::string>{"unreadable a", "file b/open.txt"}));
  const Walk unreadable = walk(temp.path() + "a", true, temp.path());
  EXPECT_FALSE(unreadable.opened);
  EXPECT_TRUE(unreadable.found.empty());
}

}  // namespace
}  // namespace zelk::passes
