#include "passes/text_store.h"

#include <functional>
#include <limits>
#include <stdexcept>

namespace zelk::passes {
namespace {

constexpr std::uint32_t kInBase = std::uint32_t{1} << 31;

TextStore::Ref refOf(std::size_t offset, std::size_t length, bool inBase) {
  if (offset > std::numeric_limits<std::uint32_t>::max() || length >= kInBase) {
    throw std::length_error("a plan of more than 4 GiB of names");
  }
  return {static_cast<std::uint32_t>(offset), static_cast<std::uint32_t>(length) | (inBase ? kInBase : 0)};
}

}  // namespace

TextStore::Ref TextStore::keep(std::string_view text) {
  // Compared as addresses: a view into the base needs no copy.
  const std::less_equal<const char*> notAfter;
  if (!text.empty() && notAfter(base_.data(), text.data()) && notAfter(text.data() + text.size(), base_.data() + base_.size())) {
    return refOf(static_cast<std::size_t>(text.data() - base_.data()), text.size(), true);
  }
  const Ref ref = refOf(own_.size(), text.size(), false);
  own_.append(text);
  return ref;
}

std::string_view TextStore::view(Ref ref) const {
  const std::size_t length = ref.length & ~kInBase;
  return ((ref.length & kInBase) != 0 ? base_ : std::string_view(own_)).substr(ref.offset, length);
}

}  // namespace zelk::passes
