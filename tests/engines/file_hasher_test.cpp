#include "engines/file_hasher.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/uio.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

#include "platform/system_calls.h"
#include "tests/support/failing_calls.h"
#include "tests/support/temp_folder.h"

namespace zelk::engines {
namespace {

using testing::TempFolder;

// A turn at the disk that is always free, and remembers what was done with it.
class RecordingTurn final : public ReadTurn {
 public:
  bool take(const std::stop_token&) override {
    taken = true;
    return true;
  }
  void release() override { released = true; }
  bool taken = false;
  bool released = false;
};

ReadEvents countingBlocks(std::int64_t& blocks) { return {{}, [&blocks](std::int64_t) { ++blocks; }}; }

std::string hexOf(const HashedFile& file, ChecksumKind kind) {
  const Digest* digest = file.digests.of(kind);
  return digest != nullptr ? digest->toHex() : std::string();
}

FileHasher withLimit(std::int64_t wholeFileLimit) {
  ReadSettings settings;
  settings.wholeFileLimit = wholeFileLimit;
  return FileHasher(settings);
}

// Three and a half blocks of 1 MiB of "abc" repeated: md5sum and rhash --crc32 give these.
std::string threeAndAHalfMiB() {
  std::string bytes;
  while (bytes.size() < (7u << 20) / 2) bytes += "abc";
  bytes.resize((7u << 20) / 2);
  return bytes;
}

TEST(FileHasher, ChecksumsOfAFileOfSeveralBlocksMatchOtherTools) {
  TempFolder temp;
  const std::string path = temp.write("big", threeAndAHalfMiB());
  for (const bool spinning : {false, true}) {
    FileHasher hasher;
    RecordingTurn turn;
    std::int64_t blocks = 0;
    const HashedFile md5 = hasher.hash(path, ChecksumKind::Md5, {}, countingBlocks(blocks), spinning ? &turn : nullptr);
    EXPECT_EQ(md5.status, FileReadStatus::Ok);
    EXPECT_EQ(hexOf(md5, ChecksumKind::Md5), "82fafbc8a4e714087016b330eb1ff74f");
    EXPECT_EQ(md5.bytesRead, (7 << 20) / 2);
    EXPECT_EQ(blocks, 4);
    EXPECT_EQ(hexOf(hasher.hash(path, ChecksumKind::Crc32, {}), ChecksumKind::Crc32), "9319ae9c");
  }
}

TEST(FileHasher, OneReadGivesEveryKindAskedFor) {
  TempFolder temp;
  for (const std::string& bytes : {std::string("abc"), threeAndAHalfMiB()}) {
    const std::string path = temp.write("file", bytes);
    KindSet both(ChecksumKind::Crc32);
    both.add(ChecksumKind::Md5);
    FileHasher hasher;
    const HashedFile result = hasher.hash(path, both, {});
    EXPECT_EQ(hexOf(result, ChecksumKind::Crc32), bytes.size() == 3 ? "352441c2" : "9319ae9c");
    EXPECT_EQ(hexOf(result, ChecksumKind::Md5),
              bytes.size() == 3 ? "900150983cd24fb0d6963f7d28e17f72" : "82fafbc8a4e714087016b330eb1ff74f");
  }
  FileHasher hasher;
  EXPECT_THROW(hasher.hash(temp.path() + "file", KindSet(), {}), std::invalid_argument);
}

// Data that has to come from a spinning disk: a file within the limit is
// read whole in its turn, and the next file may have the disk while this one
// is still hashed; a larger one keeps the turn to its end. Same checksums.
TEST(FileHasher, FileFromTheDiskIsReadWholeInItsTurnWhenItFits) {
  TempFolder temp;
  const std::string path = temp.write("big", threeAndAHalfMiB());
  const platform::ScopedSystemCalls restore;
  platform::systemCalls().preadv2 = [](int, const iovec*, int, off_t, int) -> ssize_t {
    errno = EAGAIN;
    return -1;
  };
  for (const std::int64_t limit : {std::int64_t{4} << 20, std::int64_t{3} << 20}) {
    SCOPED_TRACE(limit);
    RecordingTurn turn;
    FileHasher hasher = withLimit(limit);
    bool releasedWhileHashed = false;
    const ReadEvents events{{}, [&](std::int64_t) { releasedWhileHashed = releasedWhileHashed || turn.released; }};
    const HashedFile md5 = hasher.hash(path, ChecksumKind::Md5, {}, events, &turn);
    EXPECT_TRUE(turn.taken);
    EXPECT_EQ(hexOf(md5, ChecksumKind::Md5), "82fafbc8a4e714087016b330eb1ff74f");
    EXPECT_EQ(releasedWhileHashed, limit >= (7 << 20) / 2);
  }
  // Read whole, it fails or changes as it would when streamed, and the disk is free again.
  FileHasher hasher = withLimit(std::int64_t{4} << 20);
  {
    const testing::ReadsFailAfter failing(std::int64_t{2} << 20);
    RecordingTurn turn;
    EXPECT_EQ(hasher.hash(path, ChecksumKind::Crc32, {}, {}, &turn).status, FileReadStatus::ReadFailed);
    EXPECT_TRUE(turn.released);
  }
  const testing::GrowsWhileRead growing("big");
  RecordingTurn turn;
  EXPECT_EQ(hasher.hash(path, ChecksumKind::Md5, {}, {}, &turn).status, FileReadStatus::Changed);
}

TEST(FileHasher, StopBetweenBlocksLeavesNoVerdict) {
  TempFolder temp;
  const std::string path = temp.write("big", threeAndAHalfMiB());
  std::stop_source stop;
  FileHasher hasher;
  std::int64_t blocks = 0;
  const ReadEvents events{{}, [&](std::int64_t) {
                            ++blocks;
                            stop.request_stop();
                          }};
  const HashedFile result = hasher.hash(path, ChecksumKind::Md5, stop.get_token(), events);
  EXPECT_TRUE(result.cancelled);
  EXPECT_EQ(blocks, 1);
  EXPECT_TRUE(result.digests.empty());
  // The hasher starts the next file afresh.
  EXPECT_EQ(hexOf(hasher.hash(path, ChecksumKind::Md5, {}), ChecksumKind::Md5), "82fafbc8a4e714087016b330eb1ff74f");
}

TEST(FileHasher, FilesThatFailOrChangeGiveNoChecksum) {
  TempFolder temp;
  const std::string path = temp.write("big", threeAndAHalfMiB());
  FileHasher hasher;
  {
    const testing::ReadsFail failing("big");
    const HashedFile result = hasher.hash(path, ChecksumKind::Crc32, {});
    EXPECT_EQ(result.status, FileReadStatus::ReadFailed);
    EXPECT_TRUE(result.digests.empty());
  }
  {
    const testing::GrowsWhileRead growing("big");
    const HashedFile result = hasher.hash(path, ChecksumKind::Md5, {});
    EXPECT_EQ(result.status, FileReadStatus::Changed);
    EXPECT_TRUE(result.digests.empty());
  }
}

TEST(FileHasher, NamesThatCannotBeReadSayWhy) {
  TempFolder temp;
  const std::string fifo = temp.path() + "fifo";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const std::string small = temp.write("small.bin", std::string(5000, 's'));
  const std::string big = temp.write("big", threeAndAHalfMiB());
  FileHasher hasher;
  for (const ChecksumKind kind : {ChecksumKind::Crc32, ChecksumKind::Md5}) {
    const auto statusOf = [&](const std::string& path) { return hasher.hash(path, kind, {}).status; };
    EXPECT_EQ(statusOf(temp.path() + "missing"), FileReadStatus::Missing);
    EXPECT_EQ(statusOf(temp.path()), FileReadStatus::NotAFile);
    EXPECT_EQ(statusOf(fifo), FileReadStatus::NotAFile);
    {
      const testing::ReadsFailAfter failing(4096);
      EXPECT_EQ(statusOf(small), FileReadStatus::ReadFailed);
    }
    {
      const testing::ReadsFailAfter failing(2 << 20);
      EXPECT_EQ(statusOf(big), FileReadStatus::ReadFailed);
    }
    {
      const testing::GrowsWhileRead growing("small.bin");
      EXPECT_EQ(statusOf(small), FileReadStatus::Changed);
    }
    const testing::OpensFail refused;
    EXPECT_EQ(statusOf(small), FileReadStatus::OpenFailed);
  }
}

// 4 GiB of zeros and one "Z": beyond every 32-bit size and count. Sparse, so
// it takes no disk space, but it is read in full, which takes seconds.
TEST(FileHasher, FileBeyondFourGiBMatchesOtherTools) {
  TempFolder temp;
  const std::string path = temp.write("large.bin", "");
  std::error_code error;
  std::filesystem::resize_file(path, std::uintmax_t{1} << 32, error);
  if (error) GTEST_SKIP() << "no room for a sparse 4 GiB file: " << error.message();
  std::ofstream(path, std::ios::binary | std::ios::app) << 'Z';
  FileHasher hasher;
  const HashedFile crc = hasher.hash(path, ChecksumKind::Crc32, {});
  EXPECT_EQ(hexOf(crc, ChecksumKind::Crc32), "ca67aa15");  // rhash --crc32
  EXPECT_EQ(crc.bytesRead, (std::int64_t{1} << 32) + 1);
  EXPECT_EQ(hexOf(hasher.hash(path, ChecksumKind::Md5, {}), ChecksumKind::Md5),
            "08a270b4b7e52167a3e8c1a9a69e1976");  // md5sum
}

}  // namespace
}  // namespace zelk::engines
