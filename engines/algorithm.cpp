#include "engines/algorithm.h"

#include <array>

#include "engines/crc32.h"
#include "engines/library_hashers.h"
#include "engines/md5.h"
#include "platform/ascii.h"

namespace zelk::engines {
namespace {

constexpr std::array<Algorithm, kKindCount> kAlgorithms{{
    {ChecksumKind::Crc32, "CRC32", "crc32", 4, false, MakeCrc32Hasher},
    {ChecksumKind::Md5, "MD5", "md5", 16, true, MakeMd5Hasher},
    {ChecksumKind::Sha1, "SHA-1", "sha1", 20, true, [] { return MakeOpenSslHasher("SHA1"); }},
    {ChecksumKind::Sha256, "SHA-256", "sha256", 32, true, [] { return MakeOpenSslHasher("SHA256"); }},
    {ChecksumKind::Sha512, "SHA-512", "sha512", 64, true, [] { return MakeOpenSslHasher("SHA512"); }},
    {ChecksumKind::Blake3, "BLAKE3", "blake3", 32, true, MakeBlake3Hasher},
    {ChecksumKind::Xxh128, "XXH128", "xxh128", 16, false, MakeXxh128Hasher},
}};

constexpr bool rowsInKindOrder() {
  for (std::size_t i = 0; i < kAlgorithms.size(); ++i) {
    if (static_cast<std::size_t>(kAlgorithms[i].kind) != i) return false;
  }
  return true;
}
static_assert(rowsInKindOrder(), "AlgorithmOf looks a kind up by its number");

}  // namespace

std::span<const Algorithm> Algorithms() { return kAlgorithms; }

const Algorithm& AlgorithmOf(ChecksumKind kind) { return kAlgorithms.at(static_cast<std::size_t>(kind)); }

const Algorithm* AlgorithmNamed(std::string_view name) {
  for (const Algorithm& algorithm : kAlgorithms) {
    if (platform::equalIgnoringAsciiCase(algorithm.optionName, name)) return &algorithm;
  }
  return nullptr;
}

}  // namespace zelk::engines
