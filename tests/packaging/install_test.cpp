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

// The wrapper starts the program beside it in the list's folder with the
// list's name, whatever the name holds; a stand-in that prints its working
// folder and arguments takes the program's place.
TEST_F(InstallTree, DesktopWrapperHandsTheListsNameToTheProgramInItsFolder) {
  TempFolder bin;
  const std::string wrapper = bin.path() + "zelk-sfv-verify-list";
  fs::copy_file(installed("bin/zelk-sfv-verify-list"), wrapper);
  const std::string standIn = bin.write("Zelk_SFV_Utility", "#!/bin/sh\npwd\nprintf '[%s]' \"$@\"\n");
  for (const std::string& program : {wrapper, standIn}) fs::permissions(program, fs::perms::owner_all);
  TempFolder lists;
  const std::string top = lists.path().substr(0, lists.path().size() - 1);
  const struct {
    const char* folder;  // below `lists`
    const char* name;
  } cases[] = {{"photos", "photos.sfv"},
               {"with space", "MD5SUMS"},
               {"-dash", "-v.sha256"},
               {"ends in a line break\n", "a.b3"},
               {"", "top.xxh128"}};
  for (const auto& [folder, name] : cases) {
    SCOPED_TRACE(name);
    const std::string expectedFolder = *folder == '\0' ? top : top + "/" + folder;
    lists.write(std::string(folder) + (*folder == '\0' ? "" : "/") + name, "");
    const ToolResult run = runTool({expectedFolder + "/" + name}, "/", wrapper);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, expectedFolder + "\n[-v][" + name + "]");
  }
  // A relative name is taken from the folder the wrapper starts in.
  EXPECT_EQ(runTool({"photos/photos.sfv"}, lists.path(), wrapper).out, top + "/photos\n[-v][photos.sfv]");
  EXPECT_EQ(runTool({"MD5SUMS"}, lists.path() + "with space", wrapper).out, top + "/with space\n[-v][MD5SUMS]");
  EXPECT_EQ(runTool({}, lists.path(), wrapper).out, top + "\n[]");
}

}  // namespace
