// Eight MD5 messages side by side, one per 32-bit lane of a 256-bit register,
// for processors without AVX-512. AVX2 has no three-input logic and no
// rotation, so a step takes about twice the operations of the 512-bit kernel.
#include "engines/md5_lanes_kernels.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>

#include <utility>

namespace zelk::engines::detail {

namespace {

#define ZELK_TARGET_AVX2 __attribute__((target("avx2")))

template <int Shift>
ZELK_TARGET_AVX2 inline __m256i RotateLeft(__m256i x) {
  return _mm256_or_si256(_mm256_slli_epi32(x, Shift), _mm256_srli_epi32(x, 32 - Shift));
}

template <std::size_t Round>
ZELK_TARGET_AVX2 inline __m256i RoundFunction(__m256i b, __m256i c, __m256i d) {
  if constexpr (Round == 0) return _mm256_xor_si256(d, _mm256_and_si256(b, _mm256_xor_si256(c, d)));
  if constexpr (Round == 1) return _mm256_or_si256(_mm256_and_si256(b, d), _mm256_andnot_si256(d, c));
  if constexpr (Round == 2) return _mm256_xor_si256(_mm256_xor_si256(b, c), d);
  if constexpr (Round == 3) return _mm256_xor_si256(c, _mm256_or_si256(b, _mm256_xor_si256(d, _mm256_set1_epi32(-1))));
}

// State words a, b, c, d take turns as the word a step changes: step 0
// changes a, step 1 d, step 2 c, step 3 b.
template <std::size_t Step>
ZELK_TARGET_AVX2 inline void Md5Step8(__m256i (&v)[4], const __m256i (&x)[16]) {
  constexpr std::size_t kA = (4 - Step % 4) % 4;
  const __m256i b = v[(kA + 1) % 4];
  const __m256i constant = _mm256_set1_epi32(static_cast<int>(kMd5StepConstants[Step]));
  __m256i a = _mm256_add_epi32(v[kA], _mm256_add_epi32(x[Md5StepWord(Step)], constant));
  // Keeps GCC from moving the constant's addition after the round
  // function's, onto the chain through b (a sixth slower).
  asm("" : "+x"(a));
  a = _mm256_add_epi32(a, RoundFunction<Step / 16>(b, v[(kA + 2) % 4], v[(kA + 3) % 4]));
  v[kA] = _mm256_add_epi32(b, RotateLeft<Md5StepShift(Step)>(a));
}

template <std::size_t... Steps>
ZELK_TARGET_AVX2 inline void Compress8(__m256i (&v)[4], const __m256i (&x)[16], std::index_sequence<Steps...>) {
  (Md5Step8<Steps>(v, x), ...);
}

// Rows in, columns out, for the eight registers from `r`: row i holds eight
// words of lane i, and afterwards r[j] holds word j of every lane.
ZELK_TARGET_AVX2 inline void Transpose8(__m256i* r) {
  __m256i t[8];
#pragma GCC unroll 8
  for (std::size_t i = 0; i < 8; i += 2) {
    t[i] = _mm256_unpacklo_epi32(r[i], r[i + 1]);
    t[i + 1] = _mm256_unpackhi_epi32(r[i], r[i + 1]);
  }
  // Half k of s[g][j] holds word 4k + j of lanes 4g to 4g + 3.
  __m256i s[2][4];
#pragma GCC unroll 2
  for (std::size_t g = 0; g < 2; ++g) {
    s[g][0] = _mm256_unpacklo_epi64(t[4 * g], t[4 * g + 2]);
    s[g][1] = _mm256_unpackhi_epi64(t[4 * g], t[4 * g + 2]);
    s[g][2] = _mm256_unpacklo_epi64(t[4 * g + 1], t[4 * g + 3]);
    s[g][3] = _mm256_unpackhi_epi64(t[4 * g + 1], t[4 * g + 3]);
  }
#pragma GCC unroll 4
  for (std::size_t j = 0; j < 4; ++j) {
    r[j] = _mm256_permute2x128_si256(s[0][j], s[1][j], 0x20);
    r[4 + j] = _mm256_permute2x128_si256(s[0][j], s[1][j], 0x31);
  }
}

}  // namespace

ZELK_TARGET_AVX2 void AdvanceMd5LanesAvx2(Md5LaneStates& states, const Md5LanePointers& blocks,
                                          std::uint32_t activeLanes, std::size_t blockCount) {
  // Idle lanes hash this block over and over; their results are not stored.
  alignas(64) static constexpr std::uint8_t kIdleBlock[64] = {};
  const std::uint8_t* next[8];
  std::size_t stride[8];
  for (std::size_t i = 0; i < 8; ++i) {
    const bool active = (activeLanes >> i & 1) != 0;
    next[i] = active ? blocks[i] : kIdleBlock;
    stride[i] = active ? 64 : 0;
  }
  __m256i state[4];
  for (std::size_t w = 0; w < 4; ++w) state[w] = _mm256_load_si256(reinterpret_cast<const __m256i*>(states.words[w]));
  for (; blockCount > 0; --blockCount) {
    __m256i x[16];
#pragma GCC unroll 8
    for (std::size_t i = 0; i < 8; ++i) {
      x[i] = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(next[i]));
      x[8 + i] = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(next[i] + 32));
      next[i] += stride[i];
    }
    Transpose8(x);
    Transpose8(x + 8);
    __m256i v[4] = {state[0], state[1], state[2], state[3]};
    Compress8(v, x, std::make_index_sequence<64>());
    for (std::size_t w = 0; w < 4; ++w) state[w] = _mm256_add_epi32(state[w], v[w]);
  }
  const __m256i laneBits = _mm256_setr_epi32(1, 2, 4, 8, 16, 32, 64, 128);
  const __m256i mask =
      _mm256_cmpeq_epi32(_mm256_and_si256(_mm256_set1_epi32(static_cast<int>(activeLanes & 0xFF)), laneBits), laneBits);
  for (std::size_t w = 0; w < 4; ++w) _mm256_maskstore_epi32(reinterpret_cast<int*>(states.words[w]), mask, state[w]);
}

#undef ZELK_TARGET_AVX2

}  // namespace zelk::engines::detail
#endif
