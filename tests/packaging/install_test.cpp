// Installs the build into a temporary prefix, as `cmake --install BUILD
// --prefix DIR` and a package do, and runs what was installed there.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "tests/cli/tool_runner.h"
#include "tests/packaging/install_tree.h"
#include "tests/support/temp_folder.h"

namespace {

namespace fs = std::filesystem;
using zelk::testing::InstallTree;
using zelk::testing::runTool;
using zelk::testing::TempFolder;
using zelk::testing::ToolResult;

TEST_F(InstallTree, EveryFileLandsBelowThePrefix) {
  for (const char* path : {"bin/zelk-sfv", "bin/zelk-sfv-verify-list", "share/man/man1/zelk-sfv.1.gz",
                           "share/man/man1/Zelk_SFV_Utility.1.gz", "share/bash-completion/completions/zelk-sfv",
                           "share/bash-completion/completions/Zelk_SFV_Utility",
                           "share/applications/zelk-sfv-utility.desktop", "share/mime/packages/zelk-sfv-utility.xml",
                           "share/icons/hicolor/scalable/apps/zelk-sfv-utility.svg"}) {
    EXPECT_TRUE(fs::is_regular_file(installed(path))) << path;
  }
  EXPECT_EQ(runTool({"--version"}, "/", installed("bin/zelk-sfv")).out, "zelk-sfv " ZELK_VERSION "\n");
}

// The link in bin/ leads to the program in its own folder, beside its
// language files, wherever the prefix is.
TEST_F(InstallTree, ProgramLinkLeadsIntoThePrefix) {
  const fs::path link = installed("bin/Zelk_SFV_Utility");
  ASSERT_TRUE(fs::is_symlink(link));
  EXPECT_TRUE(fs::read_symlink(link).is_relative()) << fs::read_symlink(link);
  const fs::path program = fs::canonical(link);
  EXPECT_TRUE(program.string().starts_with(fs::canonical(installed("")).string())) << program;
  EXPECT_EQ(::access(program.c_str(), X_OK), 0) << program;
  EXPECT_TRUE(fs::is_regular_file(program.parent_path() / "language" / "english.lng"));
}

// The desktop entry's wrapper finds the program: still running when stopped
// after a while means it started (offscreen, as the tests run).
TEST_F(InstallTree, DesktopWrapperStartsTheProgram) {
  TempFolder folder;
  const std::string list = folder.write("a.sfv", "");
  const ToolResult run = runTool({"2", installed("bin/zelk-sfv-verify-list"), list}, "/", "/usr/bin/timeout");
  EXPECT_EQ(run.status, 124) << run.err;
  EXPECT_EQ(run.err.find("not found"), std::string::npos) << run.err;
}

}  // namespace
