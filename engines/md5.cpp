#include "engines/md5.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace zelk::engines {

namespace {

// MD5 is one long dependency chain through `b`. Each step below adds the
// message word and constant to `a` first, since `a` is ready early, and keeps
// the part that waits for `b` as short as the round function allows.

template <int Shift>
inline std::uint32_t Finish(std::uint32_t a, std::uint32_t b) {
  return b + std::rotl(a, Shift);
}

template <int Shift>
inline std::uint32_t StepF(std::uint32_t a, std::uint32_t b, std::uint32_t c, std::uint32_t d, std::uint32_t wordPlusConstant) {
  a += wordPlusConstant;
  return Finish<Shift>(a + (d ^ (b & (c ^ d))), b);  // (b & c) | (~b & d)
}

template <int Shift>
inline std::uint32_t StepG(std::uint32_t a, std::uint32_t b, std::uint32_t c, std::uint32_t d, std::uint32_t wordPlusConstant) {
  // (b & d) | (c & ~d): the two terms share no bit, so they can be added, and
  // the one without `b` joins `a` before `b` is known.
  a += wordPlusConstant + (c & ~d);
  return Finish<Shift>(a + (b & d), b);
}

template <int Shift>
inline std::uint32_t StepH(std::uint32_t a, std::uint32_t b, std::uint32_t c, std::uint32_t d, std::uint32_t wordPlusConstant) {
  a += wordPlusConstant;
  return Finish<Shift>(a + (b ^ (c ^ d)), b);
}

template <int Shift>
inline std::uint32_t StepI(std::uint32_t a, std::uint32_t b, std::uint32_t c, std::uint32_t d, std::uint32_t wordPlusConstant) {
  a += wordPlusConstant;
  return Finish<Shift>(a + (c ^ (b | ~d)), b);
}

// The first byte 0x80 ends the message; the zeros fill the block up to the
// length field.
constexpr std::uint8_t kPadding[64] = {0x80};

std::uint32_t LoadLittleEndian(const std::uint8_t* bytes) {
  return std::uint32_t{bytes[0]} | std::uint32_t{bytes[1]} << 8 | std::uint32_t{bytes[2]} << 16 |
         std::uint32_t{bytes[3]} << 24;
}

void StoreLittleEndian(std::uint8_t* bytes, const std::uint32_t* words, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) {
    for (std::size_t j = 0; j < 4; ++j) bytes[4 * i + j] = static_cast<std::uint8_t>(words[i] >> (8 * j));
  }
}

// Clears memory in a way the optimiser may not drop as a dead store.
void Wipe(void* memory, std::size_t size) {
  std::memset(memory, 0, size);
  asm volatile("" : : "r"(memory) : "memory");
}

class Md5Hasher final : public Hasher {
 public:
  Md5Hasher() { MD5Init(context_); }
  void update(std::span<const std::uint8_t> bytes) override {
    // MD5Update counts in 32 bits.
    constexpr std::size_t kLargest = std::size_t{1} << 30;
    while (!bytes.empty()) {
      const std::size_t part = std::min(bytes.size(), kLargest);
      MD5Update(context_, bytes.data(), static_cast<std::uint32_t>(part));
      bytes = bytes.subspan(part);
    }
  }
  Digest finish() override {
    Md5Digest digest;
    MD5Final(digest, context_);
    MD5Init(context_);
    return Digest(digest.bytes());
  }

 private:
  TMD5Context context_;
};

}  // namespace

std::unique_ptr<Hasher> MakeMd5Hasher() { return std::make_unique<Md5Hasher>(); }

void MD5Init(TMD5Context& context) {
  std::memset(&context, 0, sizeof context);
  context.state[0] = 0x67452301;
  context.state[1] = 0xEFCDAB89;
  context.state[2] = 0x98BADCFE;
  context.state[3] = 0x10325476;
}

void MD5Update(TMD5Context& context, const std::uint8_t* data, std::uint32_t length) {
  std::uint32_t index = (context.count[0] >> 3) & 63;
  // The bit count runs modulo 2^64 over two words.
  context.count[0] += length << 3;
  if (context.count[0] < (length << 3)) ++context.count[1];
  context.count[1] += length >> 29;
  const std::uint32_t room = 64 - index;
  std::uint32_t offset = 0;
  if (length >= room) {
    std::memcpy(&context.buffer[index], data, room);
    MD5Transform(context.state, context.buffer);
    // Whole blocks go straight from the caller's memory.
    for (offset = room; offset + 63 < length; offset += 64) MD5Transform(context.state, data + offset);
    index = 0;
  }
  if (length > offset) std::memcpy(&context.buffer[index], data + offset, length - offset);
}

void MD5Final(TMD5Digest& digest, TMD5Context& context) {
  std::uint8_t bits[8];
  StoreLittleEndian(bits, context.count, 2);
  const std::uint32_t index = (context.count[0] >> 3) & 63;
  // Fill to 56 bytes past a block boundary, so the length field ends one.
  const std::uint32_t fill = index < 56 ? 56 - index : 120 - index;
  MD5Update(context, kPadding, fill);
  MD5Update(context, bits, sizeof bits);
  Md5Digest::Bytes bytes;
  StoreLittleEndian(bytes.data(), context.state, 4);
  digest = Md5Digest(bytes);
  Wipe(&context, sizeof context);
}

void MD5Transform(std::uint32_t state[4], const std::uint8_t block[64]) {
  std::uint32_t x[16];
  for (std::size_t i = 0; i < 16; ++i) x[i] = LoadLittleEndian(block + 4 * i);
  std::uint32_t a = state[0];
  std::uint32_t b = state[1];
  std::uint32_t c = state[2];
  std::uint32_t d = state[3];

  // Round 1.
  a = StepF<7>(a, b, c, d, x[0] + 0xd76aa478);
  d = StepF<12>(d, a, b, c, x[1] + 0xe8c7b756);
  c = StepF<17>(c, d, a, b, x[2] + 0x242070db);
  b = StepF<22>(b, c, d, a, x[3] + 0xc1bdceee);
  a = StepF<7>(a, b, c, d, x[4] + 0xf57c0faf);
  d = StepF<12>(d, a, b, c, x[5] + 0x4787c62a);
  c = StepF<17>(c, d, a, b, x[6] + 0xa8304613);
  b = StepF<22>(b, c, d, a, x[7] + 0xfd469501);
  a = StepF<7>(a, b, c, d, x[8] + 0x698098d8);
  d = StepF<12>(d, a, b, c, x[9] + 0x8b44f7af);
  c = StepF<17>(c, d, a, b, x[10] + 0xffff5bb1);
  b = StepF<22>(b, c, d, a, x[11] + 0x895cd7be);
  a = StepF<7>(a, b, c, d, x[12] + 0x6b901122);
  d = StepF<12>(d, a, b, c, x[13] + 0xfd987193);
  c = StepF<17>(c, d, a, b, x[14] + 0xa679438e);
  b = StepF<22>(b, c, d, a, x[15] + 0x49b40821);
  // Round 2.
  a = StepG<5>(a, b, c, d, x[1] + 0xf61e2562);
  d = StepG<9>(d, a, b, c, x[6] + 0xc040b340);
  c = StepG<14>(c, d, a, b, x[11] + 0x265e5a51);
  b = StepG<20>(b, c, d, a, x[0] + 0xe9b6c7aa);
  a = StepG<5>(a, b, c, d, x[5] + 0xd62f105d);
  d = StepG<9>(d, a, b, c, x[10] + 0x02441453);
  c = StepG<14>(c, d, a, b, x[15] + 0xd8a1e681);
  b = StepG<20>(b, c, d, a, x[4] + 0xe7d3fbc8);
  a = StepG<5>(a, b, c, d, x[9] + 0x21e1cde6);
  d = StepG<9>(d, a, b, c, x[14] + 0xc33707d6);
  c = StepG<14>(c, d, a, b, x[3] + 0xf4d50d87);
  b = StepG<20>(b, c, d, a, x[8] + 0x455a14ed);
  a = StepG<5>(a, b, c, d, x[13] + 0xa9e3e905);
  d = StepG<9>(d, a, b, c, x[2] + 0xfcefa3f8);
  c = StepG<14>(c, d, a, b, x[7] + 0x676f02d9);
  b = StepG<20>(b, c, d, a, x[12] + 0x8d2a4c8a);
  // Round 3.
  a = StepH<4>(a, b, c, d, x[5] + 0xfffa3942);
  d = StepH<11>(d, a, b, c, x[8] + 0x8771f681);
  c = StepH<16>(c, d, a, b, x[11] + 0x6d9d6122);
  b = StepH<23>(b, c, d, a, x[14] + 0xfde5380c);
  a = StepH<4>(a, b, c, d, x[1] + 0xa4beea44);
  d = StepH<11>(d, a, b, c, x[4] + 0x4bdecfa9);
  c = StepH<16>(c, d, a, b, x[7] + 0xf6bb4b60);
  b = StepH<23>(b, c, d, a, x[10] + 0xbebfbc70);
  a = StepH<4>(a, b, c, d, x[13] + 0x289b7ec6);
  d = StepH<11>(d, a, b, c, x[0] + 0xeaa127fa);
  c = StepH<16>(c, d, a, b, x[3] + 0xd4ef3085);
  b = StepH<23>(b, c, d, a, x[6] + 0x04881d05);
  a = StepH<4>(a, b, c, d, x[9] + 0xd9d4d039);
  d = StepH<11>(d, a, b, c, x[12] + 0xe6db99e5);
  c = StepH<16>(c, d, a, b, x[15] + 0x1fa27cf8);
  b = StepH<23>(b, c, d, a, x[2] + 0xc4ac5665);
  // Round 4.
  a = StepI<6>(a, b, c, d, x[0] + 0xf4292244);
  d = StepI<10>(d, a, b, c, x[7] + 0x432aff97);
  c = StepI<15>(c, d, a, b, x[14] + 0xab9423a7);
  b = StepI<21>(b, c, d, a, x[5] + 0xfc93a039);
  a = StepI<6>(a, b, c, d, x[12] + 0x655b59c3);
  d = StepI<10>(d, a, b, c, x[3] + 0x8f0ccc92);
  c = StepI<15>(c, d, a, b, x[10] + 0xffeff47d);
  b = StepI<21>(b, c, d, a, x[1] + 0x85845dd1);
  a = StepI<6>(a, b, c, d, x[8] + 0x6fa87e4f);
  d = StepI<10>(d, a, b, c, x[15] + 0xfe2ce6e0);
  c = StepI<15>(c, d, a, b, x[6] + 0xa3014314);
  b = StepI<21>(b, c, d, a, x[13] + 0x4e0811a1);
  a = StepI<6>(a, b, c, d, x[4] + 0xf7537e82);
  d = StepI<10>(d, a, b, c, x[11] + 0xbd3af235);
  c = StepI<15>(c, d, a, b, x[2] + 0x2ad7d2bb);
  b = StepI<21>(b, c, d, a, x[9] + 0xeb86d391);

  state[0] += a;
  state[1] += b;
  state[2] += c;
  state[3] += d;
  Wipe(x, sizeof x);
}

}  // namespace zelk::engines
