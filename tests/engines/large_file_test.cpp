#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "engines/crc32.h"
#include "engines/md5.h"
#include "tests/engines/engine_test_support.h"
#include "tests/support/temp_folder.h"

namespace zelk::engines {
namespace {

// 4 GiB of zeros and one "Z": beyond every 32-bit size and bit count. Sparse,
// so it takes no disk space, but it is read in full, which takes seconds.
class LargeFile : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = folder_.write("large.bin", "");
    std::error_code error;
    std::filesystem::resize_file(path_, std::uintmax_t{1} << 32, error);
    if (error) GTEST_SKIP() << "no room for a sparse 4 GiB file: " << error.message();
    std::ofstream(path_, std::ios::binary | std::ios::app) << 'Z';
    ASSERT_EQ(std::filesystem::file_size(path_), (std::uintmax_t{1} << 32) + 1);
  }

  zelk::testing::TempFolder folder_;
  std::string path_;
};

TEST_F(LargeFile, Crc32MatchesRhash) {
  testing::RecordingProgress progress;
  const FileChecksum<Crc32Value> result = FileCrc32WithProgress(path_, progress);
  EXPECT_EQ(result.status, FileReadStatus::Ok);
  EXPECT_EQ(result.value.toHex(), "ca67aa15");  // rhash --crc32
  EXPECT_EQ(progress.events(), testing::EveryPercentUpTo(100));
}

TEST_F(LargeFile, Md5MatchesMd5sum) {
  testing::RecordingProgress progress;
  const FileChecksum<Md5Digest> result = MD5File(path_, &progress);
  EXPECT_EQ(result.status, FileReadStatus::Ok);
  EXPECT_EQ(result.value.toHex(), "08a270b4b7e52167a3e8c1a9a69e1976");  // md5sum
  EXPECT_EQ(progress.events(), testing::EveryPercentUpTo(100));
}

}  // namespace
}  // namespace zelk::engines
