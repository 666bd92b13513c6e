// The entries file managers show for folders and lists, and the desktop entry,
// as installed: each file where its file manager looks, in its format, offered
// on the right kind of file, running a program the install provides.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "tests/cli/tool_runner.h"
#include "tests/packaging/install_tree.h"

namespace {

namespace fs = std::filesystem;
using zelk::testing::runTool;
using zelk::testing::ToolResult;

using Names = std::set<std::string>;

// One MIME type per list kind the program reads.
const Names kListTypes = {"text/x-sfv",    "text/x-md5",    "text/x-sha1",  "text/x-sha256",
                          "text/x-sha512", "text/x-blake3", "text/x-xxh128"};
const Names kFolderTypes = {"inode/directory"};
const Names kNemoFolders = {"dir"};  // Nemo names folders by a pseudo extension

// A desktop-entry style key file. Lines that are neither a group, a comment nor
// a "Key=value" inside a group, and keys given twice in a group, are faults.
struct KeyFile {
  std::vector<std::string> groupOrder;
  std::map<std::string, std::map<std::string, std::string>> groups;
  std::vector<std::string> faults;
};

KeyFile readKeyFile(const std::string& path) {
  KeyFile file;
  std::ifstream in(path);
  if (!in) file.faults.push_back("cannot be read");
  const std::regex entry(R"(([A-Za-z0-9-]+(\[[A-Za-z_@]+\])?)=(.*))");
  std::string group;
  std::string line;
  while (std::getline(in, line)) {
    std::smatch match;
    if (line.empty() || line.front() == '#') continue;
    if (line.size() > 2 && line.front() == '[' && line.back() == ']') {
      group = line.substr(1, line.size() - 2);
      file.groupOrder.push_back(group);
    } else if (group.empty() || !std::regex_match(line, match, entry) ||
               !file.groups[group].emplace(match[1], match[3]).second) {
      file.faults.push_back(line);
    }
  }
  return file;
}

// The entries of a ";"-ended list value.
Names listValue(const std::string& value) {
  Names names;
  std::stringstream stream(value);
  for (std::string name; std::getline(stream, name, ';');) names.insert(name);
  return names;
}

enum class Offer { Create, Verify };

struct ActionFile {
  const char* path;        // below the prefix
  const char* firstGroup;  // the group its format starts with
  const char* typesGroup;  // where the kinds of file it is offered on are named
  const char* typesKey;
  const Names* types;
  const char* entryGroup;  // where its name and command are
  const char* exec;
  Offer offer;
};

const ActionFile kActionFiles[] = {
    {"share/kio/servicemenus/zelk-sfv-utility-create.desktop", "Desktop Entry", "Desktop Entry", "MimeType",
     &kFolderTypes, "Desktop Action createChecksumList", "Zelk_SFV_Utility %f", Offer::Create},
    {"share/kio/servicemenus/zelk-sfv-utility-verify.desktop", "Desktop Entry", "Desktop Entry", "MimeType",
     &kListTypes, "Desktop Action verifyChecksumList", "zelk-sfv-verify-list %f", Offer::Verify},
    {"share/nemo/actions/zelk-sfv-utility-create.nemo_action", "Nemo Action", "Nemo Action", "Extensions",
     &kNemoFolders, "Nemo Action", "Zelk_SFV_Utility %F", Offer::Create},
    {"share/nemo/actions/zelk-sfv-utility-verify.nemo_action", "Nemo Action", "Nemo Action", "Mimetypes",
     &kListTypes, "Nemo Action", "zelk-sfv-verify-list %F", Offer::Verify},
    {"share/file-manager/actions/zelk-sfv-utility-create.desktop", "Desktop Entry", "X-Action-Profile folder",
     "MimeTypes", &kFolderTypes, "X-Action-Profile folder", "Zelk_SFV_Utility %f", Offer::Create},
    {"share/file-manager/actions/zelk-sfv-utility-verify.desktop", "Desktop Entry", "X-Action-Profile list",
     "MimeTypes", &kListTypes, "X-Action-Profile list", "zelk-sfv-verify-list %f", Offer::Verify},
};

// FileManager-Actions keep the name in the action and the command in its profile.
std::string nameGroup(const ActionFile& action) {
  return std::string(action.entryGroup).starts_with("X-Action-Profile") ? "Desktop Entry" : action.entryGroup;
}

const std::map<std::string, std::string>& entryTexts(Offer offer) {
  static const std::map<std::string, std::string> create = {{"Name", "Create checksum list"},
                                                            {"Name[de]", "Prüfsummenliste erstellen"},
                                                            {"Name[fr]", "Créer une liste de sommes de contrôle"}};
  static const std::map<std::string, std::string> verify = {{"Name", "Verify checksum list"},
                                                            {"Name[de]", "Prüfsummenliste prüfen"},
                                                            {"Name[fr]", "Vérifier la liste de sommes de contrôle"}};
  return offer == Offer::Create ? create : verify;
}

class FileManagerActions : public zelk::testing::InstallTree {
 protected:
  static bool isInstalledProgram(const std::string& name) {
    return ::access(installed("bin/" + name).c_str(), X_OK) == 0;
  }
};

TEST_F(FileManagerActions, EachFileIsAWellFormedKeyFileOfItsFormat) {
  for (const ActionFile& action : kActionFiles) {
    SCOPED_TRACE(action.path);
    const KeyFile file = readKeyFile(installed(action.path));
    EXPECT_EQ(file.faults, std::vector<std::string>{});
    ASSERT_FALSE(file.groupOrder.empty());
    EXPECT_EQ(file.groupOrder.front(), action.firstGroup);
  }
}

TEST_F(FileManagerActions, EachIsOfferedOnItsKindOfFileOnly) {
  for (const ActionFile& action : kActionFiles) {
    SCOPED_TRACE(action.path);
    KeyFile file = readKeyFile(installed(action.path));
    EXPECT_EQ(listValue(file.groups[action.typesGroup][action.typesKey]), *action.types);
  }
}

TEST_F(FileManagerActions, EachRunsAnInstalledProgramOnTheChosenFile) {
  for (const ActionFile& action : kActionFiles) {
    SCOPED_TRACE(action.path);
    KeyFile file = readKeyFile(installed(action.path));
    const std::string exec = file.groups[action.entryGroup]["Exec"];
    EXPECT_EQ(exec, action.exec);
    EXPECT_TRUE(isInstalledProgram(exec.substr(0, exec.find(' ')))) << exec;
  }
}

TEST_F(FileManagerActions, EachNamesItsEntryInEnglishGermanAndFrench) {
  for (const ActionFile& action : kActionFiles) {
    SCOPED_TRACE(action.path);
    KeyFile file = readKeyFile(installed(action.path));
    for (const auto& [key, text] : entryTexts(action.offer)) {
      EXPECT_EQ(file.groups[nameGroup(action)][key], text) << key;
    }
  }
}

// Nemo hides an entry whose program is missing only when it is named.
TEST_F(FileManagerActions, NemoActionsDependOnTheirProgram) {
  for (const char* path : {"share/nemo/actions/zelk-sfv-utility-create.nemo_action",
                           "share/nemo/actions/zelk-sfv-utility-verify.nemo_action"}) {
    SCOPED_TRACE(path);
    KeyFile file = readKeyFile(installed(path));
    const Names dependencies = listValue(file.groups["Nemo Action"]["Dependencies"]);
    ASSERT_EQ(dependencies.size(), 1U);
    const std::string exec = file.groups["Nemo Action"]["Exec"];
    EXPECT_EQ(*dependencies.begin(), exec.substr(0, exec.find(' ')));
  }
}

// KDE runs a service menu outside its system folders only when it is executable.
TEST_F(FileManagerActions, DolphinMenusAreExecutableByEveryone) {
  for (const char* path : {"share/kio/servicemenus/zelk-sfv-utility-create.desktop",
                           "share/kio/servicemenus/zelk-sfv-utility-verify.desktop"}) {
    const fs::perms perms = fs::status(installed(path)).permissions();
    for (const fs::perms bit : {fs::perms::owner_exec, fs::perms::group_exec, fs::perms::others_exec}) {
      EXPECT_NE(perms & bit, fs::perms::none) << path;
    }
  }
}

TEST_F(FileManagerActions, DesktopEntryOpensEveryListKindAndValidates) {
  const std::string entry = installed("share/applications/zelk-sfv-utility.desktop");
  KeyFile file = readKeyFile(entry);
  EXPECT_EQ(listValue(file.groups["Desktop Entry"]["MimeType"]), kListTypes);
  const std::string exec = file.groups["Desktop Entry"]["Exec"];
  EXPECT_TRUE(isInstalledProgram(exec.substr(0, exec.find(' ')))) << exec;
  if (::access("/usr/bin/desktop-file-validate", X_OK) != 0) GTEST_SKIP() << "desktop-file-utils is not installed";
  const ToolResult validate = runTool({entry}, "/", "/usr/bin/desktop-file-validate");
  EXPECT_EQ(validate.status, 0);
  EXPECT_EQ(validate.out + validate.err, "");
}

TEST_F(FileManagerActions, NautilusExtensionCompilesAndNamesInstalledPrograms) {
  const std::string extension = installed("share/nautilus-python/extensions/zelk_sfv_utility.py");
  std::ifstream in(extension);
  std::stringstream source;
  source << in.rdbuf();
  const std::string text = source.str();
  Names types;
  const std::regex typeName(R"re("(text/x-[a-z0-9]+)")re");
  for (auto it = std::sregex_iterator(text.begin(), text.end(), typeName); it != std::sregex_iterator(); ++it) {
    types.insert((*it)[1]);
  }
  EXPECT_EQ(types, kListTypes);
  for (const char* program : {"Zelk_SFV_Utility", "zelk-sfv-verify-list"}) {
    EXPECT_NE(text.find(std::string("\"") + program + "\""), std::string::npos) << program;
    EXPECT_TRUE(isInstalledProgram(program)) << program;
  }
  if (::access("/usr/bin/python3", X_OK) != 0) GTEST_SKIP() << "python3 is not installed";
  // Compiled to a scratch name: the check leaves no cache beside the extension.
  const std::string compile = "import py_compile, sys; py_compile.compile(sys.argv[1], cfile=sys.argv[2], doraise=True)";
  const ToolResult result =
      runTool({"-c", compile, extension, installed("compiled-extension.pyc")}, "/", "/usr/bin/python3");
  EXPECT_EQ(result.status, 0) << result.err;
}

}  // namespace
