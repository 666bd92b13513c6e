#pragma once
// The active language file, and making another language the active one. An
// installed program folder is not writable by its users, so each user has an
// active file of their own; an administrator may put one beside the program
// for everybody who has none.

#include <string>

namespace zelk::language {

// The user's active language file: "language.lng" in the program's folder
// below $XDG_CONFIG_HOME (default ~/.config/zelk-sfv-utility/).
std::string userLanguageFile();

// The active language file for every user who has none: "language.lng" in the
// program folder.
std::string programLanguageFile();

// The value of `key` in `section` of the first of userLanguageFile() and
// programLanguageFile() that can be read, or `defaultText` when neither can.
// Each call reads the file afresh: a language installed while the program
// runs is used by the next lookup.
std::string activeLanguageText(const std::string& section, const std::string& key, const std::string& defaultText);

// The folder of the language files a user can choose from: "language/" in
// the program folder, ending in '/'.
std::string offeredLanguageFolder();

// The file of the offered language `name`: offeredLanguageFolder() + name + ".lng".
std::string offeredLanguageFile(const std::string& name);

// Makes the offered language `name` the user's active one: copies its file
// over userLanguageFile(), creating the user's folders as needed. The copy is
// written beside the target and renamed over it, so that a failure leaves the
// old file exactly as it was. False when nothing was installed: no name, a
// name that is not a file of the language folder, or a source or target that
// cannot be read or written.
bool installLanguage(const std::string& name);

}  // namespace zelk::language
