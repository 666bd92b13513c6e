#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <random>
#include <stdexcept>

#include "engines/md5.h"
#include "engines/md5_lanes.h"
#include "tests/engines/engine_test_support.h"

namespace zelk::engines {
namespace detail {

void PrintTo(const NamedMd5LanesKernel& kernel, std::ostream* out) { *out << kernel.name; }

}  // namespace detail

namespace {

using detail::NamedMd5LanesKernel;

constexpr std::size_t kMiB = std::size_t{1} << 20;

Md5Digest ScalarDigest(std::span<const std::uint8_t> message) {
  TMD5Context context;
  MD5Init(context);
  MD5Update(context, message.data(), static_cast<std::uint32_t>(message.size()));
  Md5Digest digest;
  MD5Final(digest, context);
  return digest;
}

std::span<const std::uint8_t> Bytes(const char* text) {
  return {reinterpret_cast<const std::uint8_t*>(text), std::strlen(text)};
}

// One message through the lanes, fed in pieces of `piece` bytes. With
// `finishAtOnce` the lane is finished right after its last piece, before
// advance() has run it and without endMessage().
struct Job {
  std::span<const std::uint8_t> message;
  std::size_t piece;
  bool finishAtOnce = false;
};

// Runs the jobs through the lanes the way a reader would: every lane busy, a
// finished lane taking the next job while the others go on. Each piece is
// copied into the lane's scratch buffer, which is overwritten as soon as the
// lane is drained, so a lane that kept reading the caller's memory gives a
// wrong digest. Returns the digests in job order.
std::vector<Md5Digest> RunJobs(Md5Lanes& lanes, const std::vector<Job>& jobs) {
  constexpr std::size_t kNone = ~std::size_t{0};
  struct Slot {
    std::size_t job = kNone;
    std::size_t fed = 0;
    bool ended = false;
    std::vector<std::uint8_t> scratch;
  };
  std::vector<Slot> slots(lanes.width());
  std::vector<Md5Digest> digests(jobs.size());
  std::size_t next = 0;
  for (std::size_t done = 0; done < jobs.size(); lanes.advance()) {
    for (std::size_t lane = 0; lane < slots.size(); ++lane) {
      Slot& slot = slots[lane];
      if (slot.job == kNone && next < jobs.size()) {
        slot.job = next++;
        slot.fed = 0;
        slot.ended = false;
        lanes.start(lane);
      }
      if (slot.job == kNone || !lanes.drained(lane)) continue;
      std::fill(slot.scratch.begin(), slot.scratch.end(), std::uint8_t{0xA5});
      const Job& job = jobs[slot.job];
      if (slot.fed < job.message.size()) {
        // Pieces start at varying offsets from the scratch buffer's start.
        const std::size_t size = std::min(job.piece, job.message.size() - slot.fed);
        const std::size_t offset = (slot.job + slot.fed) % 61;
        slot.scratch.resize(std::max(slot.scratch.size(), offset + size));
        std::copy_n(job.message.data() + slot.fed, size, slot.scratch.data() + offset);
        lanes.feed(lane, {slot.scratch.data() + offset, size});
        slot.fed += size;
        if (slot.fed < job.message.size() || !job.finishAtOnce) continue;
      } else if (!slot.ended && !job.finishAtOnce) {
        lanes.endMessage(lane);
        slot.ended = true;
        continue;
      }
      digests[slot.job] = lanes.finish(lane);
      slot.job = kNone;
      ++done;
    }
  }
  return digests;
}

class Md5LanesKernels : public ::testing::TestWithParam<NamedMd5LanesKernel> {
 protected:
  void expectDigests(const std::vector<Job>& jobs, const std::vector<std::string>& expected) {
    Md5Lanes lanes(GetParam());
    const std::vector<Md5Digest> digests = RunJobs(lanes, jobs);
    for (std::size_t i = 0; i < jobs.size(); ++i) {
      EXPECT_EQ(digests[i].toHex(), expected[i]) << "job " << i << ": " << jobs[i].message.size() << " bytes in pieces of "
                                                 << jobs[i].piece << (jobs[i].finishAtOnce ? ", finished at once" : "");
    }
  }

  void expectScalarDigests(const std::vector<Job>& jobs) {
    std::vector<std::string> expected;
    for (const Job& job : jobs) expected.push_back(ScalarDigest(job.message).toHex());
    expectDigests(jobs, expected);
  }

  // Made once for all the tests: 9 MiB of random bytes.
  static std::span<const std::uint8_t> message(std::size_t offset, std::size_t size) {
    static const std::vector<std::uint8_t> random = [] {
      std::mt19937 generator(20240607);
      std::vector<std::uint8_t> bytes(9 * kMiB);
      for (std::uint8_t& byte : bytes) byte = static_cast<std::uint8_t>(generator());
      return bytes;
    }();
    return std::span<const std::uint8_t>(random).subspan(offset, size);
  }
};

TEST_P(Md5LanesKernels, WidthIsTheKernels) { EXPECT_EQ(Md5Lanes(GetParam()).width(), GetParam().lanes); }

TEST_P(Md5LanesKernels, Rfc1321TestSuiteInEveryLane) {
  std::vector<Job> jobs;
  std::vector<std::string> expected;
  for (std::size_t i = 0; i < 3 * 16; ++i) {
    const testing::Rfc1321Case& c = testing::kRfc1321Suite[i % std::size(testing::kRfc1321Suite)];
    jobs.push_back({Bytes(c.message), 1 + i % 5});
    expected.push_back(c.digest);
  }
  expectDigests(jobs, expected);
}

TEST_P(Md5LanesKernels, PatternBuffersMatchMd5sum) {
  std::vector<std::vector<std::uint8_t>> patterns;
  patterns.reserve(testing::kPatternSamples.size());
  std::vector<Job> jobs;
  std::vector<std::string> expected;
  for (const testing::PatternSample& sample : testing::kPatternSamples) {
    patterns.push_back(testing::Pattern(sample.size));
    jobs.push_back({patterns.back(), kMiB});
    expected.push_back(sample.md5);
  }
  expectDigests(jobs, expected);
}

// The pieces end inside a block, on its edge and across several; every
// fourth job is finished without endMessage() or a last advance().
TEST_P(Md5LanesKernels, EveryLengthUpTo300MatchesTheScalarEngine) {
  const std::size_t pieces[] = {1, 3, 17, 63, 64, 65, 127, 128, 200, 301};
  std::vector<Job> jobs;
  for (std::size_t size = 0; size <= 300; ++size) {
    jobs.push_back({message(size * 13, size), pieces[size % std::size(pieces)], size % 4 == 3});
  }
  expectScalarDigests(jobs);
}

TEST_P(Md5LanesKernels, LargeMessagesBesideShortOnesMatchTheScalarEngine) {
  const std::vector<Job> jobs = {
      {message(0, 3 * kMiB + 17), kMiB},         {message(5, 100), 7},
      {message(1, kMiB - 1), 4097},              {message(7, 2 * kMiB), 2 * kMiB},
      {message(3, 4 * kMiB + 100), 65537},       {message(11, 64), 64},
      {message(9, kMiB + 1), kMiB, true},        {message(2, 2 * kMiB - 65), 3 * 64 * 1024 + 1},
      {message(13, 5 * kMiB + 55), 5 * kMiB + 55}, {message(17, 1), 1},
  };
  expectScalarDigests(jobs);
}

TEST_P(Md5LanesKernels, RestartedLaneDropsItsMessageWhileOthersRun) {
  Md5Lanes lanes(GetParam());
  const std::size_t last = lanes.width() - 1;
  for (std::size_t lane = 0; lane < lanes.width(); ++lane) {
    lanes.start(lane);
    lanes.feed(lane, message(lane, 1000 + 64 * lane));
  }
  lanes.advance();
  // The last lane has the most blocks and is still running.
  ASSERT_TRUE(lanes.width() == 1 || !lanes.drained(last));
  lanes.start(last);
  EXPECT_TRUE(lanes.drained(last));
  lanes.feed(last, message(99, 333));
  while (!lanes.drained(last)) lanes.advance();
  for (std::size_t lane = 0; lane + 1 < lanes.width(); ++lane) {
    EXPECT_EQ(lanes.finish(lane), ScalarDigest(message(lane, 1000 + 64 * lane))) << lane;
  }
  EXPECT_EQ(lanes.finish(last), ScalarDigest(message(99, 333)));
}

TEST_P(Md5LanesKernels, MisuseThrowsAndLeavesTheLaneAsItWas) {
  const std::span<const std::uint8_t> bytes = message(0, 200);
  struct Misuse {
    const char* what;
    std::function<void(Md5Lanes&)> call;
    bool outOfRange;
  };
  const Misuse misuses[] = {
      {"feed before the blocks ran", [&](Md5Lanes& l) { l.feed(0, bytes); }, false},
      {"start a lane beyond the width", [](Md5Lanes& l) { l.start(l.width()); }, true},
      {"ask a lane beyond the width", [](Md5Lanes& l) { (void)l.drained(l.width()); }, true},
      {"finish a lane beyond the width", [](Md5Lanes& l) { (void)l.finish(l.width()); }, true},
  };
  for (const Misuse& misuse : misuses) {
    Md5Lanes lanes(GetParam());
    lanes.start(0);
    lanes.feed(0, bytes);
    if (misuse.outOfRange) {
      EXPECT_THROW(misuse.call(lanes), std::out_of_range) << misuse.what;
    } else {
      EXPECT_THROW(misuse.call(lanes), std::logic_error) << misuse.what;
    }
    EXPECT_EQ(lanes.finish(0), ScalarDigest(bytes)) << misuse.what;
  }
}

TEST_P(Md5LanesKernels, LanesNotStartedOrEndedRefuseInput) {
  Md5Lanes lanes(GetParam());
  const std::span<const std::uint8_t> bytes = message(0, 10);
  EXPECT_THROW(lanes.feed(0, bytes), std::logic_error);
  EXPECT_THROW(lanes.endMessage(0), std::logic_error);
  EXPECT_THROW((void)lanes.finish(0), std::logic_error);
  lanes.start(0);
  lanes.feed(0, bytes);
  lanes.endMessage(0);
  lanes.endMessage(0);
  EXPECT_THROW(lanes.feed(0, bytes), std::logic_error);
  EXPECT_EQ(lanes.finish(0), ScalarDigest(bytes));
  EXPECT_THROW((void)lanes.finish(0), std::logic_error);
}

// The kernel alone: idle lanes keep their state and their pointers (null
// here) are never read. A vector kernel ignores the lanes beyond its width.
TEST_P(Md5LanesKernels, KernelRunsTheActiveLanesOnly) {
  const std::size_t width = GetParam().lanes == 1 ? detail::kMd5MaxLanes : GetParam().lanes;
  const std::uint32_t all = (1u << width) - 1;
  const std::uint32_t masks[] = {0, 1, 1u << (width - 1), 0xAAAA & all, 0x5555 & all, all, 0xFFFF};
  for (const std::uint32_t mask : masks) {
    for (const std::size_t blockCount : {std::size_t{0}, std::size_t{1}, std::size_t{3}}) {
      detail::Md5LaneStates states;
      detail::Md5LanePointers pointers{};
      for (std::size_t lane = 0; lane < detail::kMd5MaxLanes; ++lane) {
        for (std::size_t w = 0; w < 4; ++w) states.words[w][lane] = static_cast<std::uint32_t>(lane * 0x01010101u + w);
        if (lane < width && (mask >> lane & 1)) pointers[lane] = message(1000 * lane + lane % 7, 192).data();
      }
      const detail::Md5LaneStates before = states;
      GetParam().advance(states, pointers, mask, blockCount);
      for (std::size_t lane = 0; lane < detail::kMd5MaxLanes; ++lane) {
        std::uint32_t expected[4];
        for (std::size_t w = 0; w < 4; ++w) expected[w] = before.words[w][lane];
        if (pointers[lane] != nullptr) {
          for (std::size_t i = 0; i < blockCount; ++i) MD5Transform(expected, pointers[lane] + 64 * i);
        }
        for (std::size_t w = 0; w < 4; ++w) {
          EXPECT_EQ(states.words[w][lane], expected[w]) << "mask " << mask << ", lane " << lane << ", word " << w;
        }
      }
    }
  }
}

std::string KernelName(const ::testing::TestParamInfo<NamedMd5LanesKernel>& kernel) { return kernel.param.name; }

INSTANTIATE_TEST_SUITE_P(Supported, Md5LanesKernels, ::testing::ValuesIn(detail::SupportedMd5LanesKernels()),
                         KernelName);

TEST(Md5Lanes, UsesTheFastestSupportedKernel) {
  EXPECT_EQ(Md5Lanes().width(), detail::SupportedMd5LanesKernels().back().lanes);
}

// The scalar engine ends a message the same way when its bit count is set to
// a length beyond 4 GiB, which no test can feed.
TEST(Md5Padding, CountsLengthsIn64Bits) {
  const std::uint64_t lengths[] = {0, 55, 56, 63, 64, 119, (std::uint64_t{1} << 29) + 7, (std::uint64_t{1} << 32) - 1,
                                   std::uint64_t{1} << 32, (std::uint64_t{5} << 32) + 57, ~std::uint64_t{0}};
  const std::span<const std::uint8_t> tail = Bytes("0123456789012345678901234567890123456789012345678901234567890123");
  for (const std::uint64_t length : lengths) {
    const std::size_t tailSize = static_cast<std::size_t>(length % 64);
    TMD5Context context;
    MD5Init(context);
    context.count[0] = static_cast<std::uint32_t>(length << 3);
    context.count[1] = static_cast<std::uint32_t>(length >> 29);
    std::memcpy(context.buffer, tail.data(), tailSize);
    std::uint32_t state[4];
    std::memcpy(state, context.state, sizeof state);
    Md5Digest expected;
    MD5Final(expected, context);

    std::uint8_t blocks[128];
    std::memcpy(blocks, tail.data(), tailSize);
    const std::size_t count = detail::WriteMd5Padding(blocks, tailSize, length);
    EXPECT_EQ(count, tailSize < 56 ? 1u : 2u) << length;
    for (std::size_t i = 0; i < count; ++i) MD5Transform(state, blocks + 64 * i);
    Md5Digest::Bytes bytes;
    for (std::size_t i = 0; i < 16; ++i) bytes[i] = static_cast<std::uint8_t>(state[i / 4] >> (8 * (i % 4)));
    EXPECT_EQ(Md5Digest(bytes), expected) << length;
  }
}

}  // namespace
}  // namespace zelk::engines
