#pragma once
// Many short texts in one buffer, each found again by a reference of eight
// bytes: the plan of a pass over hundreds of thousands of files holds its
// names so, not as a string object each.

#include <cstdint>
#include <string>
#include <string_view>

namespace zelk::passes {

class TextStore {
 public:
  struct Ref {
    std::uint32_t offset = 0;
    std::uint32_t length = 0;  // the top bit tells a text of the base
  };

  // `base` is a text that outlives the store (the list read whole): a text
  // lying within it is referred to, not copied.
  explicit TextStore(std::string_view base = {}) : base_(base) {}

  // Throws std::length_error when the texts outgrow what a Ref can tell
  // (4 GiB, a text of 2 GiB).
  Ref keep(std::string_view text);
  std::string_view view(Ref ref) const;

 private:
  std::string_view base_;
  std::string own_;
};

}  // namespace zelk::passes
