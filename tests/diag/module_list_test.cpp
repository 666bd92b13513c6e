#include <gtest/gtest.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "diag/module_list.h"

namespace zelk::diag {
namespace {

struct RecordingSink : LineSink {
  std::vector<std::string> lines;
  void line(std::string_view text) override { lines.emplace_back(text); }
};

ModuleInfo moduleOf(std::uintptr_t load, std::uintptr_t preferred, const char* path, const char* realName) {
  ModuleInfo module;
  module.loadAddress = load;
  module.preferredAddress = preferred;
  std::snprintf(module.path, sizeof module.path, "%s", path);
  std::snprintf(module.realName, sizeof module.realName, "%s", realName);
  return module;
}

// The build ID as binutils' readelf reads it from the file.
std::string readelfBuildId(const std::string& path) {
  const std::string command = "readelf -n '" + path + "' 2>/dev/null";
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(::popen(command.c_str(), "r"), ::pclose);
  std::array<char, 512> line{};
  while (pipe && std::fgets(line.data(), line.size(), pipe.get()) != nullptr) {
    const std::string text(line.data());
    const std::size_t at = text.find("Build ID: ");
    if (at != std::string::npos) return text.substr(at + 10, text.find_last_not_of("\r\n") - at - 9);
  }
  return {};
}

TEST(VersionOfFileName, IsWhatFollowsTheSharedObjectSuffix) {
  const struct {
    const char* name;
    const char* version;
  } cases[] = {
      {"libQt6Core.so.6.4.2", "6.4.2"}, {"libc.so.6", "6"}, {"libstdc++.so.6.0.30", "6.0.30"},
      {"libdw-0.188.so", "0.188"},      {"libfoo.so", ""},        {"libfoo-bar.so", ""},
      {"Zelk_SFV_Utility", ""},         {"", ""},
  };
  for (const auto& test : cases) EXPECT_EQ(versionOfFileName(test.name), test.version) << test.name;
}

TEST(WriteModuleLines, ShowPreferredAddressOnlyForAModuleLoadedElsewhere) {
  ModuleInfo modules[] = {
      moduleOf(0x400000, 0x400000, "/usr/bin/fixed", "fixed"),
      moduleOf(0x7F0000001000, 0x10000000, "/usr/lib/libold.so.1", "libold.so.1.2"),
      moduleOf(0x7F0000100000, 0, "/usr/lib/libQt6Core.so.6", "libQt6Core.so.6.4.2"),
  };
  modules[2].buildId[0] = 0x0A;
  modules[2].buildId[1] = 0xF3;
  modules[2].buildIdSize = 2;
  RecordingSink sink;
  writeModuleLines(modules, std::size(modules), sink);
  const std::vector<std::string> expected = {
      "[0000000000400000] /usr/bin/fixed",
      "                   (no version info)",
      "[00007F0000001000] /usr/lib/libold.so.1",
      "<0000000010000000> 1.2 - libold.so.1.2",
      "[00007F0000100000] /usr/lib/libQt6Core.so.6",
      "                   6.4.2 - libQt6Core.so.6.4.2",
      "                   Build ID 0af3",
  };
  EXPECT_EQ(sink.lines, expected);
}

TEST(CollectModules, ListsThisProcessInAddressOrderWithRealNamesAndBuildIds) {
  std::vector<ModuleInfo> modules(kMaxModules);
  const std::size_t count = collectModules(modules.data(), modules.size());
  ASSERT_GT(count, 2u);
  modules.resize(count);
  for (std::size_t index = 1; index < count; ++index) {
    EXPECT_LT(modules[index - 1].loadAddress, modules[index].loadAddress);
  }
  const std::string program = std::filesystem::read_symlink("/proc/self/exe");
  const ModuleInfo* own = nullptr;
  const ModuleInfo* standardLibrary = nullptr;
  for (const ModuleInfo& module : modules) {
    if (module.path == program) own = &module;
    if (std::string_view(module.path).find("libstdc++.so") != std::string_view::npos) standardLibrary = &module;
  }
  ASSERT_NE(own, nullptr) << "the program itself is missing";
  EXPECT_EQ(moduleAt(modules.data(), count, reinterpret_cast<std::uintptr_t>(&readelfBuildId)), own);
  std::string buildId;
  for (std::size_t index = 0; index < own->buildIdSize; ++index) {
    char digits[3];
    std::snprintf(digits, sizeof digits, "%02x", own->buildId[index]);
    buildId += digits;
  }
  EXPECT_EQ(buildId, readelfBuildId(program));

  ASSERT_NE(standardLibrary, nullptr);
  const std::string realName = std::filesystem::canonical(standardLibrary->path).filename();
  EXPECT_EQ(standardLibrary->realName, realName);
  EXPECT_EQ(moduleAt(modules.data(), count, 0x1000), nullptr);
}

}  // namespace
}  // namespace zelk::diag
