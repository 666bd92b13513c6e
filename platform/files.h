#pragma once
// Files as the passes see them: regular files opened for reading, lists
// created for writing, and the kind of whatever a name leads to.

#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <string>

namespace zelk::platform {

// What a path leads to, following symbolic links. `Other` is a FIFO, socket or
// device: such a name is never opened, as it could block forever or never end.
enum class FileKind { Missing, Regular, Directory, Other };

// A path holding a NUL byte is Missing, and InputFile and OutputFile refuse
// it: the kernel would stop at the NUL and reach another file.
FileKind fileKind(const std::string& path);

// The kind of an `st_mode` as stat() reports it (a link's mode, from lstat(),
// is Other).
FileKind fileKindOfMode(mode_t mode);

// A regular file open for reading. open() refuses anything that is not a
// regular file (after following links) without ever blocking on it.
class InputFile {
 public:
  InputFile() = default;
  ~InputFile();
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;

  // False when the name is missing, holds a NUL byte, is not a regular file,
  // or may not be read.
  bool open(const std::string& path);
  bool isOpen() const { return fd_ >= 0; }

  // Size in bytes at the time of opening.
  std::int64_t size() const { return size_; }

  // Reads up to `capacity` bytes, retrying interrupted and short reads until
  // the buffer is full or the file ends. Returns the count (0 at the end) or
  // -1 when the file cannot be read.
  std::int64_t read(void* buffer, std::size_t capacity);

  void close();

 private:
  int fd_ = -1;
  std::int64_t size_ = 0;
};

// A file created (or truncated) for writing. Every failure is remembered, so a
// caller that writes many pieces checks once, at close().
class OutputFile {
 public:
  OutputFile() = default;
  ~OutputFile();
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  // False when the file cannot be created, the name holds a NUL byte, or it is
  // a FIFO or socket (a list written there would be lost, and the open could
  // block).
  bool create(const std::string& path);
  bool write(const void* data, std::size_t size);
  // Closes the file; true only when it was created and every write succeeded.
  bool close();
  bool failed() const { return failed_; }

 private:
  int fd_ = -1;
  bool failed_ = false;
};

// Size of a regular file, -1 when it cannot be opened.
std::int64_t FileSizeOf(const std::string& path);

// Puts the file `from` in the place of `to` in one step (both in one folder):
// anyone opening `to` finds either the old file or the whole new one.
bool replaceFile(const std::string& from, const std::string& to);

// Removes the file (or symbolic link) `path`; false when nothing was removed.
bool removeFile(const std::string& path);

}  // namespace zelk::platform
