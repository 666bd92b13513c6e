#pragma once
// Writes a checksum list in the dialect of its kind: the header lines, then
// one entry line per file as soon as its checksum is known. The list takes
// the place of any old one only when it is complete.

#include <optional>
#include <stop_token>
#include <string>
#include <string_view>

#include "listfile/entry_style.h"
#include "listfile/list_dialect.h"
#include "platform/pending_file.h"

namespace zelk::listfile {

struct ListHeader {
  std::string creator;   // empty is written as "(NONE)"
  std::string comment;   // empty is written as "(NONE)"
  std::string dateText;  // from DateStamp()
};

class ListWriter {
 public:
  // Starts the list of `kind` that is to replace `path` (see PendingFile);
  // failed() tells whether that worked.
  ListWriter(ChecksumKind kind, const std::string& path);
  // Writes the list to the open descriptor `fd` (standard output) as it
  // grows: there is nothing to replace, so commit() only tells whether every
  // line was written.
  struct Descriptor {
    int fd;
  };
  ListWriter(ChecksumKind kind, Descriptor target);
  ListWriter(const ListWriter&) = delete;
  ListWriter& operator=(const ListWriter&) = delete;

  // Entries from now on are written in `style` (of the writer's kind)
  // rather than the dialect's.
  void setEntryStyle(const EntryStyle& style) { style_ = style; }

  void writeHeader(const ListHeader& header);
  // `name` has the separator between folder names the caller chose;
  // `checksumText` is the lower-case hexadecimal text of the kind. An entry
  // always starts a line: after text that ends without a line break, the
  // style's line end comes first.
  void writeEntry(std::string_view name, std::string_view checksumText);
  // Writes `text` as it is: the lines kept of a list being updated.
  void writeVerbatim(std::string_view text);

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
  // `name` with GNU's escapes (see ListDialect::escapesNames).
  void putEscaped(std::string_view name);
  void flush();

  const ListDialect& dialect_;
  EntryStyle style_;
  bool atLineStart_ = true;
  std::optional<platform::PendingFile> file_;  // empty when writing to a descriptor
  int fd_ = -1;
  int streamError_ = 0;
  std::string buffer_;
};

}  // namespace zelk::listfile
