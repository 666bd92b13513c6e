#include "passes/ordered_hashing.h"

#include <gtest/gtest.h>

#include <chrono>

#include <memory>

#include <cerrno>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "engines/crc32.h"
#include "engines/md5.h"
#include "platform/system_calls.h"
#include "tests/support/failing_calls.h"
#include "tests/support/temp_folder.h"

namespace zelk::passes {
namespace {

using engines::ChecksumKind;
using engines::FileReadStatus;
using testing::TempFolder;

const auto kNoWait = [] {};

// Files of sizes around the block size, a missing one and a folder, with
// both kinds of checksum: what one reader gives, in order.
class OrderedHashingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::int64_t sizes[] = {0, 1, 4096, (1 << 20) - 1, 1 << 20, (5 << 20) / 2, 3};
    for (std::size_t i = 0; i < std::size(sizes); ++i) {
      std::string bytes(static_cast<std::size_t>(sizes[i]), '\0');
      for (std::size_t b = 0; b < bytes.size(); ++b) bytes[b] = static_cast<char>(b * 31 + i);
      const std::string path = temp_.write("f" + std::to_string(i), bytes);
      const ChecksumKind kind = i % 2 == 0 ? ChecksumKind::Md5 : ChecksumKind::Crc32;
      requests_.push_back({path, kind});
      expected_.push_back(kind == ChecksumKind::Md5 ? engines::MD5File(path, nullptr).value.toHex()
                                                    : engines::FileCrc32(path).value.toHex());
    }
    requests_.push_back({temp_.path() + "gone", ChecksumKind::Crc32});
    requests_.push_back({temp_.makeFolder("folder"), ChecksumKind::Md5});
  }

  // Hashing asked for every request.
  std::unique_ptr<OrderedHashing> hashingAll(int jobs, bool spinning, std::stop_token stop = {}) const {
    auto hashing = std::make_unique<OrderedHashing>(jobs, spinning, std::move(stop), pathOf());
    for (const Request& request : requests_) hashing->add(request.kinds);
    return hashing;
  }
  OrderedHashing::PathOf pathOf() const {
    return [this](std::size_t index, std::string& path) { path = requests_.at(index).path; };
  }

  TempFolder temp_;
  struct Request {
    std::string path;
    engines::KindSet kinds;
  };
  std::vector<Request> requests_;
  std::vector<std::string> expected_;
};

std::string hexOf(const HashedFile& result, const engines::KindSet& kinds) {
  const engines::Digest* digest = result.digests.of(kinds.first());
  return digest != nullptr ? digest->toHex() : std::string();
}

TEST_F(OrderedHashingTest, ResultsComeInRequestOrderWhateverTheWorkers) {
  for (const int jobs : {1, 2, 5, 0}) {
    for (const bool spinning : {false, true}) {
      SCOPED_TRACE("jobs " + std::to_string(jobs) + (spinning ? ", spinning disk" : ""));
      const auto hashing = hashingAll(jobs, spinning);
      for (std::size_t i = 0; i < expected_.size(); ++i) {
        const HashedFile result = hashing->next(kNoWait);
        EXPECT_EQ(result.status, FileReadStatus::Ok);
        EXPECT_EQ(hexOf(result, requests_[i].kinds), expected_[i]);
      }
      EXPECT_EQ(hashing->next(kNoWait).status, FileReadStatus::Missing);
      EXPECT_EQ(hashing->next(kNoWait).status, FileReadStatus::NotAFile);
      EXPECT_THROW(hashing->next(kNoWait), std::out_of_range);
      const std::int64_t allBytes = 1 + 4096 + (1 << 20) - 1 + (1 << 20) + (5 << 20) / 2 + 3;
      EXPECT_EQ(hashing->bytesRead(), allBytes);
      EXPECT_EQ(hashing->totalBytes(), allBytes);
    }
  }
}

// Results finished before the stop still count; nothing is read after it.
TEST_F(OrderedHashingTest, StopRequestGivesCancelledResults) {
  for (const int jobs : {1, 3}) {
    std::stop_source stop;
    stop.request_stop();
    const auto hashing = hashingAll(jobs, false, stop.get_token());
    const HashedFile result = hashing->next(kNoWait);
    EXPECT_TRUE(result.cancelled) << "jobs " << jobs;
    EXPECT_TRUE(result.digests.empty());
    EXPECT_EQ(hashing->bytesRead(), 0);
  }
}

ssize_t throwingRead(int, void*, size_t) { throw std::runtime_error("read exploded"); }

TEST_F(OrderedHashingTest, ExceptionOfAWorkerIsThrownOnTheCallingThread) {
  const platform::ScopedSystemCalls restore;
  platform::systemCalls().read = throwingRead;
  const auto hashing = hashingAll(2, false);
  EXPECT_THROW(hashing->next(kNoWait), std::runtime_error);
}

// Workers run a bounded window ahead of the pass, however many files it
// asks for: memory stays the same for ten or ten million files, and results
// still come in order.
TEST(OrderedHashingWindow, WorkersStayAWindowAheadAndResultsStayInOrder) {
  TempFolder temp;
  const std::string path = temp.write("one.txt", "abc");
  constexpr std::size_t kFiles = 10000;
  OrderedHashing hashing(2, false, {}, [&](std::size_t index, std::string& out) {
    out = index % 2 == 0 ? path : temp.path() + "gone";
  });
  for (std::size_t i = 0; i < kFiles; ++i) hashing.add(ChecksumKind::Md5);
  EXPECT_EQ(hashing.next(kNoWait).status, FileReadStatus::Ok);
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  EXPECT_LE(hashing.bytesRead(), 3 * (4096 + 1 + 2) / 2);  // every other file is read
  for (std::size_t i = 1; i < kFiles; ++i) {
    const HashedFile result = hashing.next(kNoWait);
    ASSERT_EQ(result.status, i % 2 == 0 ? FileReadStatus::Ok : FileReadStatus::Missing) << i;
    if (i % 2 == 0) {
      ASSERT_EQ(result.digests.of(ChecksumKind::Md5)->toHex(), "900150983cd24fb0d6963f7d28e17f72") << i;
    }
  }
  EXPECT_EQ(hashing.bytesRead(), 3 * static_cast<std::int64_t>(kFiles) / 2);
}

// Before anything is read, the total is what the folders tell.
TEST_F(OrderedHashingTest, TotalOfFilesNotReadYetComesFromTheirSizes) {
  OrderedHashing hashing(1, false, {}, pathOf());
  for (const Request& request : requests_) hashing.add(request.kinds);
  EXPECT_EQ(hashing.totalBytes(), 1 + 4096 + (1 << 20) - 1 + (1 << 20) + (5 << 20) / 2 + 3);
  hashing.next(kNoWait);
  EXPECT_EQ(hashing.awaitedSize(), 1);
}

// A later file never takes the disk while an earlier one may still need it,
// whichever is released first.
TEST(DiskTurns, TakenInOrderOfTheFiles) {
  std::stop_source stopped;
  stopped.request_stop();
  DiskTurns turns;
  DiskTurns::Turn first(turns, 0), second(turns, 1), third(turns, 2);
  third.release();
  EXPECT_FALSE(second.take(stopped.get_token()));  // would have waited
  EXPECT_TRUE(first.take(stopped.get_token()));
  first.release();
  EXPECT_TRUE(second.take(stopped.get_token()));
  second.release();
  DiskTurns::Turn fourth(turns, 3);
  EXPECT_TRUE(fourth.take(stopped.get_token()));  // the third was done long ago
}

TEST(WorkerCount, ZeroMeansOnePerProcessorAndTheCountIsBounded) {
  const int processors = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
  EXPECT_EQ(workerCount(0), std::min(processors, kMaxJobs));
  EXPECT_EQ(workerCount(1), 1);
  EXPECT_EQ(workerCount(-4), std::min(processors, kMaxJobs));
  EXPECT_EQ(workerCount(1000), kMaxJobs);
}

}  // namespace
}  // namespace zelk::passes
