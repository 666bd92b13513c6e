#include "engines/file_hasher.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>
#include <sys/uio.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

#include "platform/system_calls.h"
#include "tests/engines/engine_test_support.h"
#include "tests/support/failing_calls.h"
#include "tests/support/temp_folder.h"

namespace zelk::engines {
namespace {

using zelk::testing::TempFolder;

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
    const zelk::testing::ReadsFailAfter failing(std::int64_t{2} << 20);
    RecordingTurn turn;
    EXPECT_EQ(hasher.hash(path, ChecksumKind::Crc32, {}, {}, &turn).status, FileReadStatus::ReadFailed);
    EXPECT_TRUE(turn.released);
  }
  const zelk::testing::GrowsWhileRead growing("big");
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
    const zelk::testing::ReadsFail failing("big");
    const HashedFile result = hasher.hash(path, ChecksumKind::Crc32, {});
    EXPECT_EQ(result.status, FileReadStatus::ReadFailed);
    EXPECT_TRUE(result.digests.empty());
  }
  {
    const zelk::testing::GrowsWhileRead growing("big");
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
      const zelk::testing::ReadsFailAfter failing(4096);
      EXPECT_EQ(statusOf(small), FileReadStatus::ReadFailed);
    }
    {
      const zelk::testing::ReadsFailAfter failing(2 << 20);
      EXPECT_EQ(statusOf(big), FileReadStatus::ReadFailed);
    }
    {
      const zelk::testing::GrowsWhileRead growing("small.bin");
      EXPECT_EQ(statusOf(small), FileReadStatus::Changed);
    }
    const zelk::testing::OpensFail refused;
    EXPECT_EQ(statusOf(small), FileReadStatus::OpenFailed);
  }
}

// BLAKE3 reads a file of two pieces or more on several threads; whatever
// its tail, the digest is b3sum's and every byte is told.
TEST(FileHasher, Blake3OfAFileReadInPiecesMatchesB3sum) {
  TempFolder temp;
  const struct {
    std::size_t size;
    const char* b3sum;
  } cases[] = {
      {(4u << 20) + 1, "5edaa829e2d3b2486785c0ba5bc7de4f644b2d5a37ef27a351f11e62bb3a75df"},  // two pieces and a byte
      {6u << 20, "0b9bf0bd50decf5f565a1774ca7665f92085d635dc667d8c4b320b1c7ef5f63e"},        // a whole piece as tail
      {(6u << 20) + 1, "6613781e6a0ff489aed37832a3b0371cc45cb3fb999cec8997d1c0de3964b5b2"},
      {(9u << 20) + 1, "3ad55af82c7cc41b42a6dcc751b125ae1be1a34b88be2e32af34fbb52c67635b"},
  };
  FileHasher hasher;
  for (const auto& c : cases) {
    const std::string path = temp.write("pieces.bin", engines::testing::PatternText(c.size));
    std::int64_t told = 0;
    const ReadEvents events{{}, [&](std::int64_t bytes) { told += bytes; }};
    const HashedFile result = hasher.hash(path, ChecksumKind::Blake3, {}, events);
    EXPECT_EQ(hexOf(result, ChecksumKind::Blake3), c.b3sum) << c.size;
    EXPECT_EQ(result.bytesRead, static_cast<std::int64_t>(c.size));
    EXPECT_EQ(told, result.bytesRead);
  }
}

// Growth shows in the end, read as any file's (FilesThatFailOrChangeGiveNoChecksum).
TEST(FileHasher, Blake3FileReadInPiecesThatFailsShrinksOrStopsGivesNoDigest) {
  TempFolder temp;
  const std::string bytes = engines::testing::PatternText((9u << 20) + 1);
  const std::string path = temp.write("pieces.bin", bytes);
  FileHasher hasher;
  const auto statusOf = [&](const std::stop_token& stop = {}, const ReadEvents& events = {}) {
    const HashedFile result = hasher.hash(path, ChecksumKind::Blake3, stop, events);
    EXPECT_TRUE(result.digests.empty());
    return result.cancelled ? "stopped" : result.status == FileReadStatus::ReadFailed ? "failed"
                                      : result.status == FileReadStatus::Changed      ? "changed"
                                                                                      : "other";
  };
  {
    const zelk::testing::ReadsFail failing("pieces.bin");
    EXPECT_STREQ(statusOf(), "failed");
  }
  {
    const zelk::testing::ReadsFailAfter failing(std::int64_t{5} << 20);  // within the third piece
    EXPECT_STREQ(statusOf(), "failed");
  }
  {
    // Cut to 3 MiB once open: the second piece comes back short.
    const platform::ScopedSystemCalls restore;
    platform::systemCalls().pread = [](int fd, void* buffer, size_t size, off_t offset) -> ssize_t {
      [[maybe_unused]] const int cut = ::truncate(("/proc/self/fd/" + std::to_string(fd)).c_str(), 3 << 20);
      return ::pread(fd, buffer, size, offset);
    };
    EXPECT_STREQ(statusOf(), "changed");
  }
  temp.write("pieces.bin", bytes);
  std::stop_source stop;
  EXPECT_STREQ(statusOf(stop.get_token(), {{}, [&](std::int64_t) { stop.request_stop(); }}), "stopped");
  // The hasher starts the next file afresh.
  EXPECT_EQ(hexOf(hasher.hash(path, ChecksumKind::Blake3, {}), ChecksumKind::Blake3),
            "3ad55af82c7cc41b42a6dcc751b125ae1be1a34b88be2e32af34fbb52c67635b");
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
  EXPECT_EQ(hexOf(hasher.hash(path, ChecksumKind::Blake3, {}), ChecksumKind::Blake3),
            "e7bf09640f17fb25ea20850bccb98f003c783718f4ed318747af849a126c8a52");  // b3sum
}

}  // namespace
}  // namespace zelk::engines
