#include "platform/disk_kind.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <string>

#include "tests/support/temp_folder.h"

namespace zelk::platform {
namespace {

using testing::TempFolder;

// A sysfs tree of our own for the device that holds the temporary folder.
class DiskKindTest : public ::testing::Test {
 protected:
  std::string deviceName() const {
    struct stat info {};
    EXPECT_EQ(::stat(files_.path().c_str(), &info), 0);
    return std::to_string(major(info.st_dev)) + ":" + std::to_string(minor(info.st_dev));
  }
  std::string sysRoot() const { return sys_.path() + "sys"; }
  // The device entry as a link into the device tree, as sysfs has it.
  void linkDevice(const std::string& target) const {
    sys_.makeFolder("sys/dev/block");
    ASSERT_EQ(::symlink(("../../" + target).c_str(), (sysRoot() + "/dev/block/" + deviceName()).c_str()), 0);
  }

  TempFolder files_;
  TempFolder sys_;
};

TEST_F(DiskKindTest, SpinningDiskRotates) {
  sys_.write("sys/devices/vda/queue/rotational", "1\n");
  linkDevice("devices/vda");
  EXPECT_TRUE(onSpinningDisk(files_.path(), sysRoot()));
}

TEST_F(DiskKindTest, SolidStateDiskDoesNotRotate) {
  sys_.write("sys/devices/nvme0n1/queue/rotational", "0\n");
  linkDevice("devices/nvme0n1");
  EXPECT_FALSE(onSpinningDisk(files_.path(), sysRoot()));
}

TEST_F(DiskKindTest, PartitionIsAskedThroughItsDisk) {
  sys_.write("sys/devices/sda/queue/rotational", "1\n");
  sys_.makeFolder("sys/devices/sda/sda2");
  linkDevice("devices/sda/sda2");
  EXPECT_TRUE(onSpinningDisk(files_.path(), sysRoot()));
}

TEST_F(DiskKindTest, NoBlockDeviceOrNoPathCountsAsNotSpinning) {
  EXPECT_FALSE(onSpinningDisk(files_.path(), sysRoot()));
  sys_.write("sys/devices/sda/queue/rotational", "1\n");
  linkDevice("devices/sda");
  EXPECT_FALSE(onSpinningDisk(files_.path() + "missing", sysRoot()));
}

}  // namespace
}  // namespace zelk::platform
