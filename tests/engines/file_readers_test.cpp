#include <gtest/gtest.h>

#include <functional>

#include "engines/crc32.h"
#include "engines/md5.h"
#include "tests/engines/engine_test_support.h"
#include "tests/support/failing_calls.h"
#include "tests/support/temp_folder.h"

namespace zelk::engines {
namespace {

using testing::PatternText;

// A file written while it is checked has no checksum, and one that never
// stops growing still ends the read.
TEST(FileReaders, FileThatGrowsWhileReadIsChanged) {
  zelk::testing::TempFolder folder;
  NoProgress progress;
  const struct {
    const char* reader;
    std::function<FileReadStatus(const std::string&)> read;
  } cases[] = {
      {"FileCrc32", [](const std::string& path) { return FileCrc32(path).status; }},
      {"FileCrc32WithProgress", [&](const std::string& path) { return FileCrc32WithProgress(path, progress).status; }},
      {"MD5File", [](const std::string& path) { return MD5File(path, nullptr).status; }},
  };
  for (const auto& c : cases) {
    for (const std::size_t size : {std::size_t{1}, std::size_t{4096}, std::size_t{3} << 20}) {
      const std::string path = folder.write("growing.bin", PatternText(size));
      const zelk::testing::GrowsWhileRead growing("growing.bin");
      EXPECT_EQ(c.read(path), FileReadStatus::Changed) << c.reader << ", " << size << " bytes";
    }
  }
}

}  // namespace
}  // namespace zelk::engines
