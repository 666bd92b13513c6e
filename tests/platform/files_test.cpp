#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fcntl.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <ctime>
#include <functional>
#include <string>
#include <vector>

#include "platform/files.h"
#include "platform/system_calls.h"
#include "tests/support/failing_calls.h"
#include "tests/support/temp_folder.h"

namespace zelk::platform {
namespace {

using zelk::testing::OpensFail;
using zelk::testing::ReadsFailAfter;
using zelk::testing::TempFolder;

TEST(FileKind, FollowsLinksAndTellsEveryKind) {
  TempFolder temp;
  const std::string file = temp.write("file.txt", "x");
  const std::string folder = temp.makeFolder("folder");
  const std::string fifo = temp.path() + "fifo";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  ASSERT_EQ(::symlink(file.c_str(), (temp.path() + "to-file").c_str()), 0);
  ASSERT_EQ(::symlink(folder.c_str(), (temp.path() + "to-folder").c_str()), 0);
  ASSERT_EQ(::symlink((temp.path() + "nowhere").c_str(), (temp.path() + "dangling").c_str()), 0);

  const struct {
    std::string path;
    FileKind kind;
  } cases[] = {
      {file, FileKind::Regular},
      {folder, FileKind::Directory},
      {fifo, FileKind::Other},
      {"/dev/null", FileKind::Other},
      {temp.path() + "missing", FileKind::Missing},
      {temp.path() + "to-file", FileKind::Regular},
      {temp.path() + "to-folder", FileKind::Directory},
      {temp.path() + "dangling", FileKind::Missing},
  };
  for (const auto& c : cases) EXPECT_EQ(fileKind(c.path), c.kind) << c.path;
}

TEST(InputFile, ReadsRegularFileAndLinkToIt) {
  TempFolder temp;
  const std::string file = temp.write("data.bin", std::string("ab\0cd", 5));
  ASSERT_EQ(::symlink(file.c_str(), (temp.path() + "link").c_str()), 0);
  for (const std::string& path : {file, temp.path() + "link"}) {
    InputFile input;
    ASSERT_EQ(input.open(path), FileReadStatus::Ok) << path;
    EXPECT_EQ(input.size(), 5);
    char buffer[16] = {};
    ASSERT_EQ(input.read(buffer, sizeof buffer), 5);
    EXPECT_EQ(std::string(buffer, 5), std::string("ab\0cd", 5));
    EXPECT_TRUE(input.ended());
    EXPECT_EQ(input.read(buffer, sizeof buffer), 0);
    EXPECT_EQ(input.checkUnchanged(), FileReadStatus::Ok);
  }
}

// Records every path the seam is asked to open.
std::vector<std::string> openedPaths;
int recordingOpen(int folder, const char* path, int flags, mode_t mode) {
  openedPaths.emplace_back(path);
  return ::openat(folder, path, flags, mode);
}

TEST(InputFile, DecidesTheKindBeforeOpeningAndRefusesPseudoFiles) {
  TempFolder temp;
  const std::string fifo = temp.path() + "fifo";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  ASSERT_EQ(::symlink("/proc/self/pagemap", (temp.path() + "pagemap").c_str()), 0);
  const struct {
    std::string path;
    FileReadStatus status;
    bool opened;
  } cases[] = {
      // Opening a FIFO would release a writer blocked on it.
      {fifo, FileReadStatus::NotAFile, false},
      {temp.makeFolder("folder"), FileReadStatus::NotAFile, false},
      {"/dev/zero", FileReadStatus::NotAFile, false},
      {temp.path() + "gone", FileReadStatus::Missing, false},
      {temp.path() + std::string(300, 'n'), FileReadStatus::NameTooLong, false},
      // procfs reports 0 bytes for a file that never ends.
      {temp.path() + "pagemap", FileReadStatus::ReadFailed, true},
      {"/proc/self/status", FileReadStatus::ReadFailed, true},
      {"/sys/kernel/mm/transparent_hugepage/enabled", FileReadStatus::ReadFailed, true},
  };
  ScopedSystemCalls restore;
  systemCalls().openAt = recordingOpen;
  for (const auto& c : cases) {
    if (c.opened && fileKind(c.path) != FileKind::Regular) continue;  // a kernel without that file
    openedPaths.clear();
    InputFile input;
    EXPECT_EQ(input.open(c.path), c.status) << c.path;
    EXPECT_EQ(openedPaths.size(), c.opened ? 1u : 0u) << c.path;
    EXPECT_FALSE(input.isOpen());
    char byte = 0;
    EXPECT_EQ(input.read(&byte, 1), -1);
  }
}

// The contents of `path` opened through `folders`, or "?" when it cannot be opened.
std::string readThrough(FolderCache& folders, const std::string& path) {
  InputFile input;
  if (input.open(path, &folders) != FileReadStatus::Ok) return "?";
  std::string bytes(64, '\0');
  bytes.resize(static_cast<std::size_t>(std::max<std::int64_t>(input.read(bytes.data(), bytes.size()), 0)));
  return bytes;
}

TEST(FolderCache, FilesOfOneFolderAreOpenedByTheirOwnNameFromTheSecondOn) {
  TempFolder temp;
  for (const char* name : {"d/a", "d/b", "d/c", "e/a"}) temp.write(name, name);
  ScopedSystemCalls restore;
  systemCalls().openAt = recordingOpen;
  openedPaths.clear();
  FolderCache folders;
  for (const char* name : {"d/a", "d/b", "d/c", "e/a"}) EXPECT_EQ(readThrough(folders, temp.path() + name), name);
  EXPECT_EQ(openedPaths, (std::vector<std::string>{temp.path() + "d/a", "b", "c", temp.path() + "e/a"}));
}

TEST(FolderCache, AFolderMadeAnewMeanwhileIsLookedForByThePathAgain) {
  TempFolder temp;
  temp.write("d/a", "old a");
  temp.write("d/b", "old b");
  FolderCache folders;
  EXPECT_EQ(readThrough(folders, temp.path() + "d/a"), "old a");
  EXPECT_EQ(readThrough(folders, temp.path() + "d/b"), "old b");
  InputFile gone;
  EXPECT_EQ(gone.open(temp.path() + "d/gone", &folders), FileReadStatus::Missing);
  for (const char* name : {"d/a", "d/b"}) ASSERT_EQ(::unlink((temp.path() + name).c_str()), 0);
  ASSERT_EQ(::rmdir((temp.path() + "d").c_str()), 0);
  temp.write("d/b", "new b");
  temp.write("d/c", "new c");
  EXPECT_EQ(readThrough(folders, temp.path() + "d/a"), "?");
  EXPECT_EQ(readThrough(folders, temp.path() + "d/b"), "new b");
  EXPECT_EQ(readThrough(folders, temp.path() + "d/c"), "new c");
}

TEST(FolderCache, PathsTooLongForTheSystemAreSoForEveryFileOfTheirFolder) {
  TempFolder temp;
  std::vector<std::string> folders{temp.path()};
  const std::string level(250, 'd');
  while (folders.back().size() + level.size() + 1 < PATH_MAX - 1) {
    folders.push_back(folders.back() + level + "/");
    ASSERT_EQ(::mkdir(folders.back().c_str(), 0700), 0);
  }
  // The folder's path is within the limit, each file's one byte beyond it.
  const std::size_t length = PATH_MAX - folders.back().size();
  const std::string names[] = {std::string(length, 'a'), std::string(length, 'b')};
  const int deepest = ::open(folders.back().c_str(), O_DIRECTORY | O_CLOEXEC);
  ASSERT_GE(deepest, 0);
  for (const std::string& name : names) ::close(::openat(deepest, name.c_str(), O_CREAT | O_WRONLY | O_CLOEXEC, 0600));
  FolderCache cache;
  for (const std::string& name : names) {
    InputFile input;
    EXPECT_EQ(input.open(folders.back() + name, &cache), FileReadStatus::NameTooLong);
  }
  // Too deep for the temporary folder's own clean-up.
  for (const std::string& name : names) EXPECT_EQ(::unlinkat(deepest, name.c_str(), 0), 0);
  ::close(deepest);
  while (folders.size() > 1) {
    ::rmdir(folders.back().c_str());
    folders.pop_back();
  }
}

TEST(InputFile, TellsAFileThatChangedWhileItWasRead) {
  TempFolder temp;
  const std::string file = temp.write("data", "0123456789");
  const struct {
    const char* label;
    std::function<void()> change;
    std::int64_t bytesRead;
  } cases[] = {
      {"grown", [&] { temp.write("data", "0123456789ab"); }, 10},
      {"shrunk", [&] { temp.write("data", "01234"); }, 10},
      {"rewritten in place", [&] {
         const timespec later[2] = {{0, UTIME_OMIT}, {std::time(nullptr) + 60, 0}};
         ::utimensat(AT_FDCWD, file.c_str(), later, 0);
       }, 10},
      {"read short", [] {}, 9},
  };
  for (const auto& c : cases) {
    temp.write("data", "0123456789");
    InputFile input;
    ASSERT_EQ(input.open(file), FileReadStatus::Ok);
    c.change();
    std::string bytes(static_cast<std::size_t>(c.bytesRead), '\0');
    input.read(bytes.data(), bytes.size());
    EXPECT_EQ(input.checkUnchanged(), FileReadStatus::Changed) << c.label;
  }
}

// Hands out at most three bytes per call and is interrupted every other call.
ssize_t stutteringRead(int fd, void* buffer, size_t size) {
  static bool interrupt = false;
  interrupt = !interrupt;
  if (interrupt) {
    errno = EINTR;
    return -1;
  }
  return ::read(fd, buffer, size < 3 ? size : 3);
}

TEST(InputFile, ReadRetriesShortAndInterruptedReads) {
  TempFolder temp;
  const std::string contents = "0123456789abcdefghij";
  const std::string file = temp.write("data", contents);
  ScopedSystemCalls restore;
  systemCalls().read = stutteringRead;
  InputFile input;
  ASSERT_EQ(input.open(file), FileReadStatus::Ok);
  std::string buffer(contents.size() + 4, '\0');
  ASSERT_EQ(input.read(buffer.data(), buffer.size()), static_cast<std::int64_t>(contents.size()));
  EXPECT_EQ(buffer.substr(0, contents.size()), contents);
}

// A file system that honours O_NONBLOCK on regular files refuses reads
// while the flag is set.
ssize_t refusedWhileNonBlocking(int fd, void* buffer, size_t size) {
  if ((::fcntl(fd, F_GETFL) & O_NONBLOCK) != 0) {
    errno = EAGAIN;
    return -1;
  }
  return ::read(fd, buffer, size);
}

int readCalls = 0;
ssize_t countedRead(int fd, void* buffer, size_t size) {
  ++readCalls;
  return ::read(fd, buffer, size);
}

TEST(InputFile, ReadsNoFurtherThanNeeded) {
  TempFolder temp;
  const std::string file = temp.write("data", "contents");
  ScopedSystemCalls restore;
  char buffer[64];
  systemCalls().read = refusedWhileNonBlocking;
  InputFile input;
  ASSERT_EQ(input.open(file), FileReadStatus::Ok);
  EXPECT_EQ(input.read(buffer, sizeof buffer), 8);

  // A short read that reaches the size seen at open is the end: no second
  // read to see the 0.
  systemCalls().read = countedRead;
  readCalls = 0;
  ASSERT_EQ(input.open(file), FileReadStatus::Ok);
  EXPECT_EQ(input.read(buffer, sizeof buffer), 8);
  EXPECT_TRUE(input.ended());
  EXPECT_EQ(readCalls, 1);
}

// Turns the file into a FIFO between the kind check and the open.
int swappedForFifo(int folder, const char* path, int flags, mode_t mode) {
  ::unlinkat(folder, path, 0);
  ::mkfifoat(folder, path, 0600);
  return ::openat(folder, path, flags, mode);
}

TEST(InputFile, NameSwappedForFifoDuringOpenReadsAsChangedWithoutBlocking) {
  TempFolder temp;
  const std::string file = temp.write("data", "contents");
  ScopedSystemCalls restore;
  systemCalls().openAt = swappedForFifo;
  InputFile input;
  ASSERT_EQ(input.open(file), FileReadStatus::Ok);
  char buffer[64];
  EXPECT_EQ(input.read(buffer, sizeof buffer), 0);
  EXPECT_EQ(input.checkUnchanged(), FileReadStatus::Changed);
}

TEST(InputFile, InjectedFailuresAreReported) {
  TempFolder temp;
  const std::string file = temp.write("data", "contents");
  const ReadsFailAfter failingReads(0);
  InputFile input;
  ASSERT_EQ(input.open(file), FileReadStatus::Ok);
  char buffer[8];
  EXPECT_EQ(input.read(buffer, sizeof buffer), -1);
  EXPECT_EQ(input.error(), EIO);

  const OpensFail failingOpens;
  InputFile refused;
  EXPECT_EQ(refused.open(file), FileReadStatus::OpenFailed);
  EXPECT_EQ(refused.error(), EACCES);
}

TEST(ReadWholeFile, ReadsEveryByteOrSaysWhyNot) {
  TempFolder temp;
  const std::string contents = std::string(200000, 'x') + std::string("\0end", 4);
  const FileContents whole = readWholeFile(temp.write("list", contents));
  EXPECT_EQ(whole.status, FileReadStatus::Ok);
  EXPECT_EQ(whole.bytes, contents);
  EXPECT_EQ(readWholeFile(temp.write("empty", "")).bytes, "");

  const FileContents missing = readWholeFile(temp.path() + "missing");
  EXPECT_EQ(missing.status, FileReadStatus::Missing);
  EXPECT_EQ(missing.error, ENOENT);
  // An I/O error after the first 64 KiB must not pass for a shorter file.
  const ReadsFailAfter failing(64 * 1024);
  const FileContents broken = readWholeFile(temp.path() + "list");
  EXPECT_EQ(broken.status, FileReadStatus::ReadFailed);
  EXPECT_EQ(broken.error, EIO);
  EXPECT_TRUE(broken.bytes.empty());
}

TEST(FileSizeOf, RegularFilesOnly) {
  TempFolder temp;
  EXPECT_EQ(FileSizeOf(temp.write("seven", "1234567")), 7);
  EXPECT_EQ(FileSizeOf(temp.write("empty", "")), 0);
  EXPECT_EQ(FileSizeOf(temp.makeFolder("folder")), -1);
  EXPECT_EQ(FileSizeOf(temp.path() + "missing"), -1);
}

TEST(Paths, EmbeddedNulNamesNoFile) {
  TempFolder temp;
  const std::string file = temp.write("file", "contents");
  const std::string folder = temp.makeFolder("folder");
  const std::string nul(1, '\0');
  // Cut at the NUL, each would name the file, the folder, or a new file.
  for (const std::string& path : {file + nul, file + nul + ".sfv", folder + nul, temp.path() + "new" + nul + "x"}) {
    const std::string label = "NUL at " + std::to_string(path.find('\0')) + " of " + std::to_string(path.size());
    EXPECT_EQ(fileKind(path), FileKind::Missing) << label;
    InputFile input;
    EXPECT_EQ(input.open(path), FileReadStatus::Missing) << label;
    EXPECT_FALSE(input.isOpen()) << label;
  }
  EXPECT_EQ(temp.read("file"), "contents");
  EXPECT_EQ(fileKind(temp.path() + "new"), FileKind::Missing);
}

}  // namespace
}  // namespace zelk::platform
