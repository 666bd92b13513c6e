#pragma once
// Files written so that a reader finds either the old file or the whole new
// one, never a part, and so that nothing but the named file is ever written.

#include <cstddef>
#include <stop_token>
#include <string>
#include <string_view>

namespace zelk::platform {

// A new file for `target`, written under a unique temporary name in the
// target's folder and renamed over the target by commit(). The temporary file
// is created exclusively (O_EXCL | O_NOFOLLOW): a link planted in the folder is
// never written through, a file that happens to have that name is never
// touched, and two writers never share one. A writer destroyed uncommitted
// removes its temporary file.
class PendingFile {
 public:
  // Creates the temporary file. Fails (see failed()) when the folder takes no
  // new file, when the target is a folder, device, FIFO or socket, or when
  // the target exists and this user may not write it: replacing it by a
  // rename would get round that.
  explicit PendingFile(const std::string& target);
  ~PendingFile();
  PendingFile(const PendingFile&) = delete;
  PendingFile& operator=(const PendingFile&) = delete;

  // False once anything has failed; later writes are dropped.
  bool write(const void* data, std::size_t size);

  // Puts every byte on the disk, renames the file over the target and makes
  // the rename durable. The replaced target's permission bits (and owner,
  // where the system allows) carry over. True only when the target now holds
  // everything written; otherwise the target is as it was. The rename is the
  // point of no return: a `stop` requested before it, even while the bytes
  // were still going to the disk, removes the temporary file instead, and
  // error() is then ECANCELED.
  bool commit(const std::stop_token& stop = {});

  bool failed() const { return error_ != 0; }
  // The system's error number of the first failure, 0 while there is none.
  int error() const { return error_; }

 private:
  bool fail(int error);
  void discard();

  std::string target_;
  std::string temporary_;
  int fd_ = -1;
  int slot_ = -1;  // in the list of files to remove on a terminating signal
  int error_ = 0;
};

// True for the names PendingFile gives its temporary files. A pass never lists
// such a file: one may be left behind by a crash.
bool isPendingFileName(std::string_view name);

// Removes the temporary files of every uncommitted PendingFile. Safe in a
// signal handler: for a process that is about to end.
void removePendingFiles();

// From now on SIGINT, SIGTERM and SIGHUP first remove the temporary files of
// uncommitted PendingFiles, then end the process as they would have. Signals
// the process ignores stay ignored.
void removePendingFilesOnTermination();

}  // namespace zelk::platform
