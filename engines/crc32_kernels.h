#pragma once
// The interchangeable ways of running the CRC-32 register over memory. Each
// one gives the same register as the byte-wise table loop; they differ only in
// speed and in the processor features they need. Internal to the engines; the
// tests reach every kernel the processor supports through this header.

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace zelk::engines::detail {

using Crc32SliceTables = std::array<std::array<std::uint32_t, 256>, 16>;

// Slice 0 is Crc32Table; slice k advances a byte through k further zero bytes.
extern const Crc32SliceTables kCrc32SliceTables;

// Each kernel runs the register over `count` bytes (any count, any alignment)
// and returns it, no preset and no final XOR.
using Crc32Kernel = std::uint32_t (*)(std::uint32_t crc, const std::uint8_t* data, std::size_t count);

// Portable: sixteen table lookups per sixteen bytes.
std::uint32_t UpdateCrc32Slicing(std::uint32_t crc, const std::uint8_t* data, std::size_t count);
// x86 only: carry-less multiply folding of 4 x 128 bits; needs PCLMULQDQ.
std::uint32_t UpdateCrc32Clmul(std::uint32_t crc, const std::uint8_t* data, std::size_t count);
// x86 only: folding of 4 x 512 bits; needs AVX-512F/VL and VPCLMULQDQ.
std::uint32_t UpdateCrc32Vclmul(std::uint32_t crc, const std::uint8_t* data, std::size_t count);

struct NamedCrc32Kernel {
  const char* name;
  Crc32Kernel update;
};

// The kernels this processor can run, slowest first; the last is the one
// UpdateCrc32 uses.
std::vector<NamedCrc32Kernel> SupportedCrc32Kernels();

}  // namespace zelk::engines::detail
