#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "engines/crc32.h"
#include "engines/whole_file.h"
#include "tests/engines/engine_test_support.h"
#include "tests/support/failing_calls.h"
#include "tests/support/temp_folder.h"

namespace zelk::engines {
namespace {

using testing::PatternText;

TEST(WholeFileLoader, LoadsFilesIntoOneReusedBuffer) {
  zelk::testing::TempFolder folder;
  WholeFileLoader loader;
  const std::uint8_t* first = nullptr;
  // Largest first, so the buffer never has to grow after it.
  for (auto sample = testing::kPatternSamples.rbegin(); sample != testing::kPatternSamples.rend(); ++sample) {
    const std::string path = folder.write("sample.bin", PatternText(sample->size));
    const auto bytes = loader.load(path);
    ASSERT_TRUE(bytes.has_value()) << sample->size;
    EXPECT_EQ(bytes->size(), sample->size);
    EXPECT_EQ(StreamCrc32(*bytes).toHex(), sample->crc32) << sample->size << " bytes";
    if (first == nullptr) first = bytes->data();
    if (!bytes->empty()) {
      EXPECT_EQ(bytes->data(), first) << sample->size;
    }
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(bytes->data()) % 64, 0u);
  }
}

TEST(WholeFileLoader, LoadsUpToTheLimitAndNoFurther) {
  zelk::testing::TempFolder folder;
  const std::string path = folder.write("sparse.bin", "");
  WholeFileLoader loader;
  std::filesystem::resize_file(path, static_cast<std::uintmax_t>(WholeFileLoader::kLimit));
  const auto atLimit = loader.load(path);
  ASSERT_TRUE(atLimit.has_value());
  EXPECT_EQ(static_cast<std::int64_t>(atLimit->size()), WholeFileLoader::kLimit);
  std::filesystem::resize_file(path, static_cast<std::uintmax_t>(WholeFileLoader::kLimit + 1));
  EXPECT_FALSE(loader.load(path).has_value());
}

TEST(WholeFileLoader, UnopenableOrUnreadableGivesNothing) {
  zelk::testing::TempFolder folder;
  const std::string fifo = folder.path() + "fifo";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const std::string existing = folder.write("sample.bin", PatternText(5000));
  WholeFileLoader loader;
  for (const std::string& path : {folder.path() + "missing", folder.path(), fifo}) {
    EXPECT_FALSE(loader.load(path).has_value()) << path;
  }
  {
    zelk::testing::ReadsFailAfter fail(4096);
    EXPECT_FALSE(loader.load(existing).has_value());
  }
  zelk::testing::OpensFail fail;
  EXPECT_FALSE(loader.load(existing).has_value());
}

}  // namespace
}  // namespace zelk::engines
