#include "engines/running_checksum.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace zelk::engines {
namespace {

// Values of md5sum and cksfv.
TEST(RunningChecksum, ValueDoesNotDependOnHowTheBytesAreSplit) {
  const std::string text = "The quick brown fox jumps over the lazy dog";
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
  const struct {
    ChecksumKind kind;
    const char* expected;
  } cases[] = {{ChecksumKind::Crc32, "414fa339"}, {ChecksumKind::Md5, "9e107d9d372bb6826bd81d3542a419d6"}};
  for (const auto& c : cases) {
    for (const std::size_t split : {std::size_t{0}, std::size_t{1}, std::size_t{20}, text.size()}) {
      RunningChecksum checksum(c.kind);
      checksum.update(bytes, split);
      checksum.update(bytes + split, text.size() - split);
      EXPECT_EQ(checksum.finishHex(), c.expected) << "split at " << split;
    }
  }
}

TEST(RunningChecksum, StartsOverAfterFinishing) {
  for (const auto& [kind, empty] : {std::pair{ChecksumKind::Crc32, "00000000"},
                                    std::pair{ChecksumKind::Md5, "d41d8cd98f00b204e9800998ecf8427e"}}) {
    RunningChecksum checksum(kind);
    const std::uint8_t byte = 'a';
    checksum.update(&byte, 1);
    checksum.finishHex();
    EXPECT_EQ(checksum.finishHex(), empty);
  }
}

}  // namespace
}  // namespace zelk::engines
