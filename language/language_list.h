#pragma once
// The language files a user can choose from: the "*.lng" entries of the
// language folder beside the program.

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace zelk::language {

// Names of the entries of `folder` whose names end in ".lng" (letter case as
// written: Linux file names are case-sensitive, so "x.LNG" is not one), less
// that last extension: "pt.br.lng" gives "pt.br". Folders named so count too,
// as any entry of that name can be chosen. An entry named just ".lng" names no
// language and is left out. Sorted without regard to ASCII letter case (ties
// in byte order, so the order is the same on every run). A missing or
// unreadable folder gives an empty list.
std::vector<std::string> languageNames(const std::string& folder);

// Index of the first of `names` equal to `activeName` when both are turned to
// upper case (ASCII letters only); nullopt when none is.
std::optional<std::size_t> selectedLanguage(const std::vector<std::string>& names, const std::string& activeName);

}  // namespace zelk::language
