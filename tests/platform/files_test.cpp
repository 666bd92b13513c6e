#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

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
    ASSERT_TRUE(input.open(path)) << path;
    EXPECT_EQ(input.size(), 5);
    char buffer[16] = {};
    ASSERT_EQ(input.read(buffer, sizeof buffer), 5);
    EXPECT_EQ(std::string(buffer, 5), std::string("ab\0cd", 5));
    EXPECT_EQ(input.read(buffer, sizeof buffer), 0);
  }
}

TEST(InputFile, RefusesWhatIsNotARegularFile) {
  TempFolder temp;
  const std::string fifo = temp.path() + "fifo";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  // A FIFO without a writer would block a plain open forever.
  for (const std::string& path : {fifo, temp.makeFolder("folder"), std::string("/dev/zero"), temp.path() + "gone"}) {
    InputFile input;
    EXPECT_FALSE(input.open(path)) << path;
    EXPECT_FALSE(input.isOpen());
    char byte = 0;
    EXPECT_EQ(input.read(&byte, 1), -1);
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
  ASSERT_TRUE(input.open(file));
  std::string buffer(contents.size() + 4, '\0');
  ASSERT_EQ(input.read(buffer.data(), buffer.size()), static_cast<std::int64_t>(contents.size()));
  EXPECT_EQ(buffer.substr(0, contents.size()), contents);
}

TEST(InputFile, InjectedFailuresAreReported) {
  TempFolder temp;
  const std::string file = temp.write("data", "contents");
  const ReadsFailAfter failingReads(0);
  InputFile input;
  ASSERT_TRUE(input.open(file));
  char buffer[8];
  EXPECT_EQ(input.read(buffer, sizeof buffer), -1);

  const OpensFail failingOpens;
  InputFile refused;
  EXPECT_FALSE(refused.open(file));
}

TEST(OutputFile, WritesEverythingThroughShortWrites) {
  TempFolder temp;
  ScopedSystemCalls restore;
  systemCalls().write = [](int fd, const void* data, size_t size) { return ::write(fd, data, size < 2 ? size : 2); };
  OutputFile output;
  ASSERT_TRUE(output.create(temp.path() + "out"));
  EXPECT_TRUE(output.write("hello, ", 7));
  EXPECT_TRUE(output.write("world", 5));
  EXPECT_TRUE(output.close());
  EXPECT_EQ(temp.read("out"), "hello, world");
}

TEST(OutputFile, FullDiskFailsWriteAndClose) {
  OutputFile output;
  ASSERT_TRUE(output.create("/dev/full"));
  EXPECT_FALSE(output.write("x", 1));
  EXPECT_TRUE(output.failed());
  EXPECT_FALSE(output.close());
}

TEST(OutputFile, InjectedFailuresAreRemembered) {
  TempFolder temp;
  ScopedSystemCalls restore;
  using Write = ssize_t (*)(int, const void*, size_t);
  const struct {
    const char* label;
    Write write;
  } cases[] = {
      {"error", [](int, const void*, size_t) -> ssize_t {
         errno = EIO;
         return -1;
       }},
      {"nothing written", [](int, const void*, size_t) -> ssize_t { return 0; }},
  };
  for (const auto& c : cases) {
    systemCalls().write = c.write;
    OutputFile output;
    ASSERT_TRUE(output.create(temp.path() + "out")) << c.label;
    EXPECT_FALSE(output.write("abc", 3)) << c.label;
    // Later writes may succeed; the failure still counts at close().
    systemCalls().write = ::write;
    EXPECT_TRUE(output.write("def", 3)) << c.label;
    EXPECT_FALSE(output.close()) << c.label;
  }

  systemCalls().close = [](int fd) {
    ::close(fd);
    errno = EIO;
    return -1;
  };
  OutputFile closing;
  ASSERT_TRUE(closing.create(temp.path() + "closing"));
  EXPECT_TRUE(closing.write("abc", 3));
  EXPECT_FALSE(closing.close());
}

TEST(OutputFile, CreateRefusesMissingFolderAndFifo) {
  TempFolder temp;
  const std::string fifo = temp.path() + "fifo";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  // The FIFO has no reader: a blocking open would never return.
  for (const std::string& path : {temp.path() + "no/such/folder/list.sfv", fifo}) {
    OutputFile output;
    EXPECT_FALSE(output.create(path)) << path;
    EXPECT_FALSE(output.write("x", 1));
    EXPECT_FALSE(output.close());
  }
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
    EXPECT_FALSE(input.open(path)) << label;
    EXPECT_FALSE(input.isOpen()) << label;
    OutputFile output;
    EXPECT_FALSE(output.create(path)) << label;
    EXPECT_TRUE(output.failed()) << label;
    EXPECT_FALSE(output.close()) << label;
  }
  EXPECT_EQ(temp.read("file"), "contents");
  EXPECT_EQ(fileKind(temp.path() + "new"), FileKind::Missing);
}

}  // namespace
}  // namespace zelk::platform
