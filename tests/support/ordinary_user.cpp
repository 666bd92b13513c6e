#include "tests/support/ordinary_user.h"

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string_view>
#include <system_error>

namespace zelk::testing {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kSuppressions = "suppressions=";

// A copy of `source` at `target` that every user may read, and run when
// `executable`; the system's reason when it cannot be made.
std::string copyOpenToAll(const std::string& source, const std::string& target, bool executable) {
  std::error_code error;
  fs::copy_file(source, target, fs::copy_options::overwrite_existing, error);
  if (!error && ::chmod(target.c_str(), executable ? 0755 : 0644) != 0) error.assign(errno, std::generic_category());
  return error ? "cannot copy " + source + " to " + target + ": " + error.message() : std::string();
}

}  // namespace

bool asOrdinaryUser(const std::function<bool()>& body) {
  if (::geteuid() != 0) return body();
  const pid_t child = ::fork();
  if (child == 0) {
    constexpr uid_t kNobody = 65534;
    const bool dropped = ::setgid(kNobody) == 0 && ::setuid(kNobody) == 0;
    ::_exit(dropped && body() ? 0 : 1);
  }
  int status = 0;
  return child > 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

ReachableProgram::ReachableProgram(const std::string& program)
    : path_(folder_.path() + fs::path(program).filename().string()) {
  if (::chmod(folder_.path().c_str(), 0755) != 0) {
    problem_ = "cannot open " + folder_.path() + " to the ordinary user";
    return;
  }
  problem_ = copyOpenToAll(program, path_, true);
  if (const char* options = std::getenv("LSAN_OPTIONS"); options != nullptr && problem_.empty()) {
    environment_.set("LSAN_OPTIONS", withReachableSuppressions(options));
  }
  if (problem_.empty() && !asOrdinaryUser([this] { return ::access(path_.c_str(), X_OK) == 0; })) {
    problem_ = "the ordinary user cannot run " + path_ + " (a temporary folder closed to it, or mounted noexec)";
  }
}

std::string ReachableProgram::withReachableSuppressions(const std::string& options) {
  std::istringstream parts(options);
  std::string result;
  for (std::string part; std::getline(parts, part, ':');) {
    if (part.starts_with(kSuppressions)) {
      const std::string copy = folder_.path() + "lsan.supp";
      if (problem_.empty()) problem_ = copyOpenToAll(part.substr(kSuppressions.size()), copy, false);
      part = std::string(kSuppressions) + copy;
    }
    result += (result.empty() ? "" : ":") + part;
  }
  return result;
}

}  // namespace zelk::testing
