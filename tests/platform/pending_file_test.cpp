#include "platform/pending_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <stop_token>
#include <string>
#include <vector>

#include "platform/directory.h"
#include "platform/system_calls.h"
#include "tests/support/failing_calls.h"
#include "tests/support/ordinary_user.h"
#include "tests/support/temp_folder.h"

namespace zelk::platform {
namespace {

using zelk::testing::TempFolder;

std::vector<std::string> namesIn(const std::string& folder) {
  std::vector<std::string> names;
  for (const DirectoryEntry& entry : listDirectory(folder).entries) names.push_back(entry.name);
  return names;
}

mode_t permissionsOf(const std::string& path) {
  struct stat info {};
  ::stat(path.c_str(), &info);
  return info.st_mode & 0777;
}

TEST(PendingFile, TargetChangesOnlyAtCommitAndNothingElseIsLeft) {
  TempFolder temp;
  const std::string target = temp.write("Music.sfv", "old list");
  ScopedSystemCalls restore;
  systemCalls().write = [](int fd, const void* data, size_t size) { return ::write(fd, data, size < 2 ? size : 2); };
  PendingFile file(target);
  ASSERT_FALSE(file.failed());
  EXPECT_TRUE(file.write("new ", 4));
  EXPECT_TRUE(file.write("list", 4));
  const std::vector<std::string> during = namesIn(temp.path());
  ASSERT_EQ(during.size(), 2u);
  EXPECT_TRUE(isPendingFileName(during[0])) << during[0];
  EXPECT_EQ(temp.read("Music.sfv"), "old list");
  ASSERT_TRUE(file.commit());
  EXPECT_EQ(temp.read("Music.sfv"), "new list");
  EXPECT_EQ(namesIn(temp.path()), std::vector<std::string>{"Music.sfv"});
}

TEST(PendingFile, NeverWritesThroughALinkAndKeepsPermissions) {
  TempFolder temp;
  const std::string victim = temp.write("victim", "precious");
  const std::string target = temp.path() + "result.rtf";
  ASSERT_EQ(::symlink(victim.c_str(), target.c_str()), 0);
  PendingFile linked(target);
  linked.write("report", 6);
  ASSERT_TRUE(linked.commit());
  EXPECT_EQ(temp.read("victim"), "precious");
  EXPECT_EQ(temp.read("result.rtf"), "report");

  const std::string private_list = temp.write("private.sfv", "old");
  ASSERT_EQ(::chmod(private_list.c_str(), 0600), 0);
  PendingFile replacement(private_list);
  replacement.write("new", 3);
  ASSERT_TRUE(replacement.commit());
  EXPECT_EQ(permissionsOf(private_list), 0600u);
}

TEST(PendingFile, EveryFailureKeepsTheTargetAndLeavesNoTemporaryFile) {
  using Calls = void (*)(SystemCalls&);
  const struct {
    const char* label;
    Calls inject;
  } cases[] = {
      {"write fails", [](SystemCalls& c) { c.write = [](int, const void*, size_t) -> ssize_t { return errno = EIO, -1; }; }},
      {"nothing written", [](SystemCalls& c) { c.write = [](int, const void*, size_t) -> ssize_t { return 0; }; }},
      {"fsync fails", [](SystemCalls& c) { c.fsync = [](int) { return errno = EIO, -1; }; }},
      {"close fails", [](SystemCalls& c) { c.close = [](int fd) { return ::close(fd), errno = EIO, -1; }; }},
  };
  for (const auto& c : cases) {
    TempFolder temp;
    const std::string target = temp.write("Music.sfv", "old list");
    {
      PendingFile file(target);
      ScopedSystemCalls restore;
      c.inject(systemCalls());
      file.write("new list", 8);
      EXPECT_FALSE(file.commit()) << c.label;
      EXPECT_NE(file.error(), 0) << c.label;
    }
    EXPECT_EQ(temp.read("Music.sfv"), "old list") << c.label;
    EXPECT_EQ(namesIn(temp.path()), std::vector<std::string>{"Music.sfv"}) << c.label;
  }
}

TEST(PendingFile, StopBeforeTheRenameKeepsTheTargetAndOneAfterItCannot) {
  enum Moment { BeforeCommit, WhileTheFileIsSynced, WhileTheFolderIsSynced };
  const struct {
    const char* label;
    Moment moment;
    bool committed;
  } cases[] = {
      {"before the commit", BeforeCommit, false},
      {"while the file is synced", WhileTheFileIsSynced, false},
      {"while the folder is synced, after the rename", WhileTheFolderIsSynced, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    TempFolder temp;
    const std::string target = temp.write("Music.sfv", "old list");
    std::stop_source stop;
    if (c.moment == BeforeCommit) stop.request_stop();
    const testing::BeforeSync hook([&](bool folder) {
      if (folder == (c.moment == WhileTheFolderIsSynced)) stop.request_stop();
    });
    PendingFile file(target);
    file.write("new list", 8);
    EXPECT_EQ(file.commit(stop.get_token()), c.committed);
    EXPECT_EQ(file.error(), c.committed ? 0 : ECANCELED);
    EXPECT_EQ(temp.read("Music.sfv"), c.committed ? "new list" : "old list");
    EXPECT_EQ(namesIn(temp.path()), std::vector<std::string>{"Music.sfv"});
  }
}

TEST(PendingFile, RefusesTargetsItMustNotReplace) {
  TempFolder temp;
  const std::string nul(1, '\0');
  for (const std::string& target : {temp.makeFolder("folder.sfv"), temp.path() + "no/such/folder/list.sfv",
                                    temp.path() + "new" + nul + "x"}) {
    PendingFile file(target);
    EXPECT_TRUE(file.failed()) << target;
    EXPECT_FALSE(file.write("x", 1));
    EXPECT_FALSE(file.commit());
  }
  EXPECT_EQ(namesIn(temp.path()), std::vector<std::string>{"folder.sfv"});

  // A list its user may not write is not replaced behind its back by a rename.
  ASSERT_EQ(::chmod(temp.path().c_str(), 0777), 0);
  const std::string readOnly = temp.write("read-only.sfv", "old list");
  ASSERT_EQ(::chmod(readOnly.c_str(), 0444), 0);
  EXPECT_TRUE(testing::asOrdinaryUser([&] {
    PendingFile file(readOnly);
    return file.failed() && file.error() == EACCES && !file.commit();
  }));
  EXPECT_EQ(temp.read("read-only.sfv"), "old list");
}

TEST(PendingFile, TerminatingSignalRemovesTheTemporaryFile) {
  TempFolder temp;
  const pid_t child = ::fork();
  if (child == 0) {
    removePendingFilesOnTermination();
    PendingFile file(temp.path() + "Music.sfv");
    file.write("half a list", 11);
    ::raise(SIGTERM);
    ::_exit(0);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM);
  EXPECT_TRUE(namesIn(temp.path()).empty());
}

TEST(PendingFile, TemporaryNamesAreRecognised) {
  EXPECT_TRUE(isPendingFileName(".zelk-sfv-Ab3xZ9.partial"));
  for (const char* name : {".zelk-sfv-Ab3xZ.partial", ".zelk-sfv-Ab3x!9.partial", "zelk-sfv-Ab3xZ9.partial",
                           ".zelk-sfv-Ab3xZ9.sfv", ".Music.sfv.partial"}) {
    EXPECT_FALSE(isPendingFileName(name)) << name;
  }
}

}  // namespace
}  // namespace zelk::platform
