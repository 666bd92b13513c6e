#include "platform/system_calls.h"

#include <fcntl.h>
#include <cerrno>
#include <unistd.h>

namespace zelk::platform {
namespace {

int openFile(int folder, const char* path, int flags, mode_t mode) { return ::openat(folder, path, flags, mode); }

}  // namespace

SystemCalls& systemCalls() {
  static SystemCalls calls{openFile, ::read, ::pread, ::write, ::fsync, ::close, ::preadv2};
  return calls;
}

int writeFully(int fd, const void* data, size_t size) {
  const auto* in = static_cast<const char*>(data);
  while (size > 0) {
    const ssize_t put = systemCalls().write(fd, in, size);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) return put < 0 ? errno : ENOSPC;
    in += put;
    size -= static_cast<size_t>(put);
  }
  return 0;
}

}  // namespace zelk::platform
