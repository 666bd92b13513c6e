#include "engines/md5_lane_reader.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "engines/md5.h"
#include "tests/engines/engine_test_support.h"
#include "tests/support/failing_calls.h"
#include "tests/support/temp_folder.h"

namespace zelk::engines {
namespace {

using testing::PatternText;

// Runs the reader over `paths`, a file started whenever a lane is free, as
// the passes' workers do; the results by path.
std::map<std::string, HashedFile> readAll(const std::vector<std::string>& paths, const std::stop_token& stop = {},
                                          std::size_t chunkSize = Md5LaneReader::kChunkSize) {
  Md5LaneReader reader(chunkSize);
  std::map<std::string, HashedFile> results;
  std::size_t next = 0;
  while (next < paths.size() || reader.busy()) {
    while (next < paths.size() && reader.hasFreeLane()) {
      const std::string path = paths[next++];
      const auto started = reader.start(path, {}, [&results, path](HashedFile file) { results[path] = std::move(file); }, false);
      EXPECT_NE(started, Md5LaneReader::Start::Declined) << path;
    }
    reader.step(stop);
    if (stop.stop_requested()) break;
  }
  return results;
}

std::string md5Of(const HashedFile& file) {
  const Digest* digest = file.digests.of(ChecksumKind::Md5);
  return digest != nullptr ? digest->toHex() : "none";
}

// Files around every boundary a lane meets, more of them than there are
// lanes, each digest that of the scalar engine, in the largest chunks and
// in the smallest a pass with many workers reads.
TEST(Md5LaneReader, EveryFileGetsTheScalarDigestWhateverItsSize) {
  if (!Md5LaneReader::pays()) GTEST_SKIP() << "this processor runs no lanes side by side";
  for (const std::size_t chunk : {Md5LaneReader::kChunkSize, Md5LaneReader::kSmallestChunk}) {
    zelk::testing::TempFolder folder;
    std::vector<std::string> paths;
    for (const std::size_t size : {std::size_t{0}, std::size_t{1}, std::size_t{55}, std::size_t{64}, std::size_t{4096},
                                   chunk - 1, chunk, chunk + 1, 3 * chunk + 17, std::size_t{3} << 20}) {
      for (std::size_t copy = 0; copy < 2; ++copy) {
        paths.push_back(folder.write("f" + std::to_string(size) + "-" + std::to_string(copy), PatternText(size + copy)));
      }
    }
    paths.push_back(folder.path() + "missing");
    const std::map<std::string, HashedFile> results = readAll(paths, {}, chunk);
    ASSERT_EQ(results.size(), paths.size());
    for (std::size_t i = 0; i + 1 < paths.size(); ++i) {
      const HashedFile& result = results.at(paths[i]);
      EXPECT_EQ(result.status, FileReadStatus::Ok) << paths[i];
      EXPECT_EQ(md5Of(result), MD5File(paths[i], nullptr).value.toHex()) << paths[i] << " in chunks of " << chunk;
    }
    EXPECT_EQ(results.at(paths.back()).status, FileReadStatus::Missing);
  }
}

// A pass gives the lanes what its share of the buffers leaves: smaller
// chunks with many workers, none once even the smallest do not fit.
TEST(Md5LaneReader, ChunksFitTheMemoryGiven) {
  if (!Md5LaneReader::pays()) GTEST_SKIP() << "this processor runs no lanes side by side";
  const std::size_t largest = Md5LaneReader::kChunkSize, smallest = Md5LaneReader::kSmallestChunk;
  EXPECT_EQ(Md5LaneReader::chunkSizeWithin(std::int64_t{1} << 30), largest);
  EXPECT_EQ(Md5LaneReader::chunkSizeWithin(Md5LaneReader::memoryFor(largest)), largest);
  EXPECT_EQ(Md5LaneReader::chunkSizeWithin(Md5LaneReader::memoryFor(largest) - 1), largest / 2);
  EXPECT_EQ(Md5LaneReader::chunkSizeWithin(Md5LaneReader::memoryFor(smallest)), smallest);
  EXPECT_EQ(Md5LaneReader::chunkSizeWithin(Md5LaneReader::memoryFor(smallest) - 1), 0U);
  EXPECT_EQ(Md5LaneReader::chunkSizeWithin(0), 0U);
}

TEST(Md5LaneReader, FilesThatFailChangeOrAreTooLargeGetNoDigest) {
  if (!Md5LaneReader::pays()) GTEST_SKIP() << "this processor runs no lanes side by side";
  zelk::testing::TempFolder folder;
  const std::string broken = folder.write("broken", PatternText(std::size_t{1} << 20));
  const std::string growing = folder.write("growing", PatternText(5000));
  const std::string fine = folder.write("fine", "abc");
  {
    const zelk::testing::ReadsFail failing("broken");
    const zelk::testing::GrowsWhileRead grows("growing");
    const auto results = readAll({broken, growing, fine});
    EXPECT_EQ(results.at(broken).status, FileReadStatus::ReadFailed);
    EXPECT_EQ(results.at(growing).status, FileReadStatus::Changed);
    EXPECT_TRUE(results.at(broken).digests.empty());
    EXPECT_EQ(md5Of(results.at(fine)), "900150983cd24fb0d6963f7d28e17f72");
  }
  std::stop_source stop;
  stop.request_stop();
  EXPECT_TRUE(readAll({fine}, stop.get_token()).empty());
  Md5LaneReader reader;
  const std::string large = folder.write("large", "");
  std::filesystem::resize_file(large, Md5LaneReader::kLargestFile);
  EXPECT_EQ(reader.start(large, {}, [](HashedFile) { FAIL() << "a declined file has no result"; }, false),
            Md5LaneReader::Start::Declined);
  EXPECT_FALSE(reader.busy());
}

}  // namespace
}  // namespace zelk::engines
