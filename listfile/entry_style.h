#pragma once
// How entry lines are written: as a dialect writes them, or as an existing
// list has them, so that entries added to a list look like those it holds.

#include <string>
#include <string_view>

#include "listfile/list_dialect.h"
#include "listfile/list_reader.h"

namespace zelk::listfile {

struct EntryStyle {
  ChecksumKind kind = ChecksumKind::Crc32;
  EntryForm form = EntryForm::NameFirst;
  // "TAG (name) = digest" with this tag when not empty; DigestFirst only.
  std::string tag;
  // Between name and checksum (NameFirst), or digest and name (DigestFirst).
  std::string separator;
  std::string lineEnd;
  char folderSeparator = '/';
  bool upperCase = false;  // hexadecimal digits A-F rather than a-f
  // A name holding a backslash or a line break is written escaped (see
  // ListDialect::escapesNames); never where '\' separates folders, as an
  // escaped name's backslashes are its own.
  bool escapesNames = false;
};

// The style of the lists of `kind` we write.
EntryStyle DialectStyle(ChecksumKind kind);

// Learns the style of an existing list of `kind` from its entries, as the
// reader hands them over: the form of its first entry of that kind, the
// separator between folders of its first entry that has one, the letter case
// of its first digest with letters, and the line end of its first line
// break; where the list tells nothing, the dialect's.
class ListStyleFinder {
 public:
  ListStyleFinder(std::string_view text, ChecksumKind kind);

  // Call for every entry of `text`, in order.
  void take(const ListEntry& entry);

  const EntryStyle& style() const { return style_; }
  // Whether an entry told the separator between folders.
  bool toldFolderSeparator() const { return separatorKnown_; }

 private:
  void takeForm(const ListEntry& entry, std::string_view line);

  std::string_view text_;
  EntryStyle style_;
  bool formKnown_ = false;
  bool caseKnown_ = false;
  bool separatorKnown_ = false;
};

// Whether a list in `style` can hold `relativePath` ('/' between folders) so
// that reading it gives the same name back: no line break and no backslash
// unless the style escapes names, and no first character that makes the
// line a comment or the end of an SFV list, or that the reader of
// digest-first lines takes for a marker.
bool canHoldName(const EntryStyle& style, std::string_view relativePath);

}  // namespace zelk::listfile
