#pragma once
// The one interface every algorithm is computed through, block by block.

#include <cstdint>
#include <memory>
#include <span>

#include "engines/checksum_types.h"

namespace zelk::engines {

class Hasher {
 public:
  virtual ~Hasher() = default;
  // Blocks of any size; the digest does not depend on how the bytes are split.
  virtual void update(std::span<const std::uint8_t> bytes) = 0;
  // The digest of every byte given since construction or the last finish();
  // the hasher then starts over, so one hasher serves file after file.
  virtual Digest finish() = 0;
};

}  // namespace zelk::engines
