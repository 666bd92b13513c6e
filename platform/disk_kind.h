#pragma once
// Whether a folder's files lie on a spinning disk, where reading several
// files at once makes the heads jump between them and every read slower.

#include <string>

namespace zelk::platform {

// True when the block device holding `path` tells the kernel it rotates
// (`queue/rotational` of the device, or of the disk a partition belongs to).
// False for solid-state and memory devices and for file systems without a
// block device of their own (tmpfs, network shares), and when it cannot be
// told. `sysRoot` is where sysfs is mounted; tests give a tree of their own.
bool onSpinningDisk(const std::string& path, const std::string& sysRoot = "/sys");

}  // namespace zelk::platform
