#pragma once
// The running program's file name, which names its log and its crash reports.

#include <string>

#include "platform/directory.h"

namespace zelk::diag {

// The name of the executable the process runs, without its folder; links
// followed. Empty when the kernel does not tell.
inline std::string programFileName() {
  const std::string path = platform::programFile();
  return path.substr(path.rfind('/') + 1);
}

}  // namespace zelk::diag
