#include "engines/algorithm.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <string>

namespace zelk::engines {
namespace {

// What other tools give for "The quick brown fox jumps over the lazy dog"
// and for nothing at all: cksfv, md5sum.
struct KnownValues {
  const char* fox;
  const char* empty;
};
const std::map<ChecksumKind, KnownValues> kKnown = {
    {ChecksumKind::Crc32, {"414fa339", "00000000"}},
    {ChecksumKind::Md5, {"9e107d9d372bb6826bd81d3542a419d6", "d41d8cd98f00b204e9800998ecf8427e"}},
};

TEST(Algorithms, EveryKindHasItsRowAndKnownValues) {
  ASSERT_EQ(Algorithms().size(), kKindCount);
  for (const Algorithm& algorithm : Algorithms()) {
    EXPECT_EQ(&AlgorithmOf(algorithm.kind), &algorithm);
    EXPECT_EQ(AlgorithmNamed(algorithm.optionName), &algorithm);
    EXPECT_TRUE(kKnown.contains(algorithm.kind)) << algorithm.optionName;
  }
  EXPECT_EQ(AlgorithmNamed("MD5"), &AlgorithmOf(ChecksumKind::Md5));
  EXPECT_EQ(AlgorithmNamed("md"), nullptr);
  EXPECT_EQ(AlgorithmNamed(""), nullptr);
}

TEST(Algorithms, DigestDoesNotDependOnHowTheBytesAreSplitAndStartsOver) {
  const std::string text = "The quick brown fox jumps over the lazy dog";
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
  for (const Algorithm& algorithm : Algorithms()) {
    const std::unique_ptr<Hasher> hasher = algorithm.makeHasher();
    for (const std::size_t split : {std::size_t{0}, std::size_t{1}, std::size_t{20}, text.size()}) {
      hasher->update({bytes, split});
      hasher->update({bytes + split, text.size() - split});
      const Digest digest = hasher->finish();
      EXPECT_EQ(digest.toHex(), kKnown.at(algorithm.kind).fox) << algorithm.optionName << ", split at " << split;
      EXPECT_EQ(digest.bytes().size(), algorithm.digestSize) << algorithm.optionName;
    }
    EXPECT_EQ(hasher->finish().toHex(), kKnown.at(algorithm.kind).empty) << algorithm.optionName;
  }
}

TEST(Digest, TextFormAndEquality) {
  EXPECT_EQ(Digest(Crc32Value(0x0000abcd)).toHex(), "0000abcd");
  EXPECT_EQ(Digest().toHex(), "");
  const std::uint8_t bytes[] = {0x00, 0xff, 0x10};
  EXPECT_EQ(Digest(bytes).toHex(), "00ff10");
  EXPECT_EQ(Digest(bytes), Digest(bytes));
  EXPECT_FALSE(Digest(std::span(bytes, 2)) == Digest(bytes));
  const std::uint8_t tooMany[Digest::kLargest + 1] = {};
  EXPECT_THROW(Digest{tooMany}, std::length_error);
}

TEST(KindSet, KeepsKindsInTableOrder) {
  KindSet set(ChecksumKind::Md5);
  set.add(ChecksumKind::Crc32);
  set.add(ChecksumKind::Md5);
  EXPECT_EQ(set.size(), 2u);
  EXPECT_EQ(set.first(), ChecksumKind::Crc32);
  std::string order;
  set.forEach([&](ChecksumKind kind) { order += AlgorithmOf(kind).optionName; });
  EXPECT_EQ(order, "crc32md5");
  EXPECT_TRUE(KindSet().empty());
}

}  // namespace
}  // namespace zelk::engines
