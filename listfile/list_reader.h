#pragma once
// Reads checksum lists, also those other tools write: line breaks, comments,
// the creator and comment lines, and entries classified line by line.

#include <cstddef>
#include <string>
#include <string_view>

#include "engines/checksum_types.h"
#include "listfile/list_dialect.h"
#include "listfile/list_format.h"

namespace zelk::listfile {

// How entry lines are read: by their shape, all CRC-32, or all MD5.
enum class ChecksumMode { Automatic = 0, Crc32 = 1, Md5 = 2 };

// What a reader knows of a list before it reads it.
struct ListReading {
  ChecksumMode mode = ChecksumMode::Automatic;
  // The dialect the list's name tells (DialectOfListName); null when it
  // tells none, as for a list on standard input.
  const ListDialect* dialect = nullptr;
};

// An entry line, split. The views are valid during the visitor's call only.
struct ListEntry {
  // The algorithms the entry may be of, in table order: one, unless its
  // digest's length fits several and nothing else tells.
  engines::KindSet kinds = ChecksumKind::Crc32;
  std::string_view expected;  // as the list has it; compared without letter case
  std::string_view name;      // as the list has it, '\' or '/' between folders, escapes undone
  // False for a name from an escaped line (see ListDialect::escapesNames):
  // its backslashes belong to the name, and only '/' separates folders.
  bool backslashSeparatesFolders = true;
  // Whether the line is of the tagged form, "TAG (name) = digest".
  bool tagged = false;
  // Where the line lies in the list's text: its first byte, and its length
  // with its line break.
  std::size_t lineStart = 0;
  std::size_t lineLength = 0;

  ChecksumKind kind() const { return kinds.first(); }
};

// True when `line` is to be read as an MD5 entry: always in Md5 mode, never in
// Crc32 mode, and in Automatic mode when its first 32 characters are all
// hexadecimal digits followed by a blank, a tab or the end of the line, as
// every MD5 line begins. Any other line, a subfolder entry or a long name
// without an extension among them, is a CRC-32 entry.
bool readsAsMd5Entry(std::string_view line, ChecksumMode mode);

// Splits an entry line of the given kind into expected checksum and name,
// by the entry form of the kind's dialect. The views are into `line`.
ListEntry splitEntry(std::string_view line, ChecksumKind kind);

// The name of an escaped line as it is meant: "\\" a backslash, "\n" a line
// feed, "\r" a carriage return; any other backslash stays as it is.
std::string unescapedName(std::string_view name);

class ListVisitor {
 public:
  virtual ~ListVisitor() = default;
  // The creator or comment line less its first two characters.
  virtual void creatorLine(const std::string& text) = 0;
  virtual void commentLine(const std::string& text) = 0;
  virtual void entry(const ListEntry& entry) = 0;
};

// Reads the list's `text` line by line to its end (or to a Ctrl-Z at the start
// of a line) and hands every creator, comment and entry line to `visitor` in
// order. Never fails on content: any bytes, any line length.
//
// In Automatic mode an entry line's kind comes from its tag ("MD5 (name)
// = digest"), else from the list's dialect, else from the length of the
// digest it opens with, else from its shape as in an SFV list. Tags and the
// lines GNU tools escape are read in every list but SFV lists.
void readList(std::string_view text, const ListReading& reading, ListVisitor& visitor);

// How much of `text` readList reads: all of it, or what comes before the
// first line that opens with a Ctrl-Z (carriage returns before it aside).
std::size_t readTextLength(std::string_view text);

// True when two checksum texts are equal without regard to letter case.
bool checksumTextsMatch(std::string_view expected, std::string_view computed);

}  // namespace zelk::listfile
