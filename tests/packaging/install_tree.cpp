#include "tests/packaging/install_tree.h"

#include "tests/cli/tool_runner.h"

namespace zelk::testing {

TempFolder* InstallTree::prefix_ = nullptr;

void InstallTree::SetUpTestSuite() {
  prefix_ = new TempFolder;
  const ToolResult install =
      runTool({"--install", ZELK_BINARY_DIR, "--prefix", prefix_->path() + "usr"}, "/", ZELK_CMAKE_COMMAND);
  ASSERT_EQ(install.status, 0) << install.out << install.err;
}

void InstallTree::TearDownTestSuite() {
  delete prefix_;
  prefix_ = nullptr;
}

std::string InstallTree::installed(const std::string& path) { return prefix_->path() + "usr/" + path; }

}  // namespace zelk::testing
