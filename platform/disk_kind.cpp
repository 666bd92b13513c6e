#include "platform/disk_kind.h"

#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <fstream>

namespace zelk::platform {
namespace {

// "1" or "0", or nothing when the file is not there.
char firstCharacterOf(const std::string& path) {
  std::ifstream file(path);
  char flag = 0;
  file.get(flag);
  return file ? flag : 0;
}

}  // namespace

bool onSpinningDisk(const std::string& path, const std::string& sysRoot) {
  struct stat info {};
  if (::stat(path.empty() ? "." : path.c_str(), &info) != 0) return false;
  const std::string device =
      sysRoot + "/dev/block/" + std::to_string(major(info.st_dev)) + ":" + std::to_string(minor(info.st_dev));
  // A partition has no queue of its own; its disk is the folder above it.
  char flag = firstCharacterOf(device + "/queue/rotational");
  if (flag == 0) flag = firstCharacterOf(device + "/../queue/rotational");
  return flag == '1';
}

}  // namespace zelk::platform
