#include "platform/files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
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

InputFile::~InputFile() { close(); }

bool InputFile::open(const std::string& path) {
  close();
  if (hasEmbeddedNul(path)) return false;
  // O_NONBLOCK keeps the open of a FIFO from waiting for a writer; fstat then
  // rejects it before any read could block.
  constexpr int kFlags = O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
  const int fd = systemCalls().open(path.c_str(), kFlags, 0);
  if (fd < 0) return false;
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    systemCalls().close(fd);
    return false;
  }
  ::fcntl(fd, F_SETFL, kFlags & ~O_NONBLOCK);
  if (info.st_size > kSequentialAdviceAbove) ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
  fd_ = fd;
  size_ = info.st_size;
  return true;
}

std::int64_t InputFile::read(void* buffer, std::size_t capacity) {
  if (fd_ < 0) return -1;
  auto* out = static_cast<char*>(buffer);
  std::size_t filled = 0;
  while (filled < capacity) {
    const ssize_t got = systemCalls().read(fd_, out + filled, capacity - filled);
    if (got < 0) {
      if (errno == EINTR) continue;
      return -1;
    }
    if (got == 0) break;
    filled += static_cast<std::size_t>(got);
  }
  return static_cast<std::int64_t>(filled);
}

void InputFile::close() {
  if (fd_ >= 0) systemCalls().close(std::exchange(fd_, -1));
}

OutputFile::~OutputFile() { close(); }

bool OutputFile::create(const std::string& path) {
  close();
  failed_ = false;
  if (hasEmbeddedNul(path)) {
    failed_ = true;
    return false;
  }
  // O_NONBLOCK keeps the open of a FIFO from waiting for a reader; a FIFO or
  // socket is then refused, as nothing written to it would become a file.
  constexpr int kFlags = O_WRONLY | O_CREAT | O_TRUNC | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
  const int fd = systemCalls().open(path.c_str(), kFlags, 0666);
  if (fd < 0) {
    failed_ = true;
    return false;
  }
  struct stat info {};
  if (::fstat(fd, &info) != 0 || S_ISFIFO(info.st_mode) || S_ISSOCK(info.st_mode)) {
    systemCalls().close(fd);
    failed_ = true;
    return false;
  }
  ::fcntl(fd, F_SETFL, kFlags & ~O_NONBLOCK);
  fd_ = fd;
  return true;
}

bool OutputFile::write(const void* data, std::size_t size) {
  if (fd_ < 0) {
    failed_ = true;
    return false;
  }
  const auto* in = static_cast<const char*>(data);
  while (size > 0) {
    const ssize_t put = systemCalls().write(fd_, in, size);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) {
      failed_ = true;
      return false;
    }
    in += put;
    size -= static_cast<std::size_t>(put);
  }
  return true;
}

bool OutputFile::close() {
  if (fd_ < 0) return !failed_;
  if (systemCalls().close(std::exchange(fd_, -1)) != 0) failed_ = true;
  return !failed_;
}

std::int64_t FileSizeOf(const std::string& path) {
  InputFile file;
  return file.open(path) ? file.size() : -1;
}

bool replaceFile(const std::string& from, const std::string& to) { return std::rename(from.c_str(), to.c_str()) == 0; }

bool removeFile(const std::string& path) { return ::unlink(path.c_str()) == 0; }

}  // namespace zelk::platform
