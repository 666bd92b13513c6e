#include "engines/md5.h"

#include "engines/progress_meter.h"

namespace zelk::engines {

namespace {

constexpr std::streamsize kBlockSize = 4096;

// Reads the stream from its first byte to the end of its data in blocks.
// False when a read fails.
bool DigestBlocks(std::istream& stream, TMD5Context& context, detail::ProgressMeter& meter) {
  alignas(64) std::uint8_t block[kBlockSize];
  std::int64_t total = 0;
  while (!stream.eof()) {
    stream.read(reinterpret_cast<char*>(block), kBlockSize);
    const std::streamsize got = stream.gcount();
    if (stream.bad()) return false;
    if (got == 0) break;
    MD5Update(context, block, static_cast<std::uint32_t>(got));
    total += got;
    meter.advance(total);
  }
  return true;
}

}  // namespace

FileChecksum<Md5Digest> MD5Stream(std::istream& stream, std::int64_t sizeForProgress, ProgressSink* progress) {
  detail::ProgressMeter meter(progress);
  meter.setSize(sizeForProgress);
  // A stream that an earlier reader ran into its end still counts from its
  // first byte; only a broken one (badbit) is given up.
  const std::ios_base::iostate initialState = stream.rdstate();
  stream.clear(initialState & std::ios_base::badbit);
  const std::istream::pos_type start = stream.tellg();
  stream.seekg(0);

  TMD5Context context;
  MD5Init(context);
  const bool ok = start != std::istream::pos_type(-1) && !stream.fail() && DigestBlocks(stream, context, meter);
  Md5Digest digest;
  MD5Final(digest, context);

  stream.clear();
  stream.seekg(start);
  stream.clear(ok ? initialState : initialState | std::ios_base::badbit);
  FileChecksum<Md5Digest> result;
  result.status = ok ? FileReadStatus::Ok : FileReadStatus::ReadFailed;
  if (ok) result.value = digest;
  return result;
}

}  // namespace zelk::engines
