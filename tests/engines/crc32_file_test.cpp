#include <gtest/gtest.h>
#include <sys/stat.h>

#include "engines/crc32.h"
#include "tests/engines/engine_test_support.h"
#include "tests/support/failing_calls.h"
#include "tests/support/temp_folder.h"

namespace zelk::engines {
namespace {

using testing::PatternText;
using testing::RecordingProgress;

TEST(FileCrc32, PatternFilesMatchRhash) {
  zelk::testing::TempFolder folder;
  for (const testing::PatternSample& sample : testing::kPatternSamples) {
    const std::string path = folder.write("sample.bin", PatternText(sample.size));
    const FileChecksum<Crc32Value> plain = FileCrc32(path);
    EXPECT_EQ(plain.status, FileReadStatus::Ok) << sample.size;
    EXPECT_EQ(plain.value.toHex(), sample.crc32) << sample.size << " bytes";
    RecordingProgress progress;
    const FileChecksum<Crc32Value> shown = FileCrc32WithProgress(path, progress);
    EXPECT_EQ(shown.status, FileReadStatus::Ok) << sample.size;
    EXPECT_EQ(shown.value.toHex(), sample.crc32) << sample.size << " bytes";
  }
}

TEST(FileCrc32WithProgress, BarRisesWithTheBytesRead) {
  struct Case {
    std::size_t size;
    const char* events;
  };
  // Blocks of 1 MiB; the percentage counts whole KiB.
  const Case cases[] = {
      {0, "show hide"},
      {1023, "show hide"},
      {1024, "show 100 hide"},
      {std::size_t{1} << 20, "show 100 hide"},
      {(std::size_t{3} << 20) + 17, "show 33 66 100 hide"},
  };
  zelk::testing::TempFolder folder;
  for (const Case& c : cases) {
    const std::string path = folder.write("sample.bin", PatternText(c.size));
    RecordingProgress progress;
    EXPECT_TRUE(FileCrc32WithProgress(path, progress).ok());
    EXPECT_EQ(progress.events(), c.events) << c.size << " bytes";
  }
}

TEST(FileCrc32, UnopenableNamesSayWhy) {
  zelk::testing::TempFolder folder;
  const std::string fifo = folder.path() + "fifo";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  // A FIFO without a writer would block a reader forever.
  const struct {
    std::string path;
    FileReadStatus status;
  } cases[] = {
      {folder.path() + "missing", FileReadStatus::Missing},
      {folder.path(), FileReadStatus::NotAFile},
      {fifo, FileReadStatus::NotAFile},
  };
  for (const auto& c : cases) {
    const FileChecksum<Crc32Value> result = FileCrc32(c.path);
    EXPECT_EQ(result.status, c.status) << c.path;
    EXPECT_EQ(result.value.value(), 0u) << c.path;
    RecordingProgress progress;
    EXPECT_EQ(FileCrc32WithProgress(c.path, progress).status, c.status) << c.path;
    EXPECT_EQ(progress.events(), "show hide") << c.path;
  }
}

TEST(FileCrc32, RefusedOpenIsOpenFailed) {
  zelk::testing::TempFolder folder;
  const std::string path = folder.write("sample.bin", PatternText(100));
  zelk::testing::OpensFail fail;
  RecordingProgress progress;
  EXPECT_EQ(FileCrc32(path).status, FileReadStatus::OpenFailed);
  EXPECT_EQ(FileCrc32WithProgress(path, progress).status, FileReadStatus::OpenFailed);
  EXPECT_EQ(progress.events(), "show hide");
}

TEST(FileCrc32, ReadFailingPartWayIsReadFailed) {
  zelk::testing::TempFolder folder;
  const std::string path = folder.write("sample.bin", PatternText((std::size_t{3} << 20) + 17));
  {
    zelk::testing::ReadsFailAfter fail(100);
    EXPECT_EQ(FileCrc32(path).status, FileReadStatus::ReadFailed);
  }
  zelk::testing::ReadsFailAfter fail(std::int64_t{1} << 20);
  RecordingProgress progress;
  EXPECT_EQ(FileCrc32WithProgress(path, progress).status, FileReadStatus::ReadFailed);
  EXPECT_EQ(progress.events(), "show 33 hide");
}

}  // namespace
}  // namespace zelk::engines
