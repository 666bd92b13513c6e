#pragma once
// Kernel-call failures injected through the system-call seam, so tests reach
// the error paths without unreadable files (tests run as root). Each helper
// replaces its entries while alive and puts the previous ones back when it
// goes; the calls it does not fail go on to those previous entries. At most
// one helper of each kind may be alive at a time.

#include <cstdint>
#include <functional>
#include <string>

#include "platform/system_calls.h"

namespace zelk::testing {

// Opening a path that ends in `suffix` fails as if permission were denied;
// the empty suffix refuses every open.
class OpensFail {
 public:
  explicit OpensFail(std::string suffix = "");

 private:
  platform::ScopedSystemCalls restore_;
};

// Reads fail with EIO on the files this helper sees opened for a path ending
// in `suffix`; closing such a file forgets it.
class ReadsFail {
 public:
  explicit ReadsFail(std::string suffix);

 private:
  platform::ScopedSystemCalls restore_;
};

// File reads deliver `budget` bytes in all and then fail with EIO; a budget
// of 0 fails every read.
class ReadsFailAfter {
 public:
  explicit ReadsFailAfter(std::int64_t budget);

 private:
  platform::ScopedSystemCalls restore_;
};

// Files this helper sees opened for a path ending in `suffix` grow by a byte
// after every read of them, as a file being written while it is checked.
class GrowsWhileRead {
 public:
  explicit GrowsWhileRead(std::string suffix);

 private:
  platform::ScopedSystemCalls restore_;
};

// Every fsync first runs `before`, told whether the descriptor is a folder,
// then goes on: what happens while a file, or the folder that holds it, is
// being put on the disk (a stop that comes during a slow sync).
class BeforeSync {
 public:
  explicit BeforeSync(std::function<void(bool folder)> before);

 private:
  platform::ScopedSystemCalls restore_;
};

}  // namespace zelk::testing
