#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "language/ini_lookup.h"
#include "language/language_list.h"
#include "language/texts.h"
#include "tests/support/temp_folder.h"

namespace zelk::language {
namespace {

using zelk::testing::TempFolder;
using Names = std::vector<std::string>;

TEST(LanguageList, NamesOfTheLngEntriesSortedWithoutRegardToCase) {
  const struct {
    Names files;
    Names folders;
    Names expected;
  } cases[] = {
      {{"deutsch.lng", "English.lng", "alt.lng"}, {}, {"alt", "deutsch", "English"}},
      {{"German.lng", "english.lng"}, {}, {"english", "German"}},
      {{"pt.br.lng", "a.lng.bak", "notes.txt", "upper.LNG", "lng"}, {}, {"pt.br"}},
      {{"zulu.lng", ".hidden.lng", ".lng"}, {"old.lng", "plain"}, {".hidden", "old", "zulu"}},
      {{"b.lng", "B.lng", "a.lng"}, {}, {"a", "B", "b"}},  // equal but for case: byte order
      {{}, {}, {}},
  };
  for (const auto& test : cases) {
    const TempFolder folder;
    for (const std::string& file : test.files) folder.write("language/" + file, "[LANGUAGE]\r\n");
    for (const std::string& name : test.folders) folder.makeFolder("language/" + name);
    folder.makeFolder("language");
    EXPECT_EQ(languageNames(folder.path() + "language/"), test.expected);
  }
}

TEST(LanguageList, MissingFolderGivesNoNames) {
  const TempFolder folder;
  EXPECT_TRUE(languageNames(folder.path() + "language/").empty());
}

TEST(LanguageList, SelectionComparesAsciiUpperCase) {
  const Names names = {"english", "German", "pt.br", "\xC3\xA4rger"};  // "ärger" in UTF-8
  const struct {
    std::string active;
    std::optional<std::size_t> expected;
  } cases[] = {
      {"ENGLISH", 0}, {"English", 0}, {"english", 0}, {"german", 1}, {"PT.BR", 2},
      {"french", std::nullopt}, {"", std::nullopt}, {"englis", std::nullopt}, {"english ", std::nullopt},
      {"\xC3\xA4rger", 3}, {"\xC3\x84RGER", std::nullopt},  // "ÄRGER": only ASCII letters change case
  };
  for (const auto& test : cases) EXPECT_EQ(selectedLanguage(names, test.active), test.expected) << test.active;
  EXPECT_EQ(selectedLanguage({}, "english"), std::nullopt);
  EXPECT_EQ(selectedLanguage({"English", "english"}, "ENGLISH"), 0u);  // the first that matches
}

// The shipped English file holds every text with its built-in default, so
// installing it changes nothing a user sees.
TEST(EnglishLanguageFile, HoldsEveryTextWithItsDefault) {
  const std::string file = std::string(ZELK_SHIPPED_LANGUAGE_FOLDER) + "english.lng";
  for (const LanguageText& text : texts::kAllTexts) {
    const std::string section(text.section);
    const std::string key(text.key);
    EXPECT_EQ(IniLookup(file, section, key, "<missing>"), text.defaultText) << section << "/" << key;
  }
  std::ifstream stream(file, std::ios::binary);
  std::ostringstream buffer;
  buffer << stream.rdbuf();
  const std::string contents = buffer.str();
  ASSERT_FALSE(contents.empty());
  for (std::size_t at = contents.find('\n'); at != std::string::npos; at = contents.find('\n', at + 1)) {
    ASSERT_TRUE(at > 0 && contents[at - 1] == '\r') << "line end without CR at byte " << at;
  }
}

}  // namespace
}  // namespace zelk::language
