#pragma once
// Every translatable text: its section, key and built-in English default,
// letter for letter (the misspellings are the texts users and translators know).

#include <string>
#include <string_view>

namespace zelk::language {

struct LanguageText {
  std::string_view section;
  std::string_view key;
  std::string_view defaultText;
};

namespace texts {
inline constexpr LanguageText Language{"LANGUAGE", "LANGUAGE", "english"};

inline constexpr LanguageText Folder{"GUI", "FOLDER", "Chooce the folder"};
inline constexpr LanguageText Creator{"GUI", "CREATOR", "CREATOR"};
inline constexpr LanguageText Comment{"GUI", "COMMENT", "COMMENT"};
inline constexpr LanguageText Go{"GUI", "GO", "GO"};
inline constexpr LanguageText About{"GUI", "ABOUT", "ABOUT"};
inline constexpr LanguageText Close{"GUI", "Close", "&Close"};
inline constexpr LanguageText Checksum{"GUI", "Checksum", "Checksum"};
inline constexpr LanguageText Create{"GUI", "Create", "Create"};
inline constexpr LanguageText Validate{"GUI", "Validate", "Validate"};
inline constexpr LanguageText Crc32{"GUI", "CRC32", "CRC32 (standard)"};
inline constexpr LanguageText Md5{"GUI", "MD5", "MD5 mode"};
inline constexpr LanguageText Subfolder{"GUI", "SUBFOLDER", "incl. subfolder"};
inline constexpr LanguageText SaveResult{"GUI", "SAVE_RESULT", "Save result"};
inline constexpr LanguageText Cancel{"GUI", "CANCEL", "Cancel"};

inline constexpr LanguageText WinCrcExist{"PROG", "WIN_CRC_EXIST", "File \"%s\" is exit. Overwrite it?"};
inline constexpr LanguageText ChecksumFinish{"PROG", "CHECKSUM_FINISH", "Checksum create is finish"};
inline constexpr LanguageText FolderOnly{"PROG", "FOLDER_ONLY", "Not for file, choose a folder only"};
inline constexpr LanguageText FileDelete{"PROG", "File_Delete", "File was delete"};
inline constexpr LanguageText FileCrcError{"PROG", "File_CRC_ERROR",
                                           "FILE: %s CRC ERROR. File was modified, check it.  %s"};
inline constexpr LanguageText FileCrcOk{"PROG", "File_crc_ok", "FILE: %s CRC OK."};
inline constexpr LanguageText FileChecked{"PROG", "FILE_CHECKED", "Files checked: %d"};
inline constexpr LanguageText FileModi{"PROG", "FILE_MODI", "Files modified: %d  --> File's delete:%d"};
inline constexpr LanguageText FileCheckedOk{"PROG", "FILE_CHECKED_OK", "Files CRC OK: %d"};
inline constexpr LanguageText ResultSave{"PROG", "RESULT_SAVE", "Result.txt you can found here: %s%s"};

// Messages of failures the passes report rather than hide.
inline constexpr LanguageText ListWriteFailed{"PROG", "LIST_WRITE_FAILED", "The list \"%s\" could not be written: %s."};
inline constexpr LanguageText FolderMissing{"PROG", "FOLDER_MISSING", "The folder \"%s\" does not exist or cannot be opened."};
inline constexpr LanguageText ListUnreadable{"PROG", "LIST_UNREADABLE", "The list \"%s\" cannot be read: %s."};
inline constexpr LanguageText FileNotReadable{"PROG", "FILE_NOT_READABLE", "File can not be read"};
inline constexpr LanguageText LineBreaksAsBlanks{"PROG", "LINE_BREAKS_AS_BLANKS",
                                                 "Line breaks in the creator or comment text are written as blanks."};
inline constexpr LanguageText PassCancelled{"PROG", "PASS_CANCELLED", "The pass was cancelled."};
inline constexpr LanguageText NoHeaderFields{"PROG", "NO_HEADER_FIELDS",
                                             "This kind of list has no creator or comment line: they are not written."};

// Why a create pass leaves a file or folder out of the list; shown after its name.
inline constexpr LanguageText FileUnreadable{"PROG", "FILE_UNREADABLE", "cannot be read, not listed"};
inline constexpr LanguageText FileVanished{"PROG", "FILE_VANISHED", "no longer exists, not listed"};
inline constexpr LanguageText FileChanged{"PROG", "FILE_CHANGED", "changed while it was read, not listed"};
inline constexpr LanguageText NotAFile{"PROG", "NOT_A_FILE", "not a regular file, not listed"};
inline constexpr LanguageText PathTooLong{"PROG", "PATH_TOO_LONG", "path too long for the system, not listed"};
inline constexpr LanguageText NameNotListable{"PROG", "NAME_NOT_LISTABLE", "name cannot be held in a list, not listed"};
inline constexpr LanguageText FolderUnreadable{"PROG", "FOLDER_UNREADABLE", "folder cannot be opened, not listed"};
inline constexpr LanguageText FolderLink{"PROG", "FOLDER_LINK", "link to a folder, not followed"};
// What an update does with an entry whose file is gone; shown after its name.
inline constexpr LanguageText EntryKept{"PROG", "ENTRY_KEPT", "no longer exists, entry kept"};
inline constexpr LanguageText EntryRemoved{"PROG", "ENTRY_REMOVED", "no longer exists, entry removed"};

// The heading of the verify report's section of files no entry names.
inline constexpr LanguageText NotInList{"PROG", "NOT_IN_LIST", "Files not in the list: %d"};
// The main window's choice of the algorithms beside CRC-32 and MD5.
inline constexpr LanguageText OtherAlgorithm{"GUI", "OTHER_ALGORITHM", "Other:"};
// The verify window's check box that shows that section.
inline constexpr LanguageText ShowNotInList{"GUI", "SHOW_NOT_IN_LIST", "Not in list"};
// The whole pass while it runs: files done of all, bytes done of all; then the
// speed and the time left.
inline constexpr LanguageText PassProgress{"PROG", "PASS_PROGRESS", "%d of %d files, %s of %s"};
inline constexpr LanguageText PassSpeed{"PROG", "PASS_SPEED", "%s/s, %s left"};

// Every text above; a text added there belongs here too, so that the shipped
// language files are checked for it.
inline constexpr LanguageText kAllTexts[] = {
    Language,
    Folder, Creator, Comment, Go, About, Close, Checksum, Create, Validate, Crc32, Md5, Subfolder, SaveResult,
    Cancel,
    WinCrcExist, ChecksumFinish, FolderOnly, FileDelete, FileCrcError, FileCrcOk, FileChecked, FileModi,
    FileCheckedOk, ResultSave,
    ListWriteFailed, FolderMissing, ListUnreadable, FileNotReadable, LineBreaksAsBlanks, PassCancelled, NoHeaderFields,
    FileUnreadable, FileVanished, FileChanged, NotAFile, PathTooLong, NameNotListable, FolderUnreadable, FolderLink,
    EntryKept, EntryRemoved,
    NotInList, OtherAlgorithm, ShowNotInList,
    PassProgress, PassSpeed,
};
}  // namespace texts

// The text in the active language file, or its default.
std::string translated(const LanguageText& text);

}  // namespace zelk::language
