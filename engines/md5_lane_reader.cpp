#include "engines/md5_lane_reader.h"

#include <utility>

namespace zelk::engines {

Md5LaneReader::Md5LaneReader(std::size_t chunkSize) : chunkSize_(chunkSize) {}

bool Md5LaneReader::pays() {
  static const bool sideBySide = detail::SupportedMd5LanesKernels().back().lanes > 1;
  return sideBySide;
}

std::int64_t Md5LaneReader::memoryFor(std::size_t chunkSize) {
  const std::size_t widest = detail::SupportedMd5LanesKernels().back().lanes;
  return static_cast<std::int64_t>(widest * (chunkSize + 1));
}

std::size_t Md5LaneReader::chunkSizeWithin(std::int64_t bytes) {
  if (!pays()) return 0;
  for (std::size_t chunk = kChunkSize; chunk >= kSmallestChunk; chunk /= 2) {
    if (memoryFor(chunk) <= bytes) return chunk;
  }
  return 0;
}

bool Md5LaneReader::hasFreeLane() const {
  for (std::size_t i = 0; i < width(); ++i) {
    if (!slots_[i].reading) return true;
  }
  return false;
}

bool Md5LaneReader::busy() const {
  for (std::size_t i = 0; i < width(); ++i) {
    if (slots_[i].reading) return true;
  }
  return false;
}

Md5LaneReader::Start Md5LaneReader::start(const std::string& path, ReadEvents events, Done done, bool onlyCached) {
  std::size_t index = 0;
  while (slots_[index].reading) ++index;
  Lane& lane = slots_[index];
  HashedFile result;
  result.status = lane.file.open(path, &folders_);
  if (result.status != FileReadStatus::Ok) {
    done(std::move(result));
    return Start::Finished;
  }
  const std::int64_t size = lane.file.size();
  const auto chunk = static_cast<std::int64_t>(chunkSize_);
  const bool fromDisk = onlyCached && size >= chunk && !(lane.file.cached(0, chunk) && lane.file.cached(size - 1, 1));
  if (size >= kLargestFile || fromDisk) {
    lane.file.close();
    return Start::Declined;
  }
  if (events.opened) events.opened(size);
  if (!lane.buffer) lane.buffer = detail::MakeAlignedBuffer(chunkSize_ + 1);
  lane.events = std::move(events);
  lane.done = std::move(done);
  lane.result = HashedFile();
  lane.reading = true;
  lane.ended = false;
  lanes_.start(index);
  return Start::Started;
}

void Md5LaneReader::refill(std::size_t index) {
  Lane& lane = slots_[index];
  // A file under a chunk is read whole, with a byte more to tell one that grew.
  const std::size_t capacity =
      lane.file.size() < static_cast<std::int64_t>(chunkSize_) ? static_cast<std::size_t>(lane.file.size()) + 1 : chunkSize_;
  const std::int64_t got = lane.file.read(lane.buffer.get(), capacity);
  if (got < 0) {
    HashedFile failed;
    failed.status = FileReadStatus::ReadFailed;
    failed.bytesRead = lane.result.bytesRead;
    lanes_.start(index);  // drops the message
    finish(index, std::move(failed));
    return;
  }
  lanes_.feed(index, {lane.buffer.get(), static_cast<std::size_t>(got)});
  lane.result.bytesRead += got;
  if (lane.events.block) lane.events.block(got);
  if (lane.file.ended()) {
    lanes_.endMessage(index);
    lane.ended = true;
  }
}

void Md5LaneReader::finish(std::size_t index, HashedFile result) {
  Lane& lane = slots_[index];
  lane.file.close();
  lane.reading = false;
  const Done done = std::move(lane.done);
  lane.events = {};
  done(std::move(result));
}

void Md5LaneReader::step(const std::stop_token& stop) {
  if (stop.stop_requested()) {
    for (std::size_t i = 0; i < width(); ++i) {
      if (!slots_[i].reading) continue;
      slots_[i].file.close();
      slots_[i].reading = false;
      lanes_.start(i);
    }
    return;
  }
  for (std::size_t i = 0; i < width(); ++i) {
    if (slots_[i].reading && !slots_[i].ended && lanes_.drained(i)) refill(i);
  }
  lanes_.advance();
  for (std::size_t i = 0; i < width(); ++i) {
    Lane& lane = slots_[i];
    if (!lane.reading || !lane.ended || !lanes_.drained(i)) continue;
    HashedFile result = std::move(lane.result);
    const Md5Digest digest = lanes_.finish(i);
    result.status = lane.file.checkUnchanged();
    if (result.status == FileReadStatus::Ok) result.digests.set(ChecksumKind::Md5, Digest(digest.bytes()));
    finish(i, std::move(result));
  }
}

}  // namespace zelk::engines
