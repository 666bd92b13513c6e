#include "platform/files.h"

#include <fcntl.h>
#include <linux/magic.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <climits>
#include <new>
#include <stdexcept>
#include <utility>

#include "platform/system_calls.h"

namespace zelk::platform {
namespace {

// The kernel reads a name up to its first NUL, so "a\0b" would reach the file
// "a": such a path names no file at all.
bool hasEmbeddedNul(const std::string& path) { return path.find('\0') != std::string::npos; }

// Files up to this size fit the kernel's default read-ahead: advising
// sequential access for them would only cost a system call per file.
constexpr off_t kSequentialAdviceAbove = off_t{1} << 20;

FileReadStatus statusOfOpenError(int error) {
  switch (error) {
    case ENOENT:
    case ENOTDIR:
    case ELOOP: return FileReadStatus::Missing;
    case ENAMETOOLONG: return FileReadStatus::NameTooLong;
    default: return FileReadStatus::OpenFailed;
  }
}

// File systems whose files report sizes that have nothing to do with what a
// read returns, or that never end (/proc/self/pagemap reports 0 bytes).
bool isPseudoFileSystem(long type) {
  constexpr long kConfigFsMagic = 0x62656570;
  switch (type) {
    case PROC_SUPER_MAGIC:
    case SYSFS_MAGIC:
    case DEBUGFS_MAGIC:
    case TRACEFS_MAGIC:
    case SECURITYFS_MAGIC:
    case SELINUX_MAGIC:
    case SMACK_MAGIC:
    case CGROUP_SUPER_MAGIC:
    case CGROUP2_SUPER_MAGIC:
    case BPF_FS_MAGIC:
    case EFIVARFS_MAGIC:
    case PSTOREFS_MAGIC:
    case BINFMTFS_MAGIC:
    case NSFS_MAGIC:
    case kConfigFsMagic: return true;
    default: return false;
  }
}

// Asks the file system of each device once per thread: a pass opens
// thousands of files on the same few devices.
bool onPseudoFileSystem(int fd, dev_t device) {
  struct KnownDevice {
    dev_t device;
    bool pseudo;
  };
  thread_local std::array<KnownDevice, 16> known{};
  thread_local std::size_t count = 0;
  for (std::size_t i = 0; i < count; ++i) {
    if (known[i].device == device) return known[i].pseudo;
  }
  struct statfs info {};
  const bool pseudo = ::fstatfs(fd, &info) != 0 || isPseudoFileSystem(static_cast<long>(info.f_type));
  known[count % known.size()] = {device, pseudo};
  if (count < known.size()) ++count;
  return pseudo;
}

bool sameTime(const timespec& a, const timespec& b) { return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec; }

}  // namespace

FileKind fileKindOfMode(mode_t mode) {
  if (S_ISREG(mode)) return FileKind::Regular;
  if (S_ISDIR(mode)) return FileKind::Directory;
  return FileKind::Other;
}

FileKind fileKind(const std::string& path) {
  if (hasEmbeddedNul(path)) return FileKind::Missing;
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return FileKind::Missing;
  return fileKindOfMode(info.st_mode);
}

FolderCache::Place FolderCache::placeOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  // "/name" lies in "/"; a name ending in "/" is a folder's, looked for
  // whole. So is a path the system would refuse as too long: found in its
  // folder it would be read, and the first of that folder's files not.
  if (slash == std::string::npos || slash + 1 == path.size() || path.size() >= PATH_MAX) {
    return {AT_FDCWD, path.c_str()};
  }
  const std::size_t folderLength = slash == 0 ? 1 : slash;
  if (path.compare(0, folderLength, folder_) != 0 || folder_.size() != folderLength) {
    forget();
    folder_.assign(path, 0, folderLength);
    // A folder is opened only for its second file: one that holds a single
    // file, or a reader that reads one, would pay two system calls for none.
    return {AT_FDCWD, path.c_str()};
  }
  if (fd_ < 0 && !unopenable_) {
    fd_ = ::open(folder_.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    unopenable_ = fd_ < 0;
  }
  return fd_ >= 0 ? Place{fd_, path.c_str() + slash + 1} : Place{AT_FDCWD, path.c_str()};
}

bool FolderCache::lookUp(const std::string& path, struct stat& info, Place& place) {
  place = placeOf(path);
  if (::fstatat(place.folder, place.name, &info, 0) == 0) return true;
  if (place.folder == AT_FDCWD) return false;
  // The folder held open may have been moved or replaced since: what the
  // path leads to now decides.
  place = {AT_FDCWD, path.c_str()};
  if (::fstatat(AT_FDCWD, path.c_str(), &info, 0) != 0) return false;
  forget();
  return true;
}

void FolderCache::forget() {
  if (fd_ >= 0) ::close(std::exchange(fd_, -1));
  folder_.clear();
  unopenable_ = false;
}

InputFile::~InputFile() { close(); }

FileReadStatus InputFile::open(const std::string& path, FolderCache* folders) {
  close();
  error_ = 0;
  if (hasEmbeddedNul(path)) return FileReadStatus::Missing;
  // The kind is decided before the open, so that opening a FIFO never
  // releases a writer blocked on it and a device is never touched.
  struct stat info {};
  FolderCache::Place place{AT_FDCWD, path.c_str()};
  const bool found = folders != nullptr ? folders->lookUp(path, info, place) : ::stat(path.c_str(), &info) == 0;
  if (!found) {
    error_ = errno;
    return statusOfOpenError(error_);
  }
  if (!S_ISREG(info.st_mode)) return FileReadStatus::NotAFile;
  // O_NONBLOCK keeps the open from waiting should the name have become a
  // FIFO since, and keeps reads from blocking until the descriptor is known
  // to be a regular file. No fstat follows the open: checkUnchanged()
  // compares what was read with the file stat() saw, so a name swapped in
  // between is found there, one system call less for every file.
  constexpr int kFlags = O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
  const int fd = systemCalls().openAt(place.folder, place.name, kFlags, 0);
  if (fd < 0) {
    error_ = errno;
    return statusOfOpenError(error_);
  }
  if (onPseudoFileSystem(fd, info.st_dev)) {
    systemCalls().close(fd);
    error_ = EIO;
    return FileReadStatus::ReadFailed;
  }
  if (info.st_size > kSequentialAdviceAbove) ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
  fd_ = fd;
  blocking_ = false;
  delivered_ = 0;
  ended_ = false;
  size_ = info.st_size;
  modified_ = info.st_mtim;
  device_ = info.st_dev;
  inode_ = info.st_ino;
  return FileReadStatus::Ok;
}

bool InputFile::stillTheFileSeen(struct stat& info) const {
  return ::fstat(fd_, &info) == 0 && S_ISREG(info.st_mode) && info.st_dev == device_ && info.st_ino == inode_;
}

std::int64_t InputFile::read(void* buffer, std::size_t capacity) {
  if (fd_ < 0) return -1;
  auto* out = static_cast<char*>(buffer);
  std::size_t filled = 0;
  while (filled < capacity) {
    const std::size_t asked = capacity - filled;
    const ssize_t got = systemCalls().read(fd_, out + filled, asked);
    if (got < 0) {
      if (errno == EINTR) continue;
      // Regular files ignore O_NONBLOCK on the file systems we know; one that
      // honours it gets a blocking descriptor at its first refusal, instead
      // of every file paying a system call to clear the flag.
      if (errno == EAGAIN && !blocking_ && clearNonBlocking()) {
        blocking_ = true;
        continue;
      }
      error_ = errno;
      return -1;
    }
    if (got == 0) break;
    filled += static_cast<std::size_t>(got);
    // A short read that brings the file to its size is its end: asking on
    // for the 0 that confirms it would cost a system call per file, and a
    // file that grows meanwhile shows in checkUnchanged() all the same.
    if (static_cast<std::size_t>(got) < asked && delivered_ + static_cast<std::int64_t>(filled) == size_) break;
  }
  delivered_ += static_cast<std::int64_t>(filled);
  ended_ = filled < capacity || delivered_ > size_;
  return static_cast<std::int64_t>(filled);
}

std::int64_t InputFile::readAt(void* buffer, std::size_t length, std::int64_t offset) const {
  if (fd_ < 0) return -1;
  auto* out = static_cast<char*>(buffer);
  std::size_t filled = 0;
  bool cleared = false;
  while (filled < length) {
    const ssize_t got = systemCalls().pread(fd_, out + filled, length - filled, offset + static_cast<off_t>(filled));
    if (got < 0) {
      if (errno == EINTR) continue;
      if (errno == EAGAIN && !cleared && (cleared = clearNonBlocking())) continue;
      return -1;
    }
    if (got == 0) break;
    filled += static_cast<std::size_t>(got);
  }
  return static_cast<std::int64_t>(filled);
}

bool InputFile::continueAt(std::int64_t offset) {
  if (fd_ < 0 || ::lseek(fd_, offset, SEEK_SET) != offset) return false;
  delivered_ = offset;
  ended_ = false;
  return true;
}

bool InputFile::clearNonBlocking() const {
  struct stat info {};
  return stillTheFileSeen(info) && ::fcntl(fd_, F_SETFL, O_RDONLY) == 0;
}

FileReadStatus InputFile::checkUnchanged() const {
  if (fd_ < 0) return FileReadStatus::ReadFailed;
  struct stat info {};
  const bool unchanged = stillTheFileSeen(info) && delivered_ == size_ && info.st_size == size_ &&
                         sameTime(info.st_mtim, modified_);
  return unchanged ? FileReadStatus::Ok : FileReadStatus::Changed;
}

bool InputFile::cached(std::int64_t offset, std::int64_t length) const {
  if (fd_ < 0 || length <= 0) return true;
  char byte = 0;
  iovec vector{&byte, 1};
  // RWF_NOWAIT fails with EAGAIN instead of waiting for the disk.
  return systemCalls().preadv2(fd_, &vector, 1, offset + length - 1, RWF_NOWAIT) >= 0;
}

void InputFile::close() {
  if (fd_ >= 0) systemCalls().close(std::exchange(fd_, -1));
}

FileContents readWholeFile(const std::string& path) {
  FileContents contents;
  InputFile file;
  contents.status = file.open(path);
  if (contents.status != FileReadStatus::Ok) {
    contents.error = file.error();
    return contents;
  }
  try {
    // A byte beyond the size tells a file that grew.
    contents.bytes.resize(static_cast<std::size_t>(file.size()) + 1);
    const std::int64_t got = file.read(contents.bytes.data(), contents.bytes.size());
    if (got < 0) return {FileReadStatus::ReadFailed, file.error(), {}};
    contents.status = file.checkUnchanged();
    if (contents.status != FileReadStatus::Ok) return {contents.status, 0, {}};
    contents.bytes.resize(static_cast<std::size_t>(got));
  } catch (const std::bad_alloc&) {
    return {FileReadStatus::ReadFailed, ENOMEM, {}};
  } catch (const std::length_error&) {
    return {FileReadStatus::ReadFailed, ENOMEM, {}};
  }
  return contents;
}

std::int64_t listedFileSize(const std::string& path) {
  struct stat info {};
  if (hasEmbeddedNul(path) || ::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return 0;
  return info.st_size;
}

std::int64_t FileSizeOf(const std::string& path) {
  InputFile file;
  return file.open(path) == FileReadStatus::Ok ? file.size() : -1;
}

}  // namespace zelk::platform
