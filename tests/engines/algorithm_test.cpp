#include "engines/algorithm.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <string>

namespace zelk::engines {
namespace {

// What other tools give for "The quick brown fox jumps over the lazy dog"
// and for nothing at all: cksfv, md5sum, sha1sum, sha256sum, sha512sum,
// b3sum, xxhsum -H2.
struct KnownValues {
  const char* fox;
  const char* empty;
};
const std::map<ChecksumKind, KnownValues> kKnown = {
    {ChecksumKind::Crc32, {"414fa339", "00000000"}},
    {ChecksumKind::Md5, {"9e107d9d372bb6826bd81d3542a419d6", "d41d8cd98f00b204e9800998ecf8427e"}},
    {ChecksumKind::Sha1, {"2fd4e1c67a2d28fced849ee1bb76e7391b93eb12", "da39a3ee5e6b4b0d3255bfef95601890afd80709"}},
    {ChecksumKind::Sha256, {"d7a8fbb307d7809469ca9abcb0082e4f8d5651e46d3cdb762d02d0bf37c9e592",
                            "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"}},
    {ChecksumKind::Sha512, {"07e547d9586f6a73f73fbac0435ed76951218fb7d0c8d788a309d785436bbb64"
                            "2e93a252a954f23912547d1e8a3b5ed6e1bfd7097821233fa0538f3db854fee6",
                            "cf83e1357eefb8bdf1542850d66d8007d620e4050b5715dc83f4a921d36ce9ce"
                            "47d0d13c5d85f2b0ff8318d2877eec2f63b931bd47417a81a538327af927da3e"}},
    {ChecksumKind::Blake3, {"2f1514181aadccd913abd94cfa592701a5686ab23f8df1dff1b74710febc6d4a",
                            "af1349b9f5f9a1a6a0404dea36dcc9499bcb25c9adc112b7cc9a93cae41f3262"}},
    {ChecksumKind::Xxh128, {"ddd650205ca3e7fa24a1cc2e3a8a7651", "99aa06d3014798d86001c324468d497f"}},
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
