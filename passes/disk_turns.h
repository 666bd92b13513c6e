#pragma once
// Turns at a spinning disk. Two files read at once from one make its heads
// jump between them, so a file whose data has to come from the disk is read
// alone; and the turns go in the order the pass asked for the files, so the
// file the pass waits for is the one being read (its bar moves) and never a
// later one that some other reader happened to open first.

#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <stop_token>
#include <vector>

#include "engines/file_hasher.h"

namespace zelk::passes {

class DiskTurns {
 public:
  // The turn of the file asked for at `index`. Every index from 0 on must
  // get a Turn, and every Turn be released (at the latest when it ends),
  // or later files wait for ever.
  class Turn final : public engines::ReadTurn {
   public:
    Turn(DiskTurns& turns, std::size_t index) : turns_(turns), index_(index) {}
    ~Turn() override { release(); }
    Turn(const Turn&) = delete;
    Turn& operator=(const Turn&) = delete;

    // Waits until every earlier file is done with the disk. False when the
    // stop came first.
    bool take(const std::stop_token& stop) override;
    // This file needs the disk no longer, or never did.
    void release() override;

   private:
    DiskTurns& turns_;
    std::size_t index_;
    bool released_ = false;
  };

 private:
  std::mutex mutex_;
  std::condition_variable_any advanced_;
  std::size_t next_ = 0;        // the lowest index not yet released
  std::vector<bool> released_;  // by index, for those released ahead of their turn
};

}  // namespace zelk::passes
