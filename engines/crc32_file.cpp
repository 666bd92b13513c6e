#include "engines/crc32.h"

#include "engines/aligned_buffer.h"
#include "engines/progress_meter.h"
#include "platform/files.h"

namespace zelk::engines {

namespace {

FileChecksum<Crc32Value> ReadCrc32(const std::string& fileName, detail::ProgressMeter& meter) {
  FileChecksum<Crc32Value> result;
  platform::InputFile file;
  result.status = file.open(fileName);
  if (result.status != FileReadStatus::Ok) return result;
  meter.setSize(file.size());
  const std::size_t capacity = detail::ReadBufferSizeFor(file.size());
  const detail::AlignedBuffer buffer = detail::MakeAlignedBuffer(capacity);
  std::uint32_t crc = 0xFFFFFFFF;
  std::int64_t total = 0;
  for (;;) {
    const std::int64_t got = file.read(buffer.get(), capacity);
    if (got < 0) {
      result.status = FileReadStatus::ReadFailed;
      return result;
    }
    crc = UpdateCrc32(crc, buffer.get(), got);
    total += got;
    meter.advance(total);
    // InputFile fills the buffer unless the file has ended. A file that has
    // grown past its size has changed, and one that keeps growing would
    // never end.
    if (static_cast<std::size_t>(got) < capacity || total > file.size()) break;
  }
  result.status = file.checkUnchanged(total);
  if (result.ok()) result.value = Crc32Value(crc ^ 0xFFFFFFFF);
  return result;
}

}  // namespace

FileChecksum<Crc32Value> FileCrc32(const std::string& fileName) {
  detail::ProgressMeter silent(nullptr);
  return ReadCrc32(fileName, silent);
}

FileChecksum<Crc32Value> FileCrc32WithProgress(const std::string& fileName, ProgressSink& progress) {
  detail::ProgressMeter meter(&progress);
  return ReadCrc32(fileName, meter);
}

}  // namespace zelk::engines
