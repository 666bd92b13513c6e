#pragma once
// Files as the passes see them: regular files opened for reading, and the
// kind of whatever a name leads to. Files are written through PendingFile
// (platform/pending_file.h).

#include <sys/stat.h>
#include <sys/types.h>
#include <time.h>

#include <cstddef>
#include <cstdint>
#include <string>

namespace zelk::platform {

// What a path leads to, following symbolic links. `Other` is a FIFO, socket or
// device: such a name is never opened, as it could block forever or never end.
enum class FileKind { Missing, Regular, Directory, Other };

// A path holding a NUL byte is Missing, and InputFile refuses it: the kernel
// would stop at the NUL and reach another file.
FileKind fileKind(const std::string& path);

// The kind of an `st_mode` as stat() reports it (a link's mode, from lstat(),
// is Other).
FileKind fileKindOfMode(mode_t mode);

// The outcome of reading a file whole.
enum class FileReadStatus {
  Ok,           // every byte was read, and the file did not change meanwhile
  Missing,      // no such file (any more), or a dangling link
  NotAFile,     // a folder, FIFO, socket or device: never opened
  NameTooLong,  // the path is longer than the system takes
  OpenFailed,   // not permitted, or another failure to open
  ReadFailed,   // a read failed, or the file lies on a pseudo file system
                // (procfs, sysfs...) whose sizes say nothing of its contents
  Changed,      // its size or modification time changed while it was read
};

// The folder of the files a reader opens one after another, held open from
// the second file of it on: each file is then found by its own name in it,
// so the kernel walks one name instead of the whole path, twice per file
// (the check of its kind and the open). A reader keeps one for a pass.
class FolderCache {
 public:
  FolderCache() = default;
  ~FolderCache() { forget(); }
  FolderCache(const FolderCache&) = delete;
  FolderCache& operator=(const FolderCache&) = delete;

  // Where a file is found: the folder to open it in (AT_FDCWD for the
  // working folder) and its name there, which points into the path.
  struct Place {
    int folder;
    const char* name;
  };

  // stat() of `path`, in the folder held open where it can be: true with
  // `info` and the file's `place`, or false with errno set. A name the
  // folder held open no longer has is looked for by its whole path again.
  bool lookUp(const std::string& path, struct stat& info, Place& place);

 private:
  // Where to look for `path`: its whole path while its folder is new, or
  // when that cannot be opened.
  Place placeOf(const std::string& path);
  void forget();

  std::string folder_;  // of the last path placed
  int fd_ = -1;         // folder_ held open
  bool unopenable_ = false;
};

// A regular file open for reading. open() decides the kind of the name
// before opening it, never blocks, and refuses files of pseudo file systems.
class InputFile {
 public:
  InputFile() = default;
  ~InputFile();
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;

  // Ok when the file is open; otherwise why it is not (never Changed).
  // Given `folders`, the file is looked for in the folder it holds open.
  FileReadStatus open(const std::string& path, FolderCache* folders = nullptr);
  bool isOpen() const { return fd_ >= 0; }

  // Size in bytes at the time of opening.
  std::int64_t size() const { return size_; }

  // Reads up to `capacity` bytes, retrying interrupted and short reads until
  // the buffer is full or the file ends: a read that returns 0, or a short
  // one that brings the file to size() (growth beyond it is left to
  // checkUnchanged). Returns the count (0 at the end) or -1 when the file
  // cannot be read.
  std::int64_t read(void* buffer, std::size_t capacity);

  // Reads `length` bytes from `offset`, for readers of a file on several
  // threads at once: neither where read() goes on nor what it has delivered
  // moves. Retries interrupted and short reads; the count, less than
  // `length` only where the file ends, or -1 with errno set.
  std::int64_t readAt(void* buffer, std::size_t length, std::int64_t offset) const;
  // Makes read() go on from `offset`, the bytes before it having come in
  // through readAt(): they count as delivered. False when the descriptor
  // cannot be moved there.
  bool continueAt(std::int64_t offset);

  // Whether the reads so far have reached the end of the data: the last one
  // came back short, or more than size() bytes have come in all. Every
  // reader stops there: a file that has grown past its size has changed,
  // and one that keeps growing would never end.
  bool ended() const { return ended_; }
  // The bytes read() has delivered since the file was opened.
  std::int64_t delivered() const { return delivered_; }

  // For a reader that has read to the end: Ok when the bytes delivered are
  // the size seen at open and the descriptor is still the regular file seen
  // then (the same device and inode, a name swapped during the open reads
  // as changed), with that size and modification time; Changed otherwise.
  FileReadStatus checkUnchanged() const;

  // Whether the page cache already holds the last byte of the `length` bytes
  // from `offset`: a reader going forward then needs no disk for them. Only a
  // hint for scheduling; what read() delivers never depends on it.
  bool cached(std::int64_t offset, std::int64_t length) const;

  // The system's error number of the last failure of open() or read().
  int error() const { return error_; }

  void close();

 private:
  // Whether the open descriptor is a regular file, the one stat() saw before
  // the open; `info` is then its present state.
  bool stillTheFileSeen(struct stat& info) const;
  // For a read refused with EAGAIN: makes the descriptor blocking when it is
  // still the regular file seen (never a FIFO swapped in). True when done.
  bool clearNonBlocking() const;

  int fd_ = -1;
  std::int64_t size_ = 0;
  timespec modified_{};
  int error_ = 0;
  std::int64_t delivered_ = 0;
  bool ended_ = false;
  bool blocking_ = false;  // O_NONBLOCK, set for the open, has been cleared
  dev_t device_ = 0;       // of the file stat() saw before the open
  ino_t inode_ = 0;
};

// A whole file read into memory, or why it could not be.
struct FileContents {
  FileReadStatus status = FileReadStatus::OpenFailed;
  int error = 0;  // the system's error number when status is not Ok
  std::string bytes;
};

// Reads the regular file `path` whole. A file that changes while it is read
// gives Changed, one too large to be held in memory ReadFailed with ENOMEM.
FileContents readWholeFile(const std::string& path);

// Size of a regular file as the folder tells it, without opening it; 0 for a
// name that is not one. For planning only: a reader goes by what it reads.
std::int64_t listedFileSize(const std::string& path);

// Size of a regular file, -1 when it cannot be opened.
std::int64_t FileSizeOf(const std::string& path);

}  // namespace zelk::platform
