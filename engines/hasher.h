#pragma once
// The one interface every algorithm is computed through, block by block.

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

#include "engines/checksum_types.h"

namespace zelk::engines {

// An algorithm whose digest is built from values of aligned pieces of its
// input (a tree hash): the pieces of a large file can be hashed
// on several threads at once, then given to the hasher in order.
class PieceHasher {
 public:
  static constexpr std::size_t kPieceSize = std::size_t{2} << 20;
  using Value = std::array<std::uint8_t, 64>;

  // The value of the `index`-th piece of the input (kPieceSize bytes). Any
  // number of threads may ask at once, while the hasher takes nothing else.
  virtual Value hashPiece(const std::uint8_t* piece, std::uint64_t index) const = 0;
  // Takes the piece that follows the input given so far, by its value. Only
  // while that input is a whole number of pieces: throws std::logic_error
  // otherwise.
  virtual void addPiece(const Value& value) = 0;

 protected:
  ~PieceHasher() = default;
};

class Hasher {
 public:
  virtual ~Hasher() = default;
  // Blocks of any size; the digest does not depend on how the bytes are split.
  virtual void update(std::span<const std::uint8_t> bytes) = 0;
  // The digest of every byte given since construction or the last finish();
  // the hasher then starts over, so one hasher serves file after file.
  virtual Digest finish() = 0;
  // Null unless the algorithm is built from pieces.
  virtual PieceHasher* pieces() { return nullptr; }
};

}  // namespace zelk::engines
