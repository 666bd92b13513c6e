#include "passes/kind_decisions.h"

namespace zelk::passes {

engines::KindSet KindDecisions::narrowed(engines::KindSet candidates) const {
  if (candidates.size() < 2) return candidates;
  const std::uint8_t decided = decided_[static_cast<std::size_t>(candidates.first())].load(std::memory_order_relaxed);
  if (decided == 0) return candidates;
  const auto kind = static_cast<engines::ChecksumKind>(decided - 1);
  return candidates.contains(kind) ? engines::KindSet(kind) : candidates;
}

void KindDecisions::decide(engines::KindSet candidates, engines::ChecksumKind kind) {
  const auto value = static_cast<std::uint8_t>(static_cast<unsigned>(kind) + 1);
  decided_[static_cast<std::size_t>(candidates.first())].store(value, std::memory_order_relaxed);
}

}  // namespace zelk::passes
