#include <gtest/gtest.h>

#include <string>

#include "language/active_language.h"
#include "language/ini_lookup.h"
#include "language/texts.h"
#include "tests/support/language_folders.h"
#include "tests/support/temp_folder.h"

namespace zelk::language {
namespace {

using zelk::testing::TempFolder;

TEST(IniLookup, LayoutAndMatchingRules) {
  const std::string longValue(3000, 'v');
  const struct {
    const char* label;
    std::string file;
    const char* section;
    const char* key;
    std::string value;
  } cases[] = {
      {"lower-case names, blanks around '='", "[gui]\r\ngo = Start\r\n", "GUI", "GO", "Start"},
      {"mixed-case names", "[Gui]\r\nGo=Start\r\n", "gUI", "gO", "Start"},
      {"empty value is an empty text", "[GUI]\r\nGO=\r\n", "GUI", "GO", ""},
      {"blank value is an empty text", "[GUI]\r\nGO = \t \r\n", "GUI", "GO", ""},
      {"long value cut after 2047", "[GUI]\r\nGO=" + longValue + "\r\n", "GUI", "GO", longValue.substr(0, 2047)},
      {"value of exactly 2047 kept", "[GUI]\r\nGO=" + longValue.substr(0, 2047), "GUI", "GO",
       longValue.substr(0, 2047)},
      {"backslash-n kept as two characters", "[PROG]\r\nFile_Delete=one\\ntwo\r\n", "PROG", "File_Delete",
       "one\\ntwo"},
      {"double quotes dropped", "[GUI]\r\nGO=\" Start \"\r\n", "GUI", "GO", " Start "},
      {"single quotes dropped", "[GUI]\r\nGO='Start'\r\n", "GUI", "GO", "Start"},
      {"empty quotes give an empty text", "[GUI]\r\nGO=\"\"\r\n", "GUI", "GO", ""},
      {"unmatched quotes kept", "[GUI]\r\nGO=\"Start'\r\n", "GUI", "GO", "\"Start'"},
      {"a lone quote kept", "[GUI]\r\nGO=\"\r\n", "GUI", "GO", "\""},
      {"inner quotes kept", "[PROG]\r\nWIN_CRC_EXIST=File \"%s\" exists\r\n", "PROG", "WIN_CRC_EXIST",
       "File \"%s\" exists"},
      {"first occurrence wins", "[GUI]\r\nGO=first\r\nGO=second\r\n", "GUI", "GO", "first"},
      {"repeated section searched on", "[GUI]\r\nABOUT=a\r\n[PROG]\r\nGO=prog\r\n[GUI]\r\nGO=late\r\n", "GUI", "GO",
       "late"},
      {"repeated section: earlier key wins", "[GUI]\r\nGO=early\r\n[GUI]\r\nGO=late\r\n", "GUI", "GO", "early"},
      {"blanks and tabs around names and value", "  [ GUI ]  \r\n\t GO\t=\tgo on\t \r\n", "GUI", "GO", "go on"},
      {"'=' inside the value", "[GUI]\r\nGO=a=b\r\n", "GUI", "GO", "a=b"},
      {"LF-only lines, no final break", "[GUI]\nGO=Start", "GUI", "GO", "Start"},
      {"lines without '=' and comments skipped", "[GUI]\r\nGO\r\n;GO=commented\r\n\r\nGO=real\r\n", "GUI", "GO",
       "real"},
      {"bytes beyond ASCII kept", "[GUI]\r\nGO=St\xE4rt\r\n", "GUI", "GO", "St\xE4rt"},
  };
  TempFolder temp;
  for (const auto& c : cases) {
    const std::string path = temp.write("language.lng", c.file);
    EXPECT_EQ(IniLookup(path, c.section, c.key, "DEFAULT"), c.value) << c.label;
  }
}

TEST(IniLookup, MissingPiecesGiveTheDefaultUnchanged) {
  const struct {
    const char* label;
    const char* file;
    const char* section;
    const char* key;
  } cases[] = {
      {"key in another section", "[PROG]\r\nGO=x\r\n", "GUI", "GO"},
      {"key before any section", "GO=x\r\n[GUI]\r\n", "GUI", "GO"},
      {"key only as a prefix", "[GUI]\r\nGOX=x\r\n", "GUI", "GO"},
      {"section only as a prefix", "[GUIDE]\r\nGO=x\r\n", "GUI", "GO"},
      {"unclosed section header", "[GUI\r\nGO=x\r\n", "GUI", "GO"},
      {"commented key", "[GUI]\r\n; GO=x\r\n", "GUI", "GO"},
      {"empty file", "", "GUI", "GO"},
  };
  TempFolder temp;
  for (const auto& c : cases) {
    const std::string path = temp.write("language.lng", c.file);
    EXPECT_EQ(IniLookup(path, c.section, c.key, "Def \"%s\" ault"), "Def \"%s\" ault") << c.label;
  }
  EXPECT_EQ(IniLookup(temp.path() + "missing.lng", "GUI", "GO", "GO"), "GO");
  EXPECT_EQ(IniLookup(temp.makeFolder("folder.lng"), "GUI", "GO", "GO"), "GO");
}

TEST(IniLookup, ActiveTextsAreReadAfreshEachCall) {
  const zelk::testing::LanguageFolders folders;
  const TempFolder& temp = folders.program();
  EXPECT_EQ(programLanguageFile(), temp.path() + "language.lng");
  EXPECT_EQ(activeLanguageText("GUI", "GO", "GO"), "GO");
  EXPECT_EQ(translated(texts::Close), "&Close");

  temp.write("language.lng", "[LANGUAGE]\r\nLANGUAGE=deutsch\r\n[GUI]\r\nGO=Los\r\n");
  EXPECT_EQ(activeLanguageText("GUI", "GO", "GO"), "Los");
  EXPECT_EQ(translated(texts::Go), "Los");
  EXPECT_EQ(translated(texts::Language), "deutsch");
  EXPECT_EQ(translated(texts::Folder), "Chooce the folder");
  EXPECT_EQ(translated(texts::FileCrcError), "FILE: %s CRC ERROR. File was modified, check it.  %s");

  temp.write("language.lng", "[GUI]\r\nGO=Start\r\n");
  EXPECT_EQ(translated(texts::Go), "Start");
}

}  // namespace
}  // namespace zelk::language
