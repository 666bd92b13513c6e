#include "platform/user_folders.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "platform/directory.h"

namespace zelk::platform {
namespace {

constexpr const char* kProgramFolderName = "zelk-sfv-utility/";

std::string homeFolder() {
  const char* home = std::getenv("HOME");
  if (home != nullptr && home[0] == '/') return home;
  const passwd* entry = ::getpwuid(::getuid());
  return entry != nullptr && entry->pw_dir != nullptr ? entry->pw_dir : "/";
}

// A relative or empty value counts as unset, as XDG base directories have it.
std::string baseFolder(const char* variable, const char* defaultBelowHome) {
  const char* value = std::getenv(variable);
  if (value != nullptr && value[0] == '/') return withTrailingSlash(value);
  return withTrailingSlash(homeFolder()) + defaultBelowHome;
}

}  // namespace

std::string userStateFolder() { return baseFolder("XDG_STATE_HOME", ".local/state/") + kProgramFolderName; }

std::string userConfigFolder() { return baseFolder("XDG_CONFIG_HOME", ".config/") + kProgramFolderName; }

bool makeUserFolder(const std::string& folder) {
  if (folder.empty()) return false;
  for (std::size_t slash = folder.find('/', 1); slash != std::string::npos; slash = folder.find('/', slash + 1)) {
    if (::mkdir(folder.substr(0, slash).c_str(), 0700) != 0 && errno != EEXIST) return false;
  }
  if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) return false;
  return fileKind(folder) == FileKind::Directory;
}

}  // namespace zelk::platform
