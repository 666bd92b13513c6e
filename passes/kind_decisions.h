#pragma once
// Which algorithm the entries of a digest length that several share are
// of, in a list that tells it no other way: the first candidate whose digest
// matched, kept for the rest of the list, so that later files need only
// that one computed. The pass's thread decides; workers read the decisions
// as they claim files.

#include <array>
#include <atomic>
#include <cstdint>

#include "engines/checksum_types.h"

namespace zelk::passes {

class KindDecisions {
 public:
  // `candidates` narrowed to the kind decided for them, or all of them.
  engines::KindSet narrowed(engines::KindSet candidates) const;
  // From now on entries of `candidates` are of `kind`.
  void decide(engines::KindSet candidates, engines::ChecksumKind kind);

 private:
  // By the first candidate, whose groups never share it: 0 while undecided,
  // else 1 + the decided kind.
  std::array<std::atomic<std::uint8_t>, engines::kKindCount> decided_{};
};

}  // namespace zelk::passes
