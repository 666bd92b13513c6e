#include "engines/md5_lanes.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <stdexcept>

namespace zelk::engines {

namespace detail {

std::size_t WriteMd5Padding(std::uint8_t* blocks, std::size_t tailSize, std::uint64_t messageBytes) {
  // The length field ends the last block; a tail too long to leave room for
  // it after the 0x80 spills the padding into a second block.
  const std::size_t size = tailSize < 56 ? 64 : 128;
  blocks[tailSize] = 0x80;
  std::memset(blocks + tailSize + 1, 0, size - 8 - tailSize - 1);
  const std::uint64_t bits = messageBytes << 3;
  for (std::size_t i = 0; i < 8; ++i) blocks[size - 8 + i] = static_cast<std::uint8_t>(bits >> (8 * i));
  return size / 64;
}

}  // namespace detail

namespace {

constexpr std::uint32_t kInitialState[4] = {0x67452301, 0xEFCDAB89, 0x98BADCFE, 0x10325476};

}  // namespace

Md5Lanes::Md5Lanes() : Md5Lanes(detail::SupportedMd5LanesKernels().back()) {}

Md5Lanes::Md5Lanes(const detail::NamedMd5LanesKernel& kernel)
    : kernel_(kernel.advance), width_(std::min(kernel.lanes, detail::kMd5MaxLanes)) {}

void Md5Lanes::start(std::size_t lane) {
  Lane& l = laneAt(lane);
  l.phase = Lane::Phase::Open;
  l.messageBytes = 0;
  l.runCount = 0;
  l.tailSize = 0;
  for (std::size_t w = 0; w < 4; ++w) states_.words[w][lane] = kInitialState[w];
}

void Md5Lanes::feed(std::size_t lane, std::span<const std::uint8_t> bytes) {
  Lane& l = laneAt(lane);
  if (l.phase != Lane::Phase::Open) throw std::logic_error("MD5 lane fed while not open for a message");
  if (l.runCount > 0) throw std::logic_error("MD5 lane fed before its earlier blocks ran");
  l.messageBytes += bytes.size();
  if (bytes.empty()) return;
  if (l.tailSize > 0) {
    const std::size_t take = std::min(64 - l.tailSize, bytes.size());
    std::memcpy(l.tail + l.tailSize, bytes.data(), take);
    l.tailSize += take;
    bytes = bytes.subspan(take);
    if (l.tailSize < 64) return;
    std::memcpy(l.joined, l.tail, 64);
    push(l, l.joined, 1);
    l.tailSize = 0;
  }
  const std::size_t whole = bytes.size() / 64;
  push(l, bytes.data(), whole);
  l.tailSize = bytes.size() % 64;
  if (l.tailSize > 0) std::memcpy(l.tail, bytes.data() + 64 * whole, l.tailSize);
}

void Md5Lanes::endMessage(std::size_t lane) {
  Lane& l = laneAt(lane);
  if (l.phase == Lane::Phase::Free) throw std::logic_error("MD5 lane ended without a message");
  if (l.phase == Lane::Phase::Ended) return;
  l.phase = Lane::Phase::Ended;
  push(l, l.tail, detail::WriteMd5Padding(l.tail, l.tailSize, l.messageBytes));
  l.tailSize = 0;
}

void Md5Lanes::advance() {
  for (;;) {
    detail::Md5LanePointers pointers{};
    std::uint32_t active = 0;
    std::size_t blocks = std::numeric_limits<std::size_t>::max();
    for (std::size_t i = 0; i < width_; ++i) {
      if (lanes_[i].runCount == 0) continue;
      active |= std::uint32_t{1} << i;
      pointers[i] = lanes_[i].runs[0].data;
      blocks = std::min(blocks, lanes_[i].runs[0].blocks);
    }
    if (active == 0) return;
    kernel_(states_, pointers, active, blocks);
    bool someDrained = false;
    for (std::size_t i = 0; i < width_; ++i) {
      if ((active >> i & 1) == 0) continue;
      consume(lanes_[i], blocks);
      someDrained = someDrained || lanes_[i].runCount == 0;
    }
    if (someDrained) return;
  }
}

bool Md5Lanes::drained(std::size_t lane) const {
  if (lane >= width_) throw std::out_of_range("no such MD5 lane");
  return lanes_[lane].runCount == 0;
}

Md5Digest Md5Lanes::finish(std::size_t lane) {
  Lane& l = laneAt(lane);
  if (l.phase == Lane::Phase::Free) throw std::logic_error("MD5 lane finished without a message");
  endMessage(lane);
  detail::Md5LanePointers pointers{};
  for (; l.runCount > 0; consume(l, l.runs[0].blocks)) {
    pointers[lane] = l.runs[0].data;
    detail::AdvanceMd5LanesScalar(states_, pointers, std::uint32_t{1} << lane, l.runs[0].blocks);
  }
  Md5Digest::Bytes bytes;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    bytes[i] = static_cast<std::uint8_t>(states_.words[i / 4][lane] >> (8 * (i % 4)));
  }
  l.phase = Lane::Phase::Free;
  return Md5Digest(bytes);
}

Md5Lanes::Lane& Md5Lanes::laneAt(std::size_t lane) {
  if (lane >= width_) throw std::out_of_range("no such MD5 lane");
  return lanes_[lane];
}

void Md5Lanes::push(Lane& lane, const std::uint8_t* data, std::size_t blocks) {
  if (blocks > 0) lane.runs[lane.runCount++] = {data, blocks};
}

void Md5Lanes::consume(Lane& lane, std::size_t blocks) {
  Run& first = lane.runs[0];
  first.data += 64 * blocks;
  first.blocks -= blocks;
  if (first.blocks > 0) return;
  std::copy(lane.runs + 1, lane.runs + lane.runCount, lane.runs);
  --lane.runCount;
}

}  // namespace zelk::engines
