// create --update at the level of the pass: what is kept of the list, what
// is added to it, and what is said of entries whose files are gone.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <stop_token>
#include <string>
#include <vector>

#include "passes/create_pass.h"
#include "passes/list_update.h"
#include "platform/directory.h"
#include "platform/pending_file.h"
#include "tests/support/language_folders.h"
#include "tests/support/temp_folder.h"

namespace zelk::passes {
namespace {

using engines::ChecksumKind;
using testing::TempFolder;

// Records listed files and gone entries; a stop can be asked for after the
// first file.
class UpdateObserver final : public CreateObserver {
 public:
  std::vector<std::string> listed, leftOut, gone, errors;
  std::stop_source* stopAfterFirst = nullptr;

  bool confirmOverwrite(const std::string& question) override {
    ADD_FAILURE() << "an update asks nothing: " << question;
    return false;
  }
  void clearResultTexts() override {}
  void memoLine(const std::string&) override {}
  void noteLine(const std::string&) override {}
  void fileDone(const FileOutcome& file) override {
    (file.reason.empty() ? listed : leftOut).push_back(file.line);
    if (stopAfterFirst != nullptr) stopAfterFirst->request_stop();
  }
  void entryGone(const GoneEntry& entry) override { gone.push_back(entry.line); }
  void timeText(const std::string&) override {}
  void completionText(const std::string&) override {}
  void errorMessage(const std::string& text) override { errors.push_back(text); }
  void showProgress() override {}
  void setProgress(int) override {}
  void hideProgress() override {}
};

class ListUpdate : public ::testing::Test {
 protected:
  void SetUp() override {
    temp_.write("Music/b.txt", "123456789");   // cbf43926, 25f9e794323b453885f5181f1b624d0b
    temp_.write("Music/sub/c.txt", "abc");     // 352441c2, 900150983cd24fb0d6963f7d28e17f72
  }
  CreateOutcome update(ChecksumKind kind, bool prune, std::stop_token stop = {}) {
    CreateSettings settings;
    settings.folder = temp_.path() + "Music";
    settings.kind = kind;
    settings.includeSubfolders = true;
    settings.update = true;
    settings.prune = prune;
    return runCreatePass(settings, observer_, std::move(stop));
  }

  TempFolder temp_;
  zelk::testing::LanguageFolders languages_;
  UpdateObserver observer_;
};

// The old bytes stay, the files no entry names are added in the list's own
// way, and the entry of a file that is gone is kept or pruned.
TEST_F(ListUpdate, KeepsTheListAndAddsWhatItDoesNotName) {
  const std::string ctrlZ = "\x1a";
  const struct {
    const char* label;
    const char* listName;
    ChecksumKind kind;
    bool prune;
    std::string old;
    std::string updated;
    std::vector<std::string> gone;
  } cases[] = {
      {"sfv, line end added", "old.sfv", ChecksumKind::Crc32, false, "; x\r\nb.txt CBF43926",
       "; x\r\nb.txt CBF43926\r\nsub\\c.txt 352441C2\r\n", {}},
      {"gone entry kept", "old.sfv", ChecksumKind::Crc32, false, "gone.txt 00000000\nb.txt cbf43926\n",
       "gone.txt 00000000\nb.txt cbf43926\nsub\\c.txt 352441c2\n", {"gone.txt - no longer exists, entry kept"}},
      {"gone entry pruned", "old.sfv", ChecksumKind::Crc32, true, "gone.txt 00000000\r\nb.txt cbf43926\r\n",
       "b.txt cbf43926\r\nsub\\c.txt 352441c2\r\n", {"gone.txt - no longer exists, entry removed"}},
      {"md5sum list, slashes", "MD5SUMS", ChecksumKind::Md5, false,
       "900150983cd24fb0d6963f7d28e17f72  sub/c.txt\n",
       "900150983cd24fb0d6963f7d28e17f72  sub/c.txt\n25f9e794323b453885f5181f1b624d0b  b.txt\n", {}},
      {"entries before a Ctrl-Z line", "old.sfv", ChecksumKind::Crc32, true, "b.txt cbf43926\r\nx.txt 00000000\r\n" + ctrlZ + "old",
       "b.txt cbf43926\r\nsub\\c.txt 352441c2\r\n" + ctrlZ + "old", {"x.txt - no longer exists, entry removed"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    const std::string list = std::string("Music/") + c.listName;
    temp_.write(list, c.old);
    observer_ = UpdateObserver{};
    EXPECT_EQ(update(c.kind, c.prune), CreateOutcome::Written);
    EXPECT_EQ(temp_.read(list), c.updated);
    EXPECT_EQ(observer_.gone, c.gone);
    EXPECT_TRUE(observer_.errors.empty());
    ::unlink((temp_.path() + list).c_str());
  }
}

// Other lists, saved reports and the list itself are never added, whatever
// the kind; a list of another kind is not the one updated.
TEST_F(ListUpdate, NeverAddsWhatBelongsToChecking) {
  temp_.write("Music/Music.sfv", "b.txt cbf43926\r\n");
  temp_.write("Music/result.rtf", "{\\rtf1}");
  temp_.write("Music/other.sha256", "");
  temp_.write("Music/Music.md5", "25f9e794323b453885f5181f1b624d0b b.txt\r\n");
  EXPECT_EQ(update(ChecksumKind::Md5, false), CreateOutcome::Written);
  EXPECT_EQ(observer_.listed, std::vector<std::string>{"sub\\c.txt 900150983cd24fb0d6963f7d28e17f72"});
  EXPECT_EQ(temp_.read("Music/Music.sfv"), "b.txt cbf43926\r\n");
}

// A list that gains and loses nothing is not written again: it is the very
// same file.
TEST_F(ListUpdate, NothingNewLeavesTheListUntouched) {
  temp_.write("Music/Music.sfv", "b.txt cbf43926\r\nsub/c.txt 352441c2\r\ngone 00000000\r\n");
  struct stat before {};
  ASSERT_EQ(::stat((temp_.path() + "Music/Music.sfv").c_str(), &before), 0);
  EXPECT_EQ(update(ChecksumKind::Crc32, false), CreateOutcome::Written);
  struct stat after {};
  ASSERT_EQ(::stat((temp_.path() + "Music/Music.sfv").c_str(), &after), 0);
  EXPECT_EQ(before.st_ino, after.st_ino);
  EXPECT_TRUE(observer_.listed.empty());
  EXPECT_EQ(observer_.gone.size(), 1u);
}

TEST_F(ListUpdate, CancelledOrUnreadableKeepsTheOldList) {
  temp_.write("Music/more.txt", "more");
  const std::string old = "b.txt cbf43926\r\n";
  temp_.write("Music/Music.sfv", old);
  std::stop_source stop;
  observer_.stopAfterFirst = &stop;
  EXPECT_EQ(update(ChecksumKind::Crc32, false, stop.get_token()), CreateOutcome::Cancelled);
  EXPECT_EQ(temp_.read("Music/Music.sfv"), old);

  // procfs gives an I/O error where a list would have lines.
  ::unlink((temp_.path() + "Music/Music.sfv").c_str());
  ASSERT_EQ(::symlink("/proc/self/pagemap", (temp_.path() + "Music/Music.sfv").c_str()), 0);
  observer_ = UpdateObserver{};
  EXPECT_EQ(update(ChecksumKind::Crc32, false), CreateOutcome::ListUnreadable);
  EXPECT_EQ(observer_.errors, std::vector<std::string>{"The list \"Music.sfv\" cannot be read: Input/output error."});
  for (const auto& entry : platform::listDirectory(temp_.path() + "Music").entries) {
    EXPECT_FALSE(platform::isPendingFileName(entry.name)) << entry.name;
  }
}

TEST(KindOfListToUpdate, TheKindOfTheListVerifyReads) {
  const struct {
    std::vector<std::string> files;
    ChecksumKind kind;
  } cases[] = {
      {{"a.sha256", "b.md5"}, ChecksumKind::Md5},
      {{"a.sha256", "b.txt"}, ChecksumKind::Sha256},
      {{"b.txt"}, ChecksumKind::Crc32},
  };
  for (const auto& c : cases) {
    TempFolder folder;
    for (const auto& name : c.files) folder.write(name, "");
    EXPECT_EQ(kindOfListToUpdate(folder.path()), c.kind) << ::testing::PrintToString(c.files);
  }
}

}  // namespace
}  // namespace zelk::passes
