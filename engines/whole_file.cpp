#include "engines/whole_file.h"


#include "engines/aligned_buffer.h"
#include "platform/files.h"

namespace zelk::engines {

WholeFileLoader::WholeFileLoader() = default;

WholeFileLoader::~WholeFileLoader() { detail::AlignedDelete{}(buffer_); }

std::optional<std::span<const std::uint8_t>> WholeFileLoader::load(const std::string& fileName) {
  platform::InputFile file;
  if (!file.open(fileName) || file.size() > kLimit) return std::nullopt;
  // One byte beyond the size tells whether the file grew after it was opened.
  const auto wanted = static_cast<std::size_t>(file.size()) + 1;
  if (wanted > capacity_) {
    // Whole MiB steps keep the number of regrowths small.
    const std::size_t step = std::size_t{1} << 20;
    const std::size_t capacity = (wanted + step - 1) / step * step;
    detail::AlignedBuffer fresh = detail::MakeAlignedBuffer(capacity);
    detail::AlignedDelete{}(buffer_);
    buffer_ = fresh.release();
    capacity_ = capacity;
  }
  const std::int64_t got = file.read(buffer_, wanted);
  // A file that changed size while it was read is left to the block reader.
  if (got < 0 || got > file.size()) return std::nullopt;
  return std::span<const std::uint8_t>(buffer_, static_cast<std::size_t>(got));
}

}  // namespace zelk::engines
