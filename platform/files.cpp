#include "platform/files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <utility>

#include "platform/system_calls.h"

namespace zelk::platform {

FileKind fileKind(const std::string& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return FileKind::Missing;
  if (S_ISREG(info.st_mode)) return FileKind::Regular;
  if (S_ISDIR(info.st_mode)) return FileKind::Directory;
  return FileKind::Other;
}

InputFile::~InputFile() { close(); }

InputFile::InputFile(InputFile&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), size_(other.size_) {}

InputFile& InputFile::operator=(InputFile&& other) noexcept {
  if (this != &other) {
    close();
    fd_ = std::exchange(other.fd_, -1);
    size_ = other.size_;
  }
  return *this;
}

bool InputFile::open(const std::string& path) {
  close();
  // O_NONBLOCK keeps the open of a FIFO from waiting for a writer; fstat then
  // rejects it before any read could block.
  const int fd = systemCalls().open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0);
  if (fd < 0) return false;
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    systemCalls().close(fd);
    return false;
  }
  const int flags = ::fcntl(fd, F_GETFL);
  if (flags >= 0) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
  ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
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
  // O_NONBLOCK keeps the open of a FIFO from waiting for a reader; a FIFO or
  // socket is then refused, as nothing written to it would become a file.
  const int fd =
      systemCalls().open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0666);
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
  const int flags = ::fcntl(fd, F_GETFL);
  if (flags >= 0) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
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
