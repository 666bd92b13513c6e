#include "tests/cli/tool_runner.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>

#include "tests/support/temp_folder.h"

namespace zelk::testing {

std::string toolPath() {
  const char* dir = std::getenv("ZELK_TOOLS_DIR");
  return std::string(dir != nullptr ? dir : ".") + "/cli/zelk-sfv";
}

ToolResult runTool(const std::vector<std::string>& arguments, const std::string& workingFolder,
                   const std::string& program, const std::string& outputTo, const std::string& inputFrom) {
  TempFolder capture;
  const std::string outPath = capture.path() + "out";
  const std::string errPath = capture.path() + "err";
  std::vector<char*> argv{const_cast<char*>(program.c_str())};
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  const pid_t child = ::fork();
  if (child == 0) {
    const int in = ::open(inputFrom.c_str(), O_RDONLY);
    const int out = outputTo.empty() ? ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600)
                                     : ::open(outputTo.c_str(), O_WRONLY);
    const int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (in < 0 || out < 0 || err < 0 || ::dup2(in, 0) < 0 || ::dup2(out, 1) < 0 || ::dup2(err, 2) < 0 ||
        ::chdir(workingFolder.c_str()) != 0) {
      ::_exit(127);
    }
    ::execv(argv[0], argv.data());
    ::_exit(127);
  }
  ToolResult result;
  int status = 0;
  if (child > 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status)) result.status = WEXITSTATUS(status);
  result.out = capture.read("out");
  result.err = capture.read("err");
  return result;
}

}  // namespace zelk::testing
