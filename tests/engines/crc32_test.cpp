#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <random>

#include "engines/crc32.h"
#include "engines/crc32_kernels.h"
#include "tests/engines/engine_test_support.h"

namespace zelk::engines {
namespace {

using testing::Pattern;

std::span<const std::uint8_t> Bytes(const char* text) {
  return {reinterpret_cast<const std::uint8_t*>(text), std::strlen(text)};
}

TEST(Crc32Table, HoldsTheReflectedPolynomialTable) {
  EXPECT_EQ(Crc32Table[0], 0x00000000u);
  EXPECT_EQ(Crc32Table[1], 0x77073096u);
  EXPECT_EQ(Crc32Table[128], 0xEDB88320u);
  EXPECT_EQ(Crc32Table[255], 0x2D02EF8Du);
  for (std::uint32_t i = 0; i < 256; ++i) {
    std::uint32_t entry = i;
    for (int bit = 0; bit < 8; ++bit) entry = (entry >> 1) ^ ((entry & 1) ? 0xEDB88320u : 0u);
    EXPECT_EQ(Crc32Table[i], entry) << "entry " << i;
  }
}

TEST(Crc32, CheckValueOfTheNineDigits) {
  EXPECT_EQ(StreamCrc32(Bytes("123456789")).value(), 0xCBF43926u);
  EXPECT_EQ(StreamCrc32(Bytes("123456789")).toHex(), "cbf43926");
  const std::span<const std::uint8_t> digits = Bytes("123456789");
  EXPECT_EQ(UpdateCrc32Bytewise(0xFFFFFFFF, digits.data(), 9) ^ 0xFFFFFFFF, 0xCBF43926u);
}

TEST(Crc32, EmptyInputGivesZero) {
  EXPECT_EQ(StreamCrc32({}).value(), 0u);
  EXPECT_EQ(StreamCrc32({}).toHex(), "00000000");
}

TEST(Crc32, CountOfZeroOrBelowLeavesTheRegister) {
  const std::uint8_t byte = 0x5A;
  for (const std::int64_t count : {std::int64_t{0}, std::int64_t{-1}, std::numeric_limits<std::int64_t>::min()}) {
    EXPECT_EQ(UpdateCrc32(0x12345678, &byte, count), 0x12345678u) << count;
    EXPECT_EQ(UpdateCrc32Bytewise(0x12345678, &byte, count), 0x12345678u) << count;
  }
}

TEST(Crc32, PatternBuffersMatchRhash) {
  for (const testing::PatternSample& sample : testing::kPatternSamples) {
    EXPECT_EQ(StreamCrc32(Pattern(sample.size)).toHex(), sample.crc32) << sample.size << " bytes";
  }
}

TEST(Crc32Value, TextKeepsEightLowerCaseDigits) {
  const std::pair<std::uint32_t, const char*> cases[] = {
      {0x00000000, "00000000"}, {0x0000ABCD, "0000abcd"}, {0x0FFFFFFF, "0fffffff"}, {0xFEDCBA98, "fedcba98"}};
  for (const auto& [value, text] : cases) EXPECT_EQ(Crc32Value(value).toHex(), text);
}

// Every kernel the processor runs, against the byte-wise loop.
class Crc32Kernels : public ::testing::Test {
 protected:
  void expectAgreement(std::size_t size, std::size_t misalignment, std::uint32_t crc) {
    const std::uint8_t* data = buffer_.data() + misalignment;
    const std::uint32_t expected = UpdateCrc32Bytewise(crc, data, static_cast<std::int64_t>(size));
    for (const detail::NamedCrc32Kernel& kernel : detail::SupportedCrc32Kernels()) {
      ASSERT_EQ(kernel.update(crc, data, size), expected)
          << kernel.name << ", " << size << " bytes at offset " << misalignment;
    }
    ASSERT_EQ(UpdateCrc32(crc, data, static_cast<std::int64_t>(size)), expected);
  }

  std::mt19937 random_{20240601};
  std::vector<std::uint8_t> buffer_ = RandomBytes((std::size_t{9} << 20) + 128);

 private:
  std::vector<std::uint8_t> RandomBytes(std::size_t size) {
    std::vector<std::uint8_t> bytes(size);
    for (std::uint8_t& byte : bytes) byte = static_cast<std::uint8_t>(random_());
    return bytes;
  }
};

TEST_F(Crc32Kernels, AgreeWithBytewiseForEveryLengthUpTo1024) {
  for (std::size_t size = 0; size <= 1024; ++size) {
    expectAgreement(size, random_() % 64, static_cast<std::uint32_t>(random_()));
  }
}

TEST_F(Crc32Kernels, AgreeWithBytewiseOnLargeBuffers) {
  const std::size_t sizes[] = {4095, 65536, 65537, (std::size_t{1} << 20) - 1, (std::size_t{9} << 20) + 3};
  for (const std::size_t size : sizes) expectAgreement(size, random_() % 64, static_cast<std::uint32_t>(random_()));
}

TEST_F(Crc32Kernels, RegisterCarriesAcrossPieces) {
  const std::size_t size = 3 << 20;
  const std::uint32_t whole = UpdateCrc32Bytewise(0xFFFFFFFF, buffer_.data(), size);
  for (int trial = 0; trial < 8; ++trial) {
    const std::size_t split = random_() % size;
    const std::uint32_t first = UpdateCrc32(0xFFFFFFFF, buffer_.data(), static_cast<std::int64_t>(split));
    EXPECT_EQ(UpdateCrc32(first, buffer_.data() + split, static_cast<std::int64_t>(size - split)), whole) << split;
  }
}

}  // namespace
}  // namespace zelk::engines
