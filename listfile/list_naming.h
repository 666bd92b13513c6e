#pragma once
// Which files are lists, what a list is named, which list a folder's check
// reads, and which names a list can hold.

#include <string>
#include <string_view>

#include "engines/checksum_types.h"

namespace zelk::listfile {

// The name the saved report of a check has in the checked folder.
inline constexpr char kReportFileName[] = "result.rtf";

// The last component of a folder path that ends in '/' (or '\'): the
// characters after the last separator before the final character.
std::string ListBaseName(const std::string& folder);

// The list's file name for the folder: base name + the kind's extension, or
// the kind's fixed root name ("WinCRC32.sfv", "WinMD5.md5") when the base
// name is empty or a drive.
std::string ListFileName(const std::string& folderPath, engines::ChecksumKind kind);

// The list a folder's check reads: a regular file named "*.sfv" (any letter
// case) if there is one, else "*.md5"; only when there is neither, a list
// of another name we read (listfile/list_dialect.h), dialect by dialect in
// the order of the table (MD5's other names first). Of several, the last in
// name order. Empty when there is none.
std::string findList(const std::string& folder);

// The list findList would pick if `folder` held no list of another kind
// than `kind`; empty when there is none.
std::string findListOfKind(const std::string& folder, engines::ChecksumKind kind);

// Appends to `path` an entry's `name` as the file it names is opened: '\'
// and '/' both separate folders, but in a name from an escaped line, whose
// backslashes are its own (ListEntry::backslashSeparatesFolders).
void appendEntryPath(std::string& path, std::string_view name, bool backslashSeparatesFolders);

// Whether a list of `kind` can hold `relativePath` ('/' between folders) so
// that reading it gives the same name back, written as we write lists of
// that kind (see canHoldName of listfile/entry_style.h): no line break, no
// backslash inside a name, and no first character that makes the line a
// comment or the end of an SFV list, or that the MD5 reader drops; a list
// that escapes names (ListDialect::escapesNames) holds backslashes and line
// feeds too.
bool canHoldName(engines::ChecksumKind kind, std::string_view relativePath);

// A file a list of `kind` never has an entry for: an SFV list, a temporary
// file lists are written under (which a crash may leave behind), and unless
// the dialect lists them (ListDialect::listsChecksumFiles), every list and
// saved report.
bool isNeverListed(engines::ChecksumKind kind, std::string_view fileName);

// A file that belongs to checking rather than to what is checked, and so is
// never named among the files a list does not know: a list of any kind we
// read, a saved report, or a temporary file of ours.
bool isNeverReported(std::string_view fileName);

}  // namespace zelk::listfile
