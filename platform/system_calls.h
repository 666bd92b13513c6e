#pragma once
// The one seam between the program and the kernel's file calls. Production code
// reaches openat/read/pread/write/fsync/close, and preadv2 (which tells whether
// data is in memory), only through systemCalls(), so tests can make them fail (an
// unreadable file, a full disk, data that has to come from the disk) without
// needing such a disk.

#include <sys/types.h>
#include <sys/uio.h>

namespace zelk::platform {

struct SystemCalls {
  // openat(2): `path` is found in the folder open as `folder`, or from the
  // working folder for AT_FDCWD.
  int (*openAt)(int folder, const char* path, int flags, mode_t mode);
  ssize_t (*read)(int fd, void* buffer, size_t size);
  ssize_t (*pread)(int fd, void* buffer, size_t size, off_t offset);
  ssize_t (*write)(int fd, const void* buffer, size_t size);
  int (*fsync)(int fd);
  int (*close)(int fd);
  ssize_t (*preadv2)(int fd, const iovec* vectors, int count, off_t offset, int flags);
};

// The process-wide table; initialised with the C library's calls.
SystemCalls& systemCalls();

// Writes all `size` bytes to `fd` through systemCalls().write, retrying
// interrupted and short writes. 0 when done, else the system's error number
// (ENOSPC for a write that takes nothing).
int writeFully(int fd, const void* data, size_t size);

// Restores the table on destruction: tests replace single entries through it.
class ScopedSystemCalls {
 public:
  ScopedSystemCalls() : saved_(systemCalls()) {}
  ~ScopedSystemCalls() { systemCalls() = saved_; }
  ScopedSystemCalls(const ScopedSystemCalls&) = delete;
  ScopedSystemCalls& operator=(const ScopedSystemCalls&) = delete;

 private:
  SystemCalls saved_;
};

}  // namespace zelk::platform
