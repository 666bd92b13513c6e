#pragma once
// Writes a checksum list: the eight header lines, then one entry line per
// file as soon as its checksum is known. Lines end in CR LF. The list takes
// the place of any old one only when it is complete.

#include <optional>
#include <stop_token>
#include <string>

#include "listfile/list_format.h"
#include "platform/pending_file.h"

namespace zelk::listfile {

struct ListHeader {
  ChecksumKind kind = ChecksumKind::Crc32;
  std::string creator;   // empty is written as "(NONE)"
  std::string comment;   // empty is written as "(NONE)"
  std::string dateText;  // from DateStamp()
};

class ListWriter {
 public:
  // Starts the list that is to replace `path` (see PendingFile); failed()
  // tells whether that worked.
  explicit ListWriter(const std::string& path);
  // Writes the list to the open descriptor `fd` (standard output) as it
  // grows: there is nothing to replace, so commit() only tells whether every
  // line was written.
  struct Descriptor {
    int fd;
  };
  explicit ListWriter(Descriptor target);
  ListWriter(const ListWriter&) = delete;
  ListWriter& operator=(const ListWriter&) = delete;

  void writeHeader(const ListHeader& header);
  // `name` uses '\' between folder names; `checksumText` is the lower-case
  // hexadecimal text of the kind (name first for SFV, digest first for MD5).
  void writeEntry(ChecksumKind kind, const std::string& name, const std::string& checksumText);

  // Puts the list in place of `path`; true only when every line reached the
  // disk. A writer destroyed uncommitted leaves the old list as it was, and
  // so does a `stop` requested before the list takes its place: false, with
  // error() ECANCELED. A list written to a descriptor is out already and
  // pays no heed to `stop`.
  bool commit(const std::stop_token& stop = {});
  bool failed() const { return error() != 0; }
  // The system's error number of the first failure.
  int error() const { return file_ ? file_->error() : streamError_; }

 private:
  void put(std::string_view text);
  void flush();

  std::optional<platform::PendingFile> file_;  // empty when writing to a descriptor
  int fd_ = -1;
  int streamError_ = 0;
  std::string buffer_;
};

}  // namespace zelk::listfile
