#pragma once
// Runs the built zelk-sfv as a child process with its standard streams on
// files, never on a terminal, so the output comes without colour.

#include <string>
#include <vector>

namespace zelk::testing {

struct ToolResult {
  int status = -1;  // the exit status; -1 when the program did not exit normally
  std::string out;
  std::string err;
};

// The zelk-sfv of the build folder that ZELK_TOOLS_DIR names.
std::string toolPath();

// Runs `program` with `arguments` in `workingFolder`, standard input from
// `inputFrom`; the arguments reach it as given, without a shell. Standard
// output goes to `outputTo` instead when that is given (out is then empty).
ToolResult runTool(const std::vector<std::string>& arguments, const std::string& workingFolder = "/",
                   const std::string& program = toolPath(), const std::string& outputTo = {},
                   const std::string& inputFrom = "/dev/null");

}  // namespace zelk::testing
