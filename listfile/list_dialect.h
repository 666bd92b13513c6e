#pragma once
// The table of list dialects: for every algorithm, how its lists are named,
// what their lines look like when we write them, and how they are read.
// doc/list-format.md describes them in prose.

#include <span>
#include <string_view>

#include "engines/checksum_types.h"

namespace zelk::listfile {

using engines::ChecksumKind;

// The lines a list opens with.
enum class HeaderStyle {
  Semicolons,  // the eight "; " lines of listfile/list_format.h
  Hashes,      // the kind line, creator, comment and date as "# " comments, which sha*sum -c skip
  None,        // no line but entries: the checking tool takes nothing else
};

// How an entry line is laid out.
enum class EntryForm {
  NameFirst,    // name, one character, the checksum: the last characters of the line
  DigestFirst,  // the digest, one character, an optional ' ' or '*', the name
};

// How the Automatic mode decides what an entry line of such a list is.
enum class LineRule {
  ByShape,   // an MD5 line when it opens with 32 hexadecimal digits and a blank, a tab or its end; else CRC-32
  Md5Lines,  // as ByShape, and also the tagged and escaped lines md5sum writes
  OwnKind,   // a tagged line is of its tag's kind; every other line of the dialect's kind
};

struct ListDialect {
  ChecksumKind kind;
  std::string_view extension;                    // of the lists we write: ".sfv"
  std::span<const std::string_view> otherNames;  // that other tools give: an extension, or a whole name
  std::string_view rootName;                     // of a list where the folder gives no name
  std::string_view kindLine;                     // the header's line telling the kind (none without a header)
  std::string_view tag;                          // the tag of its BSD-style lines ("MD5 (name) = digest")
  HeaderStyle header;
  EntryForm form;
  std::string_view digestNameSeparator;  // what we write between digest and name (DigestFirst)
  std::string_view lineEnd;
  char folderSeparator;  // what we write between folder names by default
  // A name holding a backslash or a line break is written as GNU md5sum
  // writes it: a '\' before the line, "\\" and "\n" in the name.
  bool escapesNames;
  // Whether its lists have entries for other lists and saved reports, as SFV
  // and MD5 lists have always had (only SFV lists are never listed).
  bool listsChecksumFiles;
  LineRule rule;
};

// Every dialect, in ChecksumKind order.
std::span<const ListDialect> ListDialects();

const ListDialect& DialectOf(ChecksumKind kind);

// The dialect a list of this file name is in, by its extension or one of the
// other names (ASCII letter case ignored); null when the name tells none.
const ListDialect* DialectOfListName(std::string_view fileName);

// Whether `fileName` has the dialect's extension or one of its other names.
bool isNamedAsListOf(const ListDialect& dialect, std::string_view fileName);

// The dialect whose tag is `tag` (ASCII letter case ignored); null for none.
const ListDialect* DialectOfTag(std::string_view tag);

}  // namespace zelk::listfile
