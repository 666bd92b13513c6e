#include "engines/whole_file.h"

#include "platform/files.h"

namespace zelk::engines {

std::optional<std::span<const std::uint8_t>> WholeFileLoader::load(const std::string& fileName) {
  platform::InputFile file;
  if (!file.open(fileName) || file.size() > kLimit) return std::nullopt;
  // One byte beyond the size tells whether the file grew after it was opened.
  const auto wanted = static_cast<std::size_t>(file.size()) + 1;
  if (wanted > capacity_) {
    // Whole MiB steps keep the number of regrowths small.
    const std::size_t step = std::size_t{1} << 20;
    const std::size_t capacity = (wanted + step - 1) / step * step;
    buffer_ = detail::MakeAlignedBuffer(capacity);
    capacity_ = capacity;
  }
  const std::int64_t got = file.read(buffer_.get(), wanted);
  // A file that changed size while it was read is left to the block reader.
  if (got < 0 || got > file.size()) return std::nullopt;
  return std::span<const std::uint8_t>(buffer_.get(), static_cast<std::size_t>(got));
}

}  // namespace zelk::engines
