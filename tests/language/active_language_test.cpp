#include "language/active_language.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>

#include "language/texts.h"
#include "tests/support/language_folders.h"
#include "tests/support/ordinary_user.h"

namespace zelk::language {
namespace {

using zelk::testing::LanguageFolders;

constexpr const char* kUserFile = LanguageFolders::kUserLanguageFile;

std::string languageFile(const std::string& name, const std::string& go) {
  return "[LANGUAGE]\r\nLANGUAGE=" + name + "\r\n[GUI]\r\nGO=" + go + "\r\n";
}

TEST(ActiveLanguage, UserFileThenProgramFolderFileThenDefaults) {
  const struct {
    bool userFile;
    bool programFile;
    const char* go;
  } cases[] = {
      {true, true, "Los"},
      {true, false, "Los"},
      {false, true, "Allez"},
      {false, false, "GO"},
  };
  for (const auto& c : cases) {
    const LanguageFolders folders;
    if (c.userFile) folders.userConfig().write(kUserFile, "[GUI]\r\nGO=Los\r\n");
    if (c.programFile) folders.program().write("language.lng", "[GUI]\r\nGO=Allez\r\nCreate=Faire\r\n");
    EXPECT_EQ(translated(texts::Go), c.go) << c.userFile << c.programFile;
    // The user's file stands whole for the program folder's: a key it lacks is the default.
    EXPECT_EQ(translated(texts::Create), c.userFile || !c.programFile ? "Create" : "Faire");
  }
  const LanguageFolders folders;
  EXPECT_EQ(userLanguageFile(), folders.userConfig().path() + kUserFile);
  EXPECT_EQ(offeredLanguageFile("pt.br"), folders.program().path() + "language/pt.br.lng");
}

TEST(ActiveLanguage, InstallCopiesTheOfferedFileOverTheUsersOwn) {
  const LanguageFolders folders;
  folders.program().write("language/german.lng", languageFile("german", "Los"));
  folders.program().write("language/english.lng", languageFile("english", "GO"));

  ASSERT_TRUE(installLanguage("german"));  // makes the user's folder on the way
  EXPECT_EQ(folders.userConfig().read(kUserFile), languageFile("german", "Los"));
  EXPECT_EQ(translated(texts::Go), "Los");

  ASSERT_TRUE(installLanguage("english"));
  EXPECT_EQ(translated(texts::Language), "english");
  ASSERT_TRUE(installLanguage("english")) << "installing the active language again";
  EXPECT_EQ(folders.userConfig().read(kUserFile), languageFile("english", "GO"));
}

TEST(ActiveLanguage, FailedInstallLeavesTheActiveFileAsItWas) {
  const struct {
    const char* label;
    std::string name;
    bool languageFolder;
  } cases[] = {
      {"nothing selected", "", true},
      {"no such file", "klingon", true},
      {"a folder named .lng", "old", true},
      {"a name reaching out of the folder", "../language/german", true},
      {"no language folder", "german", false},
  };
  for (const auto& c : cases) {
    const LanguageFolders folders;
    if (c.languageFolder) {
      folders.program().write("language/german.lng", languageFile("german", "Los"));
      folders.program().makeFolder("language/old.lng");
    }
    folders.userConfig().write(kUserFile, languageFile("french", "LANCER"));
    EXPECT_FALSE(installLanguage(c.name)) << c.label;
    EXPECT_EQ(folders.userConfig().read(kUserFile), languageFile("french", "LANCER")) << c.label;
  }
}

TEST(ActiveLanguage, InstallFailsWhereTheUserMayNotWrite) {
  const LanguageFolders folders;
  folders.program().write("language/german.lng", languageFile("german", "Los"));
  folders.userConfig().write(kUserFile, languageFile("french", "LANCER"));
  const std::string userFolder = folders.userConfig().path() + "zelk-sfv-utility";
  // Open to the ordinary user for reading; the user's folder and file closed
  // for writing, whoever runs the tests.
  for (const std::string& path :
       {folders.program().path(), folders.program().path() + "language", folders.userConfig().path()}) {
    ::chmod(path.c_str(), 0755);
  }
  ::chmod(userFolder.c_str(), 0555);
  ::chmod((userFolder + "/language.lng").c_str(), 0444);
  ::chmod((folders.program().path() + "language/german.lng").c_str(), 0644);
  EXPECT_TRUE(zelk::testing::asOrdinaryUser([] { return !installLanguage("german"); }));
  EXPECT_EQ(folders.userConfig().read(kUserFile), languageFile("french", "LANCER"));

  // A file where the user's folder belongs.
  const LanguageFolders blocked;
  blocked.program().write("language/german.lng", languageFile("german", "Los"));
  blocked.userConfig().write("zelk-sfv-utility", "not a folder");
  EXPECT_FALSE(installLanguage("german"));
}

}  // namespace
}  // namespace zelk::language
