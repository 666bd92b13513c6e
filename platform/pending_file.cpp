#include "platform/pending_file.h"

#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <utility>

#include "platform/directory.h"
#include "platform/system_calls.h"

namespace zelk::platform {
namespace {

// ".zelk-sfv-" + six letters or digits + ".partial": hidden, short whatever
// the target's name, and never taken for a list.
constexpr std::string_view kPrefix = ".zelk-sfv-";
constexpr std::string_view kSuffix = ".partial";
constexpr std::size_t kRandomLength = 6;
constexpr std::string_view kAlphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
constexpr int kCreateAttempts = 100;

std::string randomName() {
  std::array<unsigned char, kRandomLength> noise{};
  if (::getrandom(noise.data(), noise.size(), GRND_NONBLOCK) != static_cast<ssize_t>(noise.size())) {
    // Without the kernel's randomness the exclusive create still keeps the
    // name unique; the clock only spreads the attempts.
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    auto seed = static_cast<unsigned long>(now.tv_nsec) ^ static_cast<unsigned long>(::getpid());
    for (unsigned char& byte : noise) byte = static_cast<unsigned char>(seed = seed * 6364136223846793005UL + 1);
  }
  std::string name(kPrefix);
  for (const unsigned char byte : noise) name += kAlphabet[byte % kAlphabet.size()];
  name += kSuffix;
  return name;
}

std::string folderOf(const std::string& path) { return path.substr(0, path.rfind('/') + 1); }  // npos + 1 is 0

// Temporary files to remove should a terminating signal arrive: fixed slots,
// so the handler touches nothing but atomics and arrays.
enum SlotState : int { kFree, kClaimed, kArmed };
struct Slot {
  std::atomic<int> state{kFree};
  char path[PATH_MAX];
};
std::array<Slot, 8> slots;

int armSlot(const std::string& absolute) {
  if (absolute.size() >= PATH_MAX) return -1;
  for (std::size_t i = 0; i < slots.size(); ++i) {
    int expected = kFree;
    if (!slots[i].state.compare_exchange_strong(expected, kClaimed)) continue;
    std::memcpy(slots[i].path, absolute.c_str(), absolute.size() + 1);
    slots[i].state.store(kArmed);
    return static_cast<int>(i);
  }
  return -1;
}

void freeSlot(int& slot) {
  if (slot >= 0) slots[static_cast<std::size_t>(slot)].state.store(kFree);
  slot = -1;
}

extern "C" void removePendingAndReraise(int signal) {
  removePendingFiles();
  // SA_RESETHAND has restored the default action.
  ::raise(signal);
}

}  // namespace

PendingFile::PendingFile(const std::string& target) : target_(target) {
  if (target.find('\0') != std::string::npos) {
    fail(ENOENT);
    return;
  }
  struct stat existing {};
  const bool replacing = ::lstat(target.c_str(), &existing) == 0;
  if (replacing && S_ISDIR(existing.st_mode)) {
    fail(EISDIR);
    return;
  }
  // A device, FIFO or socket under that name is someone's, not an old list.
  if (replacing && !S_ISREG(existing.st_mode) && !S_ISLNK(existing.st_mode)) {
    fail(EEXIST);
    return;
  }
  if (replacing && ::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0 && errno != ENOENT) {
    fail(errno);
    return;
  }
  const std::string folder = folderOf(target);
  constexpr int kFlags = O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC;
  for (int attempt = 0; attempt < kCreateAttempts && fd_ < 0; ++attempt) {
    temporary_ = folder + randomName();
    fd_ = systemCalls().openAt(AT_FDCWD, temporary_.c_str(), kFlags, 0666);
    if (fd_ < 0 && errno != EEXIST) break;
  }
  if (fd_ < 0) {
    temporary_.clear();
    fail(errno);
    return;
  }
  slot_ = armSlot(absolutePath(temporary_));
  if (replacing && S_ISREG(existing.st_mode)) {
    // Before anything is written: a private list must never be readable by
    // others, not even while it is being written.
    if (existing.st_uid != ::geteuid() || existing.st_gid != ::getegid()) {
      [[maybe_unused]] const int ignored = ::fchown(fd_, existing.st_uid, existing.st_gid);
    }
    if (::fchmod(fd_, existing.st_mode & 0777) != 0) fail(errno);
  }
}

PendingFile::~PendingFile() { discard(); }

bool PendingFile::write(const void* data, std::size_t size) {
  if (failed()) return false;
  const int error = writeFully(fd_, data, size);
  return error == 0 || fail(error);
}

bool PendingFile::commit(const std::stop_token& stop) {
  if (failed()) {
    discard();
    return false;
  }
  if (systemCalls().fsync(fd_) != 0) fail(errno);
  if (systemCalls().close(std::exchange(fd_, -1)) != 0) fail(errno);
  // Syncing can take seconds on a busy disk: a stop that came meanwhile
  // still keeps the target.
  if (stop.stop_requested()) fail(ECANCELED);
  // Disarmed first: once renamed, the temporary name may be another's.
  freeSlot(slot_);
  if (!failed() && std::rename(temporary_.c_str(), target_.c_str()) != 0) fail(errno);
  if (failed()) {
    discard();
    return false;
  }
  temporary_.clear();
  // The rename is on the disk only once the folder is; a folder that cannot
  // be synced (some file systems refuse it) still holds the new list.
  const std::string folder = folderOf(target_);
  const char* folderPath = folder.empty() ? "." : folder.c_str();
  const int folderFd = systemCalls().openAt(AT_FDCWD, folderPath, O_RDONLY | O_DIRECTORY | O_CLOEXEC, 0);
  if (folderFd >= 0) {
    systemCalls().fsync(folderFd);
    systemCalls().close(folderFd);
  }
  return true;
}

bool PendingFile::fail(int error) {
  if (error_ == 0) error_ = error != 0 ? error : EIO;
  return false;
}

void PendingFile::discard() {
  if (fd_ >= 0) systemCalls().close(std::exchange(fd_, -1));
  if (!temporary_.empty()) ::unlink(temporary_.c_str());
  temporary_.clear();
  freeSlot(slot_);
}

void removePendingFiles() {
  const int savedErrno = errno;
  for (Slot& slot : slots) {
    if (slot.state.load() == kArmed) ::unlink(slot.path);
  }
  errno = savedErrno;
}

bool isPendingFileName(std::string_view name) {
  if (name.size() != kPrefix.size() + kRandomLength + kSuffix.size()) return false;
  if (!name.starts_with(kPrefix) || !name.ends_with(kSuffix)) return false;
  return std::ranges::all_of(name.substr(kPrefix.size(), kRandomLength),
                             [](char c) { return kAlphabet.find(c) != std::string_view::npos; });
}

void removePendingFilesOnTermination() {
  for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
    struct sigaction current {};
    if (::sigaction(signal, nullptr, &current) != 0 || current.sa_handler == SIG_IGN) continue;
    struct sigaction action {};
    action.sa_handler = removePendingAndReraise;
    action.sa_flags = static_cast<int>(SA_RESETHAND);
    sigemptyset(&action.sa_mask);
    ::sigaction(signal, &action, nullptr);
  }
}

}  // namespace zelk::platform
