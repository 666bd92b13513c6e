#include "tests/support/failing_calls.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <mutex>
#include <string_view>
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
  std::vector<std::pair<int, std::string>> files;
} growingFiles;

struct {
  platform::SystemCalls next;
  std::function<void(bool)> before;
} syncHook;

bool endsWith(const char* path, const std::string& suffix) { return std::string_view(path).ends_with(suffix); }

int refusingOpen(const char* path, int flags, mode_t mode) {
  const std::lock_guard lock(stateMutex);
  if (endsWith(path, refusedOpens.suffix)) {
    errno = EACCES;
    return -1;
  }
  return refusedOpens.next.open(path, flags, mode);
}

int markingOpen(const char* path, int flags, mode_t mode) {
  const std::lock_guard lock(stateMutex);
  const int fd = failedReads.next.open(path, flags, mode);
  if (fd >= 0 && endsWith(path, failedReads.suffix)) failedReads.fds.push_back(fd);
  return fd;
}

ssize_t markedReadFailing(int fd, void* buffer, size_t size) {
  const std::lock_guard lock(stateMutex);
  if (std::find(failedReads.fds.begin(), failedReads.fds.end(), fd) != failedReads.fds.end()) {
    errno = EIO;
    return -1;
  }
  return failedReads.next.read(fd, buffer, size);
}

// A closed descriptor number is reused by the next open, for any file.
int unmarkingClose(int fd) {
  const std::lock_guard lock(stateMutex);
  std::erase(failedReads.fds, fd);
  return failedReads.next.close(fd);
}

ssize_t budgetedRead(int fd, void* buffer, size_t size) {
  const std::lock_guard lock(stateMutex);
  if (readBudget.remaining <= 0) {
    errno = EIO;
    return -1;
  }
  const ssize_t got = readBudget.next.read(fd, buffer, std::min(size, static_cast<size_t>(readBudget.remaining)));
  if (got > 0) readBudget.remaining -= got;
  return got;
}

int growingOpen(const char* path, int flags, mode_t mode) {
  const std::lock_guard lock(stateMutex);
  const int fd = growingFiles.next.open(path, flags, mode);
  if (fd >= 0 && endsWith(path, growingFiles.suffix)) growingFiles.files.emplace_back(fd, path);
  return fd;
}

ssize_t growingRead(int fd, void* buffer, size_t size) {
  const std::lock_guard lock(stateMutex);
  const ssize_t got = growingFiles.next.read(fd, buffer, size);
  for (const auto& [marked, path] : growingFiles.files) {
    if (marked != fd || got <= 0) continue;
    const int append = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
    if (append < 0) continue;
    [[maybe_unused]] const ssize_t written = ::write(append, "+", 1);
    ::close(append);
  }
  return got;
}

int growingClose(int fd) {
  const std::lock_guard lock(stateMutex);
  std::erase_if(growingFiles.files, [fd](const auto& file) { return file.first == fd; });
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
  growingFiles.files.clear();
  platform::systemCalls().open = growingOpen;
  platform::systemCalls().read = growingRead;
  platform::systemCalls().close = growingClose;
}

OpensFail::OpensFail(std::string suffix) {
  refusedOpens.next = platform::systemCalls();
  refusedOpens.suffix = std::move(suffix);
  platform::systemCalls().open = refusingOpen;
}

ReadsFail::ReadsFail(std::string suffix) {
  failedReads.next = platform::systemCalls();
  failedReads.suffix = std::move(suffix);
  failedReads.fds.clear();
  platform::systemCalls().open = markingOpen;
  platform::systemCalls().read = markedReadFailing;
  platform::systemCalls().close = unmarkingClose;
}

ReadsFailAfter::ReadsFailAfter(std::int64_t budget) {
  readBudget.next = platform::systemCalls();
  readBudget.remaining = budget;
  platform::systemCalls().read = budgetedRead;
}

BeforeSync::BeforeSync(std::function<void(bool folder)> before) {
  syncHook.next = platform::systemCalls();
  syncHook.before = std::move(before);
  platform::systemCalls().fsync = hookedSync;
}

}  // namespace zelk::testing
