#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "platform/files.h"
#include "platform/user_folders.h"
#include "tests/support/scoped_environment.h"
#include "tests/support/temp_folder.h"

namespace zelk::platform {
namespace {

using zelk::testing::ScopedEnvironment;

TEST(UserFolders, FollowTheBaseDirectoryVariablesOrTheirDefaults) {
  const struct {
    std::optional<std::string> value;
    std::string state;
    std::string config;
  } cases[] = {
      {"/var/xdg", "/var/xdg/zelk-sfv-utility/", "/var/xdg/zelk-sfv-utility/"},
      {"/var/xdg/", "/var/xdg/zelk-sfv-utility/", "/var/xdg/zelk-sfv-utility/"},
      // Relative and empty values are to be ignored.
      {"relative/dir", "/home/tester/.local/state/zelk-sfv-utility/", "/home/tester/.config/zelk-sfv-utility/"},
      {"", "/home/tester/.local/state/zelk-sfv-utility/", "/home/tester/.config/zelk-sfv-utility/"},
      {std::nullopt, "/home/tester/.local/state/zelk-sfv-utility/", "/home/tester/.config/zelk-sfv-utility/"},
  };
  for (const auto& test : cases) {
    ScopedEnvironment environment;
    environment.set("HOME", "/home/tester");
    environment.set("XDG_STATE_HOME", test.value);
    environment.set("XDG_CONFIG_HOME", test.value);
    EXPECT_EQ(userStateFolder(), test.state) << test.value.value_or("(unset)");
    EXPECT_EQ(userConfigFolder(), test.config) << test.value.value_or("(unset)");
  }
}

TEST(UserFolders, MakeUserFolderCreatesMissingParents) {
  const zelk::testing::TempFolder temp;
  const std::string folder = temp.path() + "state/zelk-sfv-utility/";
  EXPECT_TRUE(makeUserFolder(folder));
  EXPECT_EQ(fileKind(folder), FileKind::Directory);
  EXPECT_TRUE(makeUserFolder(folder)) << "an existing folder is fine";
  temp.write("file", "x");
  EXPECT_FALSE(makeUserFolder(temp.path() + "file/below/"));
}

}  // namespace
}  // namespace zelk::platform
