#include "engines/piece_reader.h"

#include <algorithm>

namespace zelk::engines {
namespace {

// A bound, so that a machine of many processors does not start a thread
// per processor for every worker's file.
constexpr unsigned kMostHelpers = 7;
constexpr auto kPieceSize = static_cast<std::int64_t>(PieceHasher::kPieceSize);

}  // namespace

unsigned PieceReader::helpersHere() {
  // Asked once: the C++ library reads the count from /sys at every call.
  static const unsigned helpers = [] {
    const unsigned processors = std::thread::hardware_concurrency();
    return processors <= 1 ? 0 : std::min(processors - 1, kMostHelpers);
  }();
  return helpers;
}

PieceReader::PieceReader() {
  const unsigned helpers = helpersHere();
  for (unsigned i = 0; i <= helpers; ++i) buffers_.push_back(detail::MakeAlignedBuffer(PieceHasher::kPieceSize));
  try {
    for (unsigned i = 0; i < helpers; ++i) {
      helpers_.emplace_back([this, i](const std::stop_token& quit) { help(quit, i + 1); });
    }
  } catch (...) {
    letHelpersGo();  // those started, before their threads are joined
    throw;
  }
}

PieceReader::~PieceReader() { letHelpersGo(); }

void PieceReader::letHelpersGo() {
  for (std::jthread& helper : helpers_) helper.request_stop();
  generation_.fetch_add(1, std::memory_order_release);
  generation_.notify_all();
}

void PieceReader::help(const std::stop_token& quit, std::size_t helper) {
  std::uint32_t seen = 0;
  for (;;) {
    generation_.wait(seen, std::memory_order_acquire);
    const std::uint32_t now = generation_.load(std::memory_order_acquire);
    if (quit.stop_requested()) return;
    if (now == seen) continue;
    seen = now;
    work(buffers_[helper].get(), false);
    if (working_.fetch_sub(1, std::memory_order_acq_rel) == 1) working_.notify_one();
  }
}

void PieceReader::work(std::uint8_t* buffer, bool caller) {
  while (failure_.load(std::memory_order_relaxed) == FileReadStatus::Ok && !stop_->stop_requested()) {
    const std::uint64_t index = next_.fetch_add(1, std::memory_order_relaxed);
    if (index >= end_) return;
    const std::int64_t offset = static_cast<std::int64_t>(index) * kPieceSize;
    const std::int64_t got = file_->readAt(buffer, PieceHasher::kPieceSize, offset);
    if (got != kPieceSize) {
      // Short of a piece it had at its opening: the file has shrunk.
      FileReadStatus ok = FileReadStatus::Ok;
      failure_.compare_exchange_strong(ok, got < 0 ? FileReadStatus::ReadFailed : FileReadStatus::Changed);
      return;
    }
    values_[index - first_] = hasher_->hashPiece(buffer, index);
    hashedBytes_.fetch_add(kPieceSize, std::memory_order_relaxed);
    if (caller) tellHashed();
  }
}

void PieceReader::tellHashed() { (*hashed_)(hashedBytes_.exchange(0, std::memory_order_relaxed)); }

void PieceReader::waitForHelpers() {
  for (unsigned left = working_.load(std::memory_order_acquire); left != 0;
       left = working_.load(std::memory_order_acquire)) {
    working_.wait(left, std::memory_order_acquire);
  }
}

PieceReader::Outcome PieceReader::read(const platform::InputFile& file, PieceHasher& hasher, std::uint64_t count,
                                       const std::stop_token& stop,
                                       const std::function<void(std::int64_t bytes)>& hashed) {
  file_ = &file;
  hasher_ = &hasher;
  stop_ = &stop;
  hashed_ = &hashed;
  failure_.store(FileReadStatus::Ok, std::memory_order_relaxed);
  Outcome outcome;
  for (first_ = 0; first_ < count; first_ += kWindow) {
    end_ = std::min(count, first_ + kWindow);
    next_.store(first_, std::memory_order_relaxed);
    working_.store(static_cast<unsigned>(helpers_.size()), std::memory_order_relaxed);
    generation_.fetch_add(1, std::memory_order_release);
    generation_.notify_all();
    try {
      work(buffers_[0].get(), true);
    } catch (...) {
      // No helper may still be at this window when the next one is set.
      failure_.store(FileReadStatus::ReadFailed, std::memory_order_relaxed);
      waitForHelpers();
      throw;
    }
    waitForHelpers();
    tellHashed();
    outcome.status = failure_.load(std::memory_order_relaxed);
    outcome.cancelled = outcome.status == FileReadStatus::Ok && stop.stop_requested();
    if (outcome.status != FileReadStatus::Ok || outcome.cancelled) return outcome;
    for (std::uint64_t index = first_; index < end_; ++index) hasher.addPiece(values_[index - first_]);
  }
  return outcome;
}

}  // namespace zelk::engines
