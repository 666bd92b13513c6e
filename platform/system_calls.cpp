#include "platform/system_calls.h"

#include <fcntl.h>
#include <unistd.h>

namespace zelk::platform {
namespace {

int openFile(const char* path, int flags, mode_t mode) { return ::open(path, flags, mode); }

}  // namespace

SystemCalls& systemCalls() {
  static SystemCalls calls{openFile, ::read, ::write, ::fsync, ::close};
  return calls;
}

}  // namespace zelk::platform
