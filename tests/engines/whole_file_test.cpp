#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <functional>

#include "engines/crc32.h"
#include "engines/md5.h"
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
    const auto loaded = loader.load(path);
    ASSERT_TRUE(loaded.has_value() && loaded->ok()) << sample->size;
    const WholeFileLoader::Bytes* bytes = &loaded->value;
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
  ASSERT_TRUE(atLimit.has_value() && atLimit->ok());
  EXPECT_EQ(static_cast<std::int64_t>(atLimit->value.size()), WholeFileLoader::kLimit);
  std::filesystem::resize_file(path, static_cast<std::uintmax_t>(WholeFileLoader::kLimit + 1));
  EXPECT_FALSE(loader.load(path).has_value());
}

TEST(WholeFileLoader, UnopenableOrUnreadableSaysWhy) {
  zelk::testing::TempFolder folder;
  const std::string fifo = folder.path() + "fifo";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const std::string existing = folder.write("sample.bin", PatternText(5000));
  WholeFileLoader loader;
  const auto statusOf = [&loader](const std::string& path) {
    const auto loaded = loader.load(path);
    return loaded ? loaded->status : FileReadStatus::Ok;
  };
  EXPECT_EQ(statusOf(folder.path() + "missing"), FileReadStatus::Missing);
  EXPECT_EQ(statusOf(folder.path()), FileReadStatus::NotAFile);
  EXPECT_EQ(statusOf(fifo), FileReadStatus::NotAFile);
  {
    zelk::testing::ReadsFailAfter fail(4096);
    EXPECT_EQ(statusOf(existing), FileReadStatus::ReadFailed);
  }
  zelk::testing::OpensFail fail;
  EXPECT_EQ(statusOf(existing), FileReadStatus::OpenFailed);
}

// A file written while it is checked has no checksum, and one that never
// stops growing still ends the read.
TEST(FileReaders, FileThatGrowsWhileReadIsChanged) {
  zelk::testing::TempFolder folder;
  NoProgress progress;
  WholeFileLoader loader;
  const struct {
    const char* reader;
    std::function<FileReadStatus(const std::string&)> read;
  } cases[] = {
      {"FileCrc32", [](const std::string& path) { return FileCrc32(path).status; }},
      {"FileCrc32WithProgress", [&](const std::string& path) { return FileCrc32WithProgress(path, progress).status; }},
      {"MD5File", [](const std::string& path) { return MD5File(path, nullptr).status; }},
      {"WholeFileLoader", [&](const std::string& path) { return loader.load(path)->status; }},
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
