#include "engines/crc32.h"

#include <utility>

#include "engines/crc32_kernels.h"
#include "engines/hasher.h"

namespace zelk::engines {

namespace {

constexpr std::uint32_t kPreset = 0xFFFFFFFF;

// Chosen once: the processor does not change while the program runs.
detail::Crc32Kernel FastestKernel() {
  static const detail::Crc32Kernel kernel = detail::SupportedCrc32Kernels().back().update;
  return kernel;
}

class Crc32Hasher final : public Hasher {
 public:
  void update(std::span<const std::uint8_t> bytes) override {
    crc_ = UpdateCrc32(crc_, bytes.data(), static_cast<std::int64_t>(bytes.size()));
  }
  Digest finish() override { return Digest(Crc32Value(std::exchange(crc_, kPreset) ^ kPreset)); }

 private:
  std::uint32_t crc_ = kPreset;
};

}  // namespace

std::unique_ptr<Hasher> MakeCrc32Hasher() { return std::make_unique<Crc32Hasher>(); }

std::uint32_t UpdateCrc32(std::uint32_t crc, const std::uint8_t* data, std::int64_t count) {
  if (count <= 0) return crc;
  return FastestKernel()(crc, data, static_cast<std::size_t>(count));
}

std::uint32_t UpdateCrc32Bytewise(std::uint32_t crc, const std::uint8_t* data, std::int64_t count) {
  for (std::int64_t i = 0; i < count; ++i) crc = (crc >> 8) ^ Crc32Table[(crc ^ data[i]) & 0xFF];
  return crc;
}

Crc32Value StreamCrc32(std::span<const std::uint8_t> bytes) {
  const auto count = static_cast<std::int64_t>(bytes.size());
  return Crc32Value(UpdateCrc32(kPreset, bytes.data(), count) ^ kPreset);
}

namespace detail {

std::uint32_t UpdateCrc32Slicing(std::uint32_t crc, const std::uint8_t* data, std::size_t count) {
  const Crc32SliceTables& t = kCrc32SliceTables;
  for (; count >= 16; count -= 16, data += 16) {
    // The register overlaps the group's first four bytes; every byte then
    // travels through as many zero bytes as follow it in the group.
    std::uint32_t sum = 0;
    for (std::size_t j = 0; j < 4; ++j) {
      const auto byte = static_cast<std::uint8_t>(data[j] ^ (crc >> (8 * j)));
      sum ^= t[15 - j][byte];
    }
    for (std::size_t j = 4; j < 16; ++j) sum ^= t[15 - j][data[j]];
    crc = sum;
  }
  return UpdateCrc32Bytewise(crc, data, static_cast<std::int64_t>(count));
}

}  // namespace detail
}  // namespace zelk::engines
