#pragma once
// The running program's file name, which names its log and its crash reports.

#include <unistd.h>

#include <string>

namespace zelk::diag {

// The name of the executable the process runs, without its folder; links
// followed. Empty when the kernel does not tell.
inline std::string programFileName() {
  char path[4096];
  const ssize_t length = ::readlink("/proc/self/exe", path, sizeof path);
  if (length <= 0) return {};
  const std::string full(path, static_cast<std::size_t>(length));
  return full.substr(full.rfind('/') + 1);
}

}  // namespace zelk::diag
