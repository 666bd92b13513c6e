#pragma once
// MD5 of several messages at once, one per lane of a vector kernel: MD5 is a
// single chain of steps per message, so the only way to run it faster than
// the scalar engine is to run independent messages side by side.
//
// Use: start(lane) a message and feed(lane, bytes) it; call advance(), and
// feed each lane that is drained() its next bytes. When a message's last
// bytes are in, endMessage(lane), and finish(lane) once advance() has drained
// it again (finish() at once also works, but runs the lane's last blocks on
// the scalar engine). Lanes start and end at different blocks; a finished
// lane takes a new message while the others go on.
//
// Memory: feed() keeps the caller's bytes in place for the whole blocks among
// them, and the kernel reads them from there during advance(); the caller's
// memory must stay valid and unchanged until the lane is drained() (or
// finish() or start() has been called on it). Only a piece of under 64 bytes
// (a tail not filling a block, or the start of a block that a later feed
// completes) is copied into the lane's own buffers, so the caller may reuse
// its memory as soon as the lane is drained.
//
// Misuse throws, and leaves the object as it was: a lane number at or above
// width() std::out_of_range; feeding a lane that is not drained, not started
// or already ended, and ending or finishing a lane that is not started
// std::logic_error.

#include <cstddef>
#include <cstdint>
#include <span>

#include "engines/checksum_types.h"
#include "engines/md5_lanes_kernels.h"

namespace zelk::engines {

class Md5Lanes {
 public:
  // With the fastest kernel this processor runs.
  Md5Lanes();
  // With the given one (tests and benchmarks go over each).
  explicit Md5Lanes(const detail::NamedMd5LanesKernel& kernel);
  // Lanes hold pointers into their own buffers.
  Md5Lanes(const Md5Lanes&) = delete;
  Md5Lanes& operator=(const Md5Lanes&) = delete;

  // How many lanes run side by side: 16, 8, or 1 for the scalar kernel.
  std::size_t width() const { return width_; }

  // A new, empty message in the lane; whatever the lane held is dropped,
  // without reading any more of the memory it was fed from.
  void start(std::size_t lane);

  // The message's next bytes. The lane must be started, not ended, and
  // drained; bytes may be empty. Lengths add up in 64 bits.
  void feed(std::size_t lane, std::span<const std::uint8_t> bytes);

  // The message is complete: its padding and length join the lane's pending
  // blocks, so that advance() runs them beside the other lanes' blocks and
  // finish() has nothing left to run. The lane must be started; ending an
  // ended lane does nothing.
  void endMessage(std::size_t lane);

  // Runs the kernel over the whole blocks pending in the lanes that have any,
  // for as long as each of them still has one: it returns once one of them is
  // drained, or at once when no lane has a block pending. Lanes without
  // blocks are skipped and keep their state.
  void advance();

  // True when the lane has no whole block left to run: every byte fed to it
  // has been hashed or copied, and the caller's memory is free again.
  bool drained(std::size_t lane) const;

  // The digest of the lane's message (RFC 1321). Ends the message first if
  // endMessage() was not called, and runs what the lane still has pending on
  // the scalar engine, one lane alone; after advance() has drained an ended
  // lane nothing is left. The lane is then free until started again.
  Md5Digest finish(std::size_t lane);

 private:
  // Whole blocks waiting to run, in message order.
  struct Run {
    const std::uint8_t* data;
    std::size_t blocks;
  };

  struct Lane {
    enum class Phase { Free, Open, Ended };
    Phase phase = Phase::Free;
    std::uint64_t messageBytes = 0;
    // At most: a block completed from an earlier tail, the caller's blocks,
    // the padding.
    Run runs[3] = {};
    std::size_t runCount = 0;
    std::size_t tailSize = 0;
    alignas(64) std::uint8_t joined[64] = {};  // an earlier tail completed to a block
    alignas(64) std::uint8_t tail[128] = {};   // the bytes under a block, then the padding
  };

  Lane& laneAt(std::size_t lane);
  static void push(Lane& lane, const std::uint8_t* data, std::size_t blocks);
  static void consume(Lane& lane, std::size_t blocks);

  detail::Md5LanesKernel kernel_;
  std::size_t width_;
  detail::Md5LaneStates states_{};
  Lane lanes_[detail::kMd5MaxLanes];
};

}  // namespace zelk::engines
