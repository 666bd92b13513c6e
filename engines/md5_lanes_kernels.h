#pragma once
// The interchangeable ways of advancing many MD5 states at once, one message
// per lane. Each leaves every lane in the state MD5Transform would; they
// differ in speed, in how many lanes they run side by side and in the
// processor features they need. Internal to the engines; the tests reach
// every kernel the processor supports through this header.

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace zelk::engines::detail {

inline constexpr std::size_t kMd5MaxLanes = 16;

// The state words of every lane, word by word: words[0][i] is A of lane i,
// words[3][i] its D. A vector register then holds one word of many lanes.
struct alignas(64) Md5LaneStates {
  std::uint32_t words[4][kMd5MaxLanes];
};

// Lane i reads its blocks one after another from blocks[i].
using Md5LanePointers = std::array<const std::uint8_t*, kMd5MaxLanes>;

// Runs `blockCount` 64-byte blocks through the state of each lane whose bit
// is set in `activeLanes`. Lanes without a bit keep their state and their
// pointers are never read. A vector kernel ignores the bits at or above its
// width; the scalar one takes any of the kMd5MaxLanes. The blocks may lie at
// any alignment.
using Md5LanesKernel = void (*)(Md5LaneStates& states, const Md5LanePointers& blocks, std::uint32_t activeLanes,
                                std::size_t blockCount);

// One lane after the other through MD5Transform: the reference the vector
// kernels must agree with, the fallback of processors without them, and the
// way to run a single lane's last blocks.
void AdvanceMd5LanesScalar(Md5LaneStates& states, const Md5LanePointers& blocks, std::uint32_t activeLanes,
                           std::size_t blockCount);
// x86 only: eight lanes in 256-bit registers; needs AVX2.
void AdvanceMd5LanesAvx2(Md5LaneStates& states, const Md5LanePointers& blocks, std::uint32_t activeLanes,
                         std::size_t blockCount);
// x86 only: sixteen lanes in 512-bit registers; needs AVX-512F.
void AdvanceMd5LanesAvx512(Md5LaneStates& states, const Md5LanePointers& blocks, std::uint32_t activeLanes,
                           std::size_t blockCount);

struct NamedMd5LanesKernel {
  const char* name;
  std::size_t lanes;  // how many lanes it runs side by side, 1 for the scalar one
  Md5LanesKernel advance;
};

// The kernels this processor can run, slowest first; the last is the one
// Md5Lanes uses unless told otherwise.
std::vector<NamedMd5LanesKernel> SupportedMd5LanesKernels();

// The 64 steps of the compression function as RFC 1321 lists them: the
// constant each adds, the message word it takes and its rotation.
inline constexpr std::uint32_t kMd5StepConstants[64] = {
    0xd76aa478, 0xe8c7b756, 0x242070db, 0xc1bdceee, 0xf57c0faf, 0x4787c62a, 0xa8304613, 0xfd469501,
    0x698098d8, 0x8b44f7af, 0xffff5bb1, 0x895cd7be, 0x6b901122, 0xfd987193, 0xa679438e, 0x49b40821,
    0xf61e2562, 0xc040b340, 0x265e5a51, 0xe9b6c7aa, 0xd62f105d, 0x02441453, 0xd8a1e681, 0xe7d3fbc8,
    0x21e1cde6, 0xc33707d6, 0xf4d50d87, 0x455a14ed, 0xa9e3e905, 0xfcefa3f8, 0x676f02d9, 0x8d2a4c8a,
    0xfffa3942, 0x8771f681, 0x6d9d6122, 0xfde5380c, 0xa4beea44, 0x4bdecfa9, 0xf6bb4b60, 0xbebfbc70,
    0x289b7ec6, 0xeaa127fa, 0xd4ef3085, 0x04881d05, 0xd9d4d039, 0xe6db99e5, 0x1fa27cf8, 0xc4ac5665,
    0xf4292244, 0x432aff97, 0xab9423a7, 0xfc93a039, 0x655b59c3, 0x8f0ccc92, 0xffeff47d, 0x85845dd1,
    0x6fa87e4f, 0xfe2ce6e0, 0xa3014314, 0x4e0811a1, 0xf7537e82, 0xbd3af235, 0x2ad7d2bb, 0xeb86d391};

constexpr std::size_t Md5StepWord(std::size_t step) {
  switch (step / 16) {
    case 0: return step;
    case 1: return (5 * step + 1) % 16;
    case 2: return (3 * step + 5) % 16;
    default: return 7 * step % 16;
  }
}

constexpr int Md5StepShift(std::size_t step) {
  constexpr int kShifts[4][4] = {{7, 12, 17, 22}, {5, 9, 14, 20}, {4, 11, 16, 23}, {6, 10, 15, 21}};
  return kShifts[step / 16][step % 4];
}

// Writes the end of a message after the `tailSize` (under 64) bytes already at
// `blocks`: the 0x80 byte, zeros and the message's length in bits modulo 2^64,
// low byte first. Returns the number of blocks that now start at `blocks`, 1
// or 2; `blocks` must have room for 128 bytes.
std::size_t WriteMd5Padding(std::uint8_t* blocks, std::size_t tailSize, std::uint64_t messageBytes);

}  // namespace zelk::engines::detail
