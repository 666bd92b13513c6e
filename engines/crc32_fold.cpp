// CRC-32 by folding: the message is a polynomial over GF(2), and a 128-bit
// piece that lies `bits` before the end of the part still to come can be
// replaced by its product with x^bits mod P without changing the remainder.
// Carry-less multiplication does that for four (or sixteen) lanes at once;
// the one 128-bit lane left at the end is finished by the table loop, since
// the register of the original bytes equals the register of that lane.
#include "engines/crc32_kernels.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define ZELK_CRC32_FOLDING 1
#endif

namespace zelk::engines::detail {

#ifdef ZELK_CRC32_FOLDING
namespace {

// x^n mod P in the reflected form (bit 31 is x^0), shifted left once: the
// product of two reflected operands comes out one bit low, and the shift
// puts it back in line.
constexpr std::uint64_t XPowerModP(unsigned n) {
  std::uint32_t r = 0x80000000;
  for (unsigned i = 0; i < n; ++i) r = (r >> 1) ^ ((r & 1) ? 0xEDB88320 : 0);
  return std::uint64_t{r} << 1;
}

// Multipliers that move a 128-bit lane `bits` further on. Its low half holds
// the earlier bytes, which are 64 bits further from the end than its high
// half; the 32 is the degree of P, which the register result carries.
struct FoldMultipliers {
  long long low;
  long long high;
};

constexpr FoldMultipliers FoldBy(unsigned bits) {
  return {static_cast<long long>(XPowerModP(bits + 32)), static_cast<long long>(XPowerModP(bits - 32))};
}

#define ZELK_TARGET_CLMUL __attribute__((target("pclmul,sse2")))
#define ZELK_TARGET_VCLMUL __attribute__((target("avx512f,avx512vl,vpclmulqdq,pclmul,sse2")))

ZELK_TARGET_CLMUL __m128i Load128(const std::uint8_t* data) {
  return _mm_loadu_si128(reinterpret_cast<const __m128i*>(data));
}

ZELK_TARGET_CLMUL __m128i Multipliers128(FoldMultipliers m) { return _mm_set_epi64x(m.high, m.low); }

// The lane `x` carried forward onto `next`.
ZELK_TARGET_CLMUL __m128i Fold128(__m128i x, __m128i multipliers, __m128i next) {
  const __m128i low = _mm_clmulepi64_si128(x, multipliers, 0x00);
  const __m128i high = _mm_clmulepi64_si128(x, multipliers, 0x11);
  return _mm_xor_si128(_mm_xor_si128(low, high), next);
}

// Folds the whole 16-byte pieces, then gives the register over the last lane
// and the bytes that do not fill a piece.
ZELK_TARGET_CLMUL std::uint32_t Finish(__m128i x, const std::uint8_t* data, std::size_t count) {
  const __m128i by1 = Multipliers128(FoldBy(128));
  for (; count >= 16; data += 16, count -= 16) x = Fold128(x, by1, Load128(data));
  std::uint8_t lane[16];
  _mm_storeu_si128(reinterpret_cast<__m128i*>(lane), x);
  return UpdateCrc32Slicing(UpdateCrc32Slicing(0, lane, sizeof lane), data, count);
}

ZELK_TARGET_VCLMUL __m512i Load512(const std::uint8_t* data) { return _mm512_loadu_si512(data); }

ZELK_TARGET_VCLMUL __m512i Multipliers512(FoldMultipliers m) {
  return _mm512_set_epi64(m.high, m.low, m.high, m.low, m.high, m.low, m.high, m.low);
}

ZELK_TARGET_VCLMUL __m512i Fold512(__m512i x, __m512i multipliers, __m512i next) {
  const __m512i low = _mm512_clmulepi64_epi128(x, multipliers, 0x00);
  const __m512i high = _mm512_clmulepi64_epi128(x, multipliers, 0x11);
  return _mm512_ternarylogic_epi64(low, high, next, 0x96);  // three-way XOR
}

}  // namespace

ZELK_TARGET_CLMUL std::uint32_t UpdateCrc32Clmul(std::uint32_t crc, const std::uint8_t* data, std::size_t count) {
  if (count < 64) return UpdateCrc32Slicing(crc, data, count);
  const __m128i by4 = Multipliers128(FoldBy(4 * 128));
  const __m128i by1 = Multipliers128(FoldBy(128));
  // The register enters as an XOR over the first four bytes.
  __m128i x0 = _mm_xor_si128(Load128(data), _mm_cvtsi32_si128(static_cast<int>(crc)));
  __m128i x1 = Load128(data + 16);
  __m128i x2 = Load128(data + 32);
  __m128i x3 = Load128(data + 48);
  for (data += 64, count -= 64; count >= 64; data += 64, count -= 64) {
    x0 = Fold128(x0, by4, Load128(data));
    x1 = Fold128(x1, by4, Load128(data + 16));
    x2 = Fold128(x2, by4, Load128(data + 32));
    x3 = Fold128(x3, by4, Load128(data + 48));
  }
  return Finish(Fold128(Fold128(Fold128(x0, by1, x1), by1, x2), by1, x3), data, count);
}

ZELK_TARGET_VCLMUL std::uint32_t UpdateCrc32Vclmul(std::uint32_t crc, const std::uint8_t* data, std::size_t count) {
  if (count < 256) return UpdateCrc32Clmul(crc, data, count);
  const __m512i by16 = Multipliers512(FoldBy(16 * 128));
  const __m512i by4 = Multipliers512(FoldBy(4 * 128));
  const __m128i by1 = Multipliers128(FoldBy(128));
  __m512i z0 = _mm512_xor_si512(Load512(data), _mm512_zextsi128_si512(_mm_cvtsi32_si128(static_cast<int>(crc))));
  __m512i z1 = Load512(data + 64);
  __m512i z2 = Load512(data + 128);
  __m512i z3 = Load512(data + 192);
  for (data += 256, count -= 256; count >= 256; data += 256, count -= 256) {
    z0 = Fold512(z0, by16, Load512(data));
    z1 = Fold512(z1, by16, Load512(data + 64));
    z2 = Fold512(z2, by16, Load512(data + 128));
    z3 = Fold512(z3, by16, Load512(data + 192));
  }
  z3 = Fold512(Fold512(Fold512(z0, by4, z1), by4, z2), by4, z3);
  for (; count >= 64; data += 64, count -= 64) z3 = Fold512(z3, by4, Load512(data));
  // Through memory: GCC 12 warns wrongly about its lane-extract intrinsics.
  std::uint8_t lanes[64];
  _mm512_storeu_si512(lanes, z3);
  __m128i x = Fold128(Load128(lanes), by1, Load128(lanes + 16));
  x = Fold128(Fold128(x, by1, Load128(lanes + 32)), by1, Load128(lanes + 48));
  return Finish(x, data, count);
}

#undef ZELK_TARGET_CLMUL
#undef ZELK_TARGET_VCLMUL
#endif

std::vector<NamedCrc32Kernel> SupportedCrc32Kernels() {
  std::vector<NamedCrc32Kernel> kernels{{"slicing-by-16", UpdateCrc32Slicing}};
#ifdef ZELK_CRC32_FOLDING
  __builtin_cpu_init();
  if (__builtin_cpu_supports("pclmul")) {
    kernels.push_back({"pclmulqdq", UpdateCrc32Clmul});
    if (__builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512vl") &&
        __builtin_cpu_supports("vpclmulqdq")) {
      kernels.push_back({"vpclmulqdq", UpdateCrc32Vclmul});
    }
  }
#endif
  return kernels;
}

}  // namespace zelk::engines::detail
