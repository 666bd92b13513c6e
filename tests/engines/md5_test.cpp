#include <gtest/gtest.h>

#include <cstring>

#include "engines/md5.h"
#include "tests/engines/engine_test_support.h"

namespace zelk::engines {
namespace {

Md5Digest DigestInPieces(const std::string& message, std::size_t piece) {
  TMD5Context context;
  MD5Init(context);
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(message.data());
  for (std::size_t offset = 0; offset < message.size(); offset += piece) {
    const std::size_t length = std::min(piece, message.size() - offset);
    MD5Update(context, bytes + offset, static_cast<std::uint32_t>(length));
  }
  Md5Digest digest;
  MD5Final(digest, context);
  return digest;
}

Md5Digest Digest(const std::string& message) { return DigestInPieces(message, message.size() + 1); }

using testing::kRfc1321Suite;
using testing::Rfc1321Case;

TEST(Md5, Rfc1321TestSuite) {
  for (const Rfc1321Case& c : kRfc1321Suite) EXPECT_EQ(Digest(c.message).toHex(), c.digest) << '"' << c.message << '"';
}

TEST(Md5, PieceSizesDoNotChangeTheDigest) {
  const Rfc1321Case& longest = kRfc1321Suite[6];
  for (std::size_t piece = 1; piece <= 80; ++piece) {
    EXPECT_EQ(DigestInPieces(longest.message, piece).toHex(), longest.digest) << "pieces of " << piece;
  }
  const std::string text = testing::PatternText(3145745);
  EXPECT_EQ(DigestInPieces(text, 4097).toHex(), "b055e9e0eb8acff5b0eb5fda9a6738a8");
}

// The lengths around 56 bytes are where the fill spills into a second block.
TEST(Md5, PatternBuffersMatchMd5sum) {
  for (const testing::PatternSample& sample : testing::kPatternSamples) {
    EXPECT_EQ(Digest(testing::PatternText(sample.size)).toHex(), sample.md5) << sample.size << " bytes";
  }
}

TEST(Md5, FinalLeavesTheContextZeroed) {
  TMD5Context context;
  MD5Init(context);
  MD5Update(context, reinterpret_cast<const std::uint8_t*>("abc"), 3);
  Md5Digest digest;
  MD5Final(digest, context);
  const TMD5Context zero{};
  EXPECT_EQ(std::memcmp(&context, &zero, sizeof context), 0);
  EXPECT_EQ(digest.toHex(), "900150983cd24fb0d6963f7d28e17f72");
}

}  // namespace
}  // namespace zelk::engines
