// Sixteen MD5 messages side by side, one per 32-bit lane of a 512-bit
// register. A step waits for b through four operations: vpternlogd for the
// round function, an addition, vprold for the rotation and the addition of b;
// the sum of a, the message word and the constant is ready before b is. The
// sixteen lanes then cost what one chain costs, and the chain, not the
// number of operations, sets the speed.
#include "engines/md5_lanes_kernels.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>

#include <utility>

namespace zelk::engines::detail {

namespace {

#define ZELK_TARGET_AVX512 __attribute__((target("avx512f")))

// GCC 12 warns wrongly about the unmasked forms of these intrinsics (their
// pass-through operand is left undefined); with every lane selected the
// masked forms are the same instructions.
constexpr __mmask16 kAllWords = 0xFFFF;
constexpr __mmask8 kAllPairs = 0xFF;

template <int Shift>
ZELK_TARGET_AVX512 inline __m512i RotateLeft(__m512i x) {
  return _mm512_mask_rol_epi32(x, kAllWords, x, Shift);
}

ZELK_TARGET_AVX512 inline __m512i UnpackLow32(__m512i a, __m512i b) {
  return _mm512_mask_unpacklo_epi32(a, kAllWords, a, b);
}

ZELK_TARGET_AVX512 inline __m512i UnpackHigh32(__m512i a, __m512i b) {
  return _mm512_mask_unpackhi_epi32(a, kAllWords, a, b);
}

ZELK_TARGET_AVX512 inline __m512i UnpackLow64(__m512i a, __m512i b) {
  return _mm512_mask_unpacklo_epi64(a, kAllPairs, a, b);
}

ZELK_TARGET_AVX512 inline __m512i UnpackHigh64(__m512i a, __m512i b) {
  return _mm512_mask_unpackhi_epi64(a, kAllPairs, a, b);
}

template <int Selector>
ZELK_TARGET_AVX512 inline __m512i ShuffleQuarters(__m512i a, __m512i b) {
  return _mm512_mask_shuffle_i32x4(a, kAllWords, a, b, Selector);
}

// vpternlogd looks every result bit up in an 8-bit table indexed by the bits
// of its three operands (b, c, d). The bytes 0xF0, 0xCC and 0xAA hold all
// eight combinations of three bits, so a round function evaluated on them is
// its table.
constexpr unsigned kB = 0xF0;
constexpr unsigned kC = 0xCC;
constexpr unsigned kD = 0xAA;
constexpr int TruthTable(unsigned result) { return static_cast<int>(result & 0xFF); }
constexpr int kRoundLogic[4] = {
    TruthTable((kB & kC) | (~kB & kD)),  // F
    TruthTable((kB & kD) | (kC & ~kD)),  // G
    TruthTable(kB ^ kC ^ kD),            // H
    TruthTable(kC ^ (kB | ~kD)),         // I
};

// State words a, b, c, d take turns as the word a step changes: step 0
// changes a, step 1 d, step 2 c, step 3 b.
template <std::size_t Step>
ZELK_TARGET_AVX512 inline void Md5Step16(__m512i (&v)[4], const __m512i (&x)[16]) {
  constexpr std::size_t kA = (4 - Step % 4) % 4;
  // A constant of its own: unoptimised builds take no array element as the
  // intrinsic's immediate.
  constexpr int kLogic = kRoundLogic[Step / 16];
  const __m512i b = v[(kA + 1) % 4];
  const __m512i c = v[(kA + 2) % 4];
  const __m512i d = v[(kA + 3) % 4];
  const __m512i constant = _mm512_set1_epi32(static_cast<int>(kMd5StepConstants[Step]));
  __m512i a = _mm512_add_epi32(v[kA], _mm512_add_epi32(x[Md5StepWord(Step)], constant));
  // Left to itself GCC moves the constant's addition after the round
  // function's, onto the chain through b: a step then takes five operations
  // one after another instead of four, a quarter slower.
  asm("" : "+v"(a));
  a = _mm512_add_epi32(a, _mm512_ternarylogic_epi32(b, c, d, kLogic));
  v[kA] = _mm512_add_epi32(b, RotateLeft<Md5StepShift(Step)>(a));
}

template <std::size_t... Steps>
ZELK_TARGET_AVX512 inline void Compress16(__m512i (&v)[4], const __m512i (&x)[16], std::index_sequence<Steps...>) {
  (Md5Step16<Steps>(v, x), ...);
}

// Rows in, columns out: r[i] holds the sixteen words of lane i's block, and
// afterwards r[j] holds word j of every lane. Pairs of words, then quadruples,
// then 128-bit quarters trade places.
ZELK_TARGET_AVX512 inline void Transpose16(__m512i (&r)[16]) {
  __m512i t[16];
#pragma GCC unroll 16
  for (std::size_t i = 0; i < 16; i += 2) {
    t[i] = UnpackLow32(r[i], r[i + 1]);
    t[i + 1] = UnpackHigh32(r[i], r[i + 1]);
  }
  // Quarter k of s[g][j] holds word 4k + j of lanes 4g to 4g + 3.
  __m512i s[4][4];
#pragma GCC unroll 4
  for (std::size_t g = 0; g < 4; ++g) {
    s[g][0] = UnpackLow64(t[4 * g], t[4 * g + 2]);
    s[g][1] = UnpackHigh64(t[4 * g], t[4 * g + 2]);
    s[g][2] = UnpackLow64(t[4 * g + 1], t[4 * g + 3]);
    s[g][3] = UnpackHigh64(t[4 * g + 1], t[4 * g + 3]);
  }
#pragma GCC unroll 4
  for (std::size_t j = 0; j < 4; ++j) {
    const __m512i low01 = ShuffleQuarters<0x44>(s[0][j], s[1][j]);
    const __m512i high01 = ShuffleQuarters<0xEE>(s[0][j], s[1][j]);
    const __m512i low23 = ShuffleQuarters<0x44>(s[2][j], s[3][j]);
    const __m512i high23 = ShuffleQuarters<0xEE>(s[2][j], s[3][j]);
    r[j] = ShuffleQuarters<0x88>(low01, low23);
    r[4 + j] = ShuffleQuarters<0xDD>(low01, low23);
    r[8 + j] = ShuffleQuarters<0x88>(high01, high23);
    r[12 + j] = ShuffleQuarters<0xDD>(high01, high23);
  }
}

}  // namespace

ZELK_TARGET_AVX512 void AdvanceMd5LanesAvx512(Md5LaneStates& states, const Md5LanePointers& blocks,
                                              std::uint32_t activeLanes, std::size_t blockCount) {
  // Idle lanes hash this block over and over; their results are not stored.
  alignas(64) static constexpr std::uint8_t kIdleBlock[64] = {};
  const std::uint8_t* next[16];
  std::size_t stride[16];
  for (std::size_t i = 0; i < 16; ++i) {
    const bool active = (activeLanes >> i & 1) != 0;
    next[i] = active ? blocks[i] : kIdleBlock;
    stride[i] = active ? 64 : 0;
  }
  __m512i state[4];
  for (std::size_t w = 0; w < 4; ++w) state[w] = _mm512_load_si512(states.words[w]);
  for (; blockCount > 0; --blockCount) {
    __m512i x[16];
#pragma GCC unroll 16
    for (std::size_t i = 0; i < 16; ++i) {
      x[i] = _mm512_loadu_si512(next[i]);
      next[i] += stride[i];
    }
    Transpose16(x);
    __m512i v[4] = {state[0], state[1], state[2], state[3]};
    Compress16(v, x, std::make_index_sequence<64>());
    for (std::size_t w = 0; w < 4; ++w) state[w] = _mm512_add_epi32(state[w], v[w]);
  }
  const auto mask = static_cast<__mmask16>(activeLanes & 0xFFFF);
  for (std::size_t w = 0; w < 4; ++w) _mm512_mask_store_epi32(states.words[w], mask, state[w]);
}

#undef ZELK_TARGET_AVX512

}  // namespace zelk::engines::detail
#endif
