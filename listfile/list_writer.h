#pragma once
// Writes a checksum list: the eight header lines, then one entry line per
// file as soon as its checksum is known. Lines end in CR LF.

#include <string>

#include "listfile/list_format.h"
#include "platform/files.h"

namespace zelk::listfile {

struct ListHeader {
  ChecksumKind kind = ChecksumKind::Crc32;
  std::string creator;   // empty is written as "(NONE)"
  std::string comment;   // empty is written as "(NONE)"
  std::string dateText;  // from DateStamp()
};

class ListWriter {
 public:
  // Creates (or replaces) the list at `path`; failed() tells whether it worked.
  explicit ListWriter(const std::string& path);
  ~ListWriter();
  ListWriter(const ListWriter&) = delete;
  ListWriter& operator=(const ListWriter&) = delete;

  void writeHeader(const ListHeader& header);
  // `name` uses '\' between folder names; `checksumText` is the lower-case
  // hexadecimal text of the kind (name first for SFV, digest first for MD5).
  void writeEntry(ChecksumKind kind, const std::string& name, const std::string& checksumText);

  // Flushes and closes; true only when the list was created and every line
  // reached the disk.
  bool close();
  bool failed() const;

 private:
  void put(std::string_view text);
  void flush();

  platform::OutputFile file_;
  std::string buffer_;
};

}  // namespace zelk::listfile
