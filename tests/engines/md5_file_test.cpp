#include <gtest/gtest.h>
#include <sys/stat.h>

#include <sstream>

#include "engines/md5.h"
#include "tests/engines/engine_test_support.h"
#include "tests/support/failing_calls.h"
#include "tests/support/temp_folder.h"

namespace zelk::engines {
namespace {

using testing::PatternText;
using testing::RecordingProgress;

constexpr const char* kMessageDigest = "f96b697d7cb7938d525a2f31aaf161d0";  // RFC 1321: "message digest"

TEST(MD5File, PatternFilesMatchMd5sum) {
  zelk::testing::TempFolder folder;
  for (const testing::PatternSample& sample : testing::kPatternSamples) {
    const std::string path = folder.write("sample.bin", PatternText(sample.size));
    const FileChecksum<Md5Digest> result = MD5File(path, nullptr);
    EXPECT_EQ(result.status, FileReadStatus::Ok) << sample.size;
    EXPECT_EQ(result.value.toHex(), sample.md5) << sample.size << " bytes";
  }
}

TEST(MD5File, BarRisesWithTheBytesRead) {
  struct Case {
    std::size_t size;
    std::string events;
  };
  // Blocks of 4 KiB: a file of 3 MiB rises by about a seventh of a point a block.
  const Case cases[] = {
      {0, "show hide"},
      {1023, "show hide"},
      {8192, "show 50 100 hide"},
      {(std::size_t{3} << 20) + 17, testing::EveryPercentUpTo(100)},
  };
  zelk::testing::TempFolder folder;
  for (const Case& c : cases) {
    const std::string path = folder.write("sample.bin", PatternText(c.size));
    RecordingProgress progress;
    EXPECT_TRUE(MD5File(path, &progress).ok());
    EXPECT_EQ(progress.events(), c.events) << c.size << " bytes";
  }
}

TEST(MD5File, UnopenableNamesSayWhyWithoutProgress) {
  zelk::testing::TempFolder folder;
  const std::string fifo = folder.path() + "fifo";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const std::string existing = folder.write("sample.bin", "abc");
  const auto check = [](const std::string& path, FileReadStatus status) {
    RecordingProgress progress;
    const FileChecksum<Md5Digest> result = MD5File(path, &progress);
    EXPECT_EQ(result.status, status) << path;
    EXPECT_EQ(result.value, Md5Digest()) << path;
    EXPECT_EQ(progress.events(), "") << path;
  };
  check(folder.path() + "missing", FileReadStatus::Missing);
  check(folder.path(), FileReadStatus::NotAFile);
  check(fifo, FileReadStatus::NotAFile);
  zelk::testing::OpensFail fail;
  check(existing, FileReadStatus::OpenFailed);
}

TEST(MD5File, ReadFailingPartWayIsReadFailed) {
  zelk::testing::TempFolder folder;
  const std::string path = folder.write("sample.bin", PatternText((std::size_t{3} << 20) + 17));
  zelk::testing::ReadsFailAfter fail(std::int64_t{1} << 20);
  RecordingProgress progress;
  const FileChecksum<Md5Digest> result = MD5File(path, &progress);
  EXPECT_EQ(result.status, FileReadStatus::ReadFailed);
  EXPECT_EQ(result.value, Md5Digest());
  EXPECT_EQ(progress.events(), testing::EveryPercentUpTo(33));
}

TEST(MD5Stream, DigestsFromTheFirstByteAndRestoresThePosition) {
  for (const std::streamoff start : {0, 5, 14}) {
    std::istringstream stream("message digest");
    stream.seekg(start);
    const FileChecksum<Md5Digest> result = MD5Stream(stream, -1, nullptr);
    EXPECT_TRUE(result.ok()) << start;
    EXPECT_EQ(result.value.toHex(), kMessageDigest) << start;
    EXPECT_TRUE(stream.good()) << start;
    EXPECT_EQ(stream.tellg(), start);
  }
}

TEST(MD5Stream, StreamReadPastItsEndIsDigestedWhole) {
  std::istringstream stream("message digest");
  std::string word;
  while (stream >> word) {
  }
  ASSERT_TRUE(stream.eof());
  EXPECT_EQ(MD5Stream(stream, -1, nullptr).value.toHex(), kMessageDigest);
  EXPECT_TRUE(stream.eof());
}

TEST(MD5Stream, BrokenStreamIsReadFailed) {
  std::istringstream stream("message digest");
  stream.setstate(std::ios_base::badbit);
  const FileChecksum<Md5Digest> result = MD5Stream(stream, -1, nullptr);
  EXPECT_EQ(result.status, FileReadStatus::ReadFailed);
  EXPECT_EQ(result.value, Md5Digest());
  EXPECT_TRUE(stream.bad());
}

// Counts the block reads that reach the stream buffer.
class CountingBuf final : public std::stringbuf {
 public:
  using std::stringbuf::stringbuf;
  int reads = 0;

 protected:
  std::streamsize xsgetn(char* out, std::streamsize count) override {
    ++reads;
    return std::stringbuf::xsgetn(out, count);
  }
};

TEST(MD5Stream, ReadsToTheEndOfTheDataWhateverTheSizeGiven) {
  for (const testing::PatternSample& sample : testing::kPatternSamples) {
    CountingBuf buffer(PatternText(sample.size));
    std::istream stream(&buffer);
    const FileChecksum<Md5Digest> result = MD5Stream(stream, static_cast<std::int64_t>(sample.size / 2), nullptr);
    EXPECT_TRUE(result.ok());
    EXPECT_EQ(result.value.toHex(), sample.md5);
    // Whole blocks, then the one that tells the end.
    EXPECT_EQ(buffer.reads, static_cast<int>(sample.size / 4096 + 1)) << sample.size << " bytes";
  }
}

TEST(MD5Stream, ProgressFollowsTheGivenSize) {
  struct Case {
    std::int64_t size;
    const char* events;
  };
  const Case cases[] = {{8192, "show 50 100 hide"}, {16384, "show 25 50 hide"}, {1000, "show hide"}, {-1, "show hide"}};
  for (const Case& c : cases) {
    std::istringstream stream(PatternText(8192));
    RecordingProgress progress;
    EXPECT_TRUE(MD5Stream(stream, c.size, &progress).ok());
    EXPECT_EQ(progress.events(), c.events) << c.size;
  }
}

}  // namespace
}  // namespace zelk::engines
