#include "engines/whole_file.h"

#include "platform/files.h"

namespace zelk::engines {

std::optional<FileChecksum<WholeFileLoader::Bytes>> WholeFileLoader::load(const std::string& fileName) {
  FileChecksum<Bytes> result;
  platform::InputFile file;
  result.status = file.open(fileName);
  if (!result.ok()) return result;
  if (file.size() > kLimit) return std::nullopt;
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
  result.status = got < 0 ? FileReadStatus::ReadFailed : file.checkUnchanged(got);
  if (result.ok()) result.value = Bytes(buffer_.get(), static_cast<std::size_t>(got));
  return result;
}

}  // namespace zelk::engines
