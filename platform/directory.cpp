#include "platform/directory.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <memory>

#include "platform/system_calls.h"

namespace zelk::platform {
namespace {

// Opened through the system-call seam, so tests can refuse a folder even
// to root.
DIR* openDirectory(const std::string& folder) {
  const char* path = folder.empty() ? "." : folder.c_str();
  const int fd = systemCalls().openAt(AT_FDCWD, path, O_RDONLY | O_DIRECTORY | O_CLOEXEC, 0);
  if (fd < 0) return nullptr;
  DIR* dir = ::fdopendir(fd);
  if (dir == nullptr) {
    const int error = errno;
    systemCalls().close(fd);
    errno = error;
  }
  return dir;
}

DirectoryEntry entryOf(const dirent& entry, const std::string& path) {
  switch (entry.d_type) {
    case DT_REG: return {entry.d_name, FileKind::Regular, false};
    case DT_DIR: return {entry.d_name, FileKind::Directory, false};
    case DT_LNK: return {entry.d_name, fileKind(path), true};
    case DT_UNKNOWN: break;
    default: return {entry.d_name, FileKind::Other, false};
  }
  // Some file systems leave d_type unknown; lstat must then tell a link, or a
  // link to a folder would be walked as a folder.
  struct stat info {};
  if (::lstat(path.c_str(), &info) != 0) return {entry.d_name, FileKind::Missing, false};
  if (S_ISLNK(info.st_mode)) return {entry.d_name, fileKind(path), true};
  return {entry.d_name, fileKindOfMode(info.st_mode), false};
}

}  // namespace

DirectoryListing listDirectory(const std::string& folder) {
  DirectoryListing listing;
  std::unique_ptr<DIR, int (*)(DIR*)> dir(openDirectory(folder), ::closedir);
  if (!dir) {
    listing.error = errno;
    return listing;
  }
  listing.opened = true;
  const std::string prefix = withTrailingSlash(folder);
  while (const dirent* entry = ::readdir(dir.get())) {
    const std::string name = entry->d_name;
    if (name == "." || name == "..") continue;
    listing.entries.push_back(entryOf(*entry, prefix + name));
  }
  std::sort(listing.entries.begin(), listing.entries.end(),
            [](const DirectoryEntry& a, const DirectoryEntry& b) { return a.name < b.name; });
  return listing;
}

bool setCurrentDirectory(const std::string& path) { return !path.empty() && ::chdir(path.c_str()) == 0; }

std::string currentDirectory() {
  std::string buffer(PATH_MAX, '\0');
  while (::getcwd(buffer.data(), buffer.size()) == nullptr) {
    if (errno != ERANGE) return {};
    buffer.resize(buffer.size() * 2);
  }
  buffer.resize(buffer.find('\0'));
  return buffer;
}

std::string withTrailingSlash(std::string path) {
  if (!path.empty() && path.back() != '/') path += '/';
  return path;
}

std::string absolutePath(std::string path) {
  if (path.empty() || path.front() == '/') return path;
  return withTrailingSlash(currentDirectory()) + path;
}

namespace {
std::string& programFolderOverride() {
  static std::string folder;
  return folder;
}
}  // namespace

void setProgramFolderForTesting(const std::string& folder) { programFolderOverride() = withTrailingSlash(folder); }

std::string programFile() {
  std::string buffer(PATH_MAX, '\0');
  const ssize_t length = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
  buffer.resize(length > 0 ? static_cast<std::size_t>(length) : 0);
  return buffer;
}

std::string programFolder() {
  if (!programFolderOverride().empty()) return programFolderOverride();
  const std::string file = programFile();
  if (file.empty()) return withTrailingSlash(currentDirectory());
  return file.substr(0, file.rfind('/') + 1);
}

}  // namespace zelk::platform
