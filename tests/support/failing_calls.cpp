#include "tests/support/failing_calls.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

namespace zelk::testing {
namespace {

// The seam takes plain function pointers, so each helper keeps its state here.
// Passes call the seam from several threads; a helper may call another's
// entry, hence one recursive lock for all of them.
std::recursive_mutex stateMutex;
struct {
  platform::SystemCalls next;
  std::string suffix;
} refusedOpens;

struct {
  platform::SystemCalls next;
  std::string suffix;
  std::vector<int> fds;
} failedReads;

struct {
  platform::SystemCalls next;
  std::int64_t remaining = 0;
} readBudget;

struct {
  platform::SystemCalls next;
  std::string suffix;
  std::vector<int> fds;
} growingFiles;

struct {
  platform::SystemCalls next;
  std::function<void(bool)> before;
} syncHook;

// Whether the file `path` names in `folder` has a whole path ending in `suffix`.
bool endsWith(int folder, const char* path, const std::string& suffix) {
  std::string whole = path;
  if (folder != AT_FDCWD && path[0] != '/') {
    std::array<char, 4096> name{};
    const std::string link = "/proc/self/fd/" + std::to_string(folder);
    const ssize_t length = ::readlink(link.c_str(), name.data(), name.size() - 1);
    if (length > 0) whole = std::string(name.data(), static_cast<std::size_t>(length)) + "/" + path;
  }
  return whole.ends_with(suffix);
}

int refusingOpen(int folder, const char* path, int flags, mode_t mode) {
  const std::lock_guard lock(stateMutex);
  if (endsWith(folder, path, refusedOpens.suffix)) {
    errno = EACCES;
    return -1;
  }
  return refusedOpens.next.openAt(folder, path, flags, mode);
}

int markingOpen(int folder, const char* path, int flags, mode_t mode) {
  const std::lock_guard lock(stateMutex);
  const int fd = failedReads.next.openAt(folder, path, flags, mode);
  if (fd >= 0 && endsWith(folder, path, failedReads.suffix)) failedReads.fds.push_back(fd);
  return fd;
}

bool marked(const std::vector<int>& fds, int fd) { return std::find(fds.begin(), fds.end(), fd) != fds.end(); }

// `read` of a descriptor ReadsFail marked fails with EIO instead.
template <typename Read>
ssize_t failIfMarked(int fd, Read read) {
  const std::lock_guard lock(stateMutex);
  if (!marked(failedReads.fds, fd)) return read(failedReads.next);
  errno = EIO;
  return -1;
}

ssize_t markedReadFailing(int fd, void* buffer, size_t size) {
  return failIfMarked(fd, [&](const platform::SystemCalls& next) { return next.read(fd, buffer, size); });
}

ssize_t markedPreadFailing(int fd, void* buffer, size_t size, off_t offset) {
  return failIfMarked(fd, [&](const platform::SystemCalls& next) { return next.pread(fd, buffer, size, offset); });
}

// A closed descriptor number is reused by the next open, for any file.
int unmarkingClose(int fd) {
  const std::lock_guard lock(stateMutex);
  std::erase(failedReads.fds, fd);
  return failedReads.next.close(fd);
}

// `read`, given at most what is left of the budget, or EIO once it is spent.
template <typename Read>
ssize_t spendBudget(size_t size, Read read) {
  const std::lock_guard lock(stateMutex);
  if (readBudget.remaining <= 0) {
    errno = EIO;
    return -1;
  }
  const ssize_t got = read(readBudget.next, std::min(size, static_cast<size_t>(readBudget.remaining)));
  if (got > 0) readBudget.remaining -= got;
  return got;
}

ssize_t budgetedRead(int fd, void* buffer, size_t size) {
  return spendBudget(size, [&](const platform::SystemCalls& next, size_t allowed) {
    return next.read(fd, buffer, allowed);
  });
}

ssize_t budgetedPread(int fd, void* buffer, size_t size, off_t offset) {
  return spendBudget(size, [&](const platform::SystemCalls& next, size_t allowed) {
    return next.pread(fd, buffer, allowed, offset);
  });
}

int growingOpen(int folder, const char* path, int flags, mode_t mode) {
  const std::lock_guard lock(stateMutex);
  const int fd = growingFiles.next.openAt(folder, path, flags, mode);
  if (fd >= 0 && endsWith(folder, path, growingFiles.suffix)) growingFiles.fds.push_back(fd);
  return fd;
}

// Appends a byte to the file `fd` reads when this helper marked it.
void growAfterRead(int fd, ssize_t got) {
  if (got > 0 && marked(growingFiles.fds, fd)) {
    // The file the descriptor reads, whatever folder it was opened in.
    const std::string path = "/proc/self/fd/" + std::to_string(fd);
    const int append = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
    if (append >= 0) {
      [[maybe_unused]] const ssize_t written = ::write(append, "+", 1);
      ::close(append);
    }
  }
}

ssize_t growingRead(int fd, void* buffer, size_t size) {
  const std::lock_guard lock(stateMutex);
  const ssize_t got = growingFiles.next.read(fd, buffer, size);
  growAfterRead(fd, got);
  return got;
}

ssize_t growingPread(int fd, void* buffer, size_t size, off_t offset) {
  const std::lock_guard lock(stateMutex);
  const ssize_t got = growingFiles.next.pread(fd, buffer, size, offset);
  growAfterRead(fd, got);
  return got;
}

int growingClose(int fd) {
  const std::lock_guard lock(stateMutex);
  std::erase(growingFiles.fds, fd);
  return growingFiles.next.close(fd);
}

int hookedSync(int fd) {
  struct stat status {};
  const bool folder = ::fstat(fd, &status) == 0 && S_ISDIR(status.st_mode);
  syncHook.before(folder);
  return syncHook.next.fsync(fd);
}

}  // namespace

GrowsWhileRead::GrowsWhileRead(std::string suffix) {
  growingFiles.next = platform::systemCalls();
  growingFiles.suffix = std::move(suffix);
  growingFiles.fds.clear();
  platform::systemCalls().openAt = growingOpen;
  platform::systemCalls().read = growingRead;
  platform::systemCalls().pread = growingPread;
  platform::systemCalls().close = growingClose;
}

OpensFail::OpensFail(std::string suffix) {
  refusedOpens.next = platform::systemCalls();
  refusedOpens.suffix = std::move(suffix);
  platform::systemCalls().openAt = refusingOpen;
}

ReadsFail::ReadsFail(std::string suffix) {
  failedReads.next = platform::systemCalls();
  failedReads.suffix = std::move(suffix);
  failedReads.fds.clear();
  platform::systemCalls().openAt = markingOpen;
  platform::systemCalls().read = markedReadFailing;
  platform::systemCalls().pread = markedPreadFailing;
  platform::systemCalls().close = unmarkingClose;
}

ReadsFailAfter::ReadsFailAfter(std::int64_t budget) {
  readBudget.next = platform::systemCalls();
  readBudget.remaining = budget;
  platform::systemCalls().read = budgetedRead;
  platform::systemCalls().pread = budgetedPread;
}

BeforeSync::BeforeSync(std::function<void(bool folder)> before) {
  syncHook.next = platform::systemCalls();
  syncHook.before = std::move(before);
  platform::systemCalls().fsync = hookedSync;
}

}  // namespace zelk::testing
