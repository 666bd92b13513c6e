// The language files that ship with the program: complete, and safe to fill.

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <string>

#include "language/ini_lookup.h"
#include "language/message_format.h"
#include "language/texts.h"
#include "platform/directory.h"
#include "platform/files.h"

namespace zelk::language {
namespace {

constexpr const char* kShippedFolder = ZELK_SHIPPED_LANGUAGE_FOLDER;
// No text is this, so a lookup that gives it found no key.
const std::string kAbsent = "\x01 absent \x01";

TEST(ShippedLanguageFiles, EveryFileHasEveryTextWithItsDefaultsPlaceholders) {
  int files = 0;
  for (const platform::DirectoryEntry& entry : platform::listDirectory(kShippedFolder).entries) {
    const std::string& name = entry.name;
    if (!name.ends_with(".lng")) continue;
    ++files;
    const platform::FileContents file = platform::readWholeFile(kShippedFolder + name);
    ASSERT_EQ(file.status, platform::FileReadStatus::Ok) << name;
    EXPECT_EQ(file.bytes.find('\n'), file.bytes.find("\r\n") + 1) << name << ": lines end in CR LF";
    EXPECT_EQ(IniValue(file.bytes, "LANGUAGE", "LANGUAGE", kAbsent) + ".lng", name) << "names its own file";
    // One line per text: a second line for a key would be silently ignored.
    EXPECT_EQ(std::ranges::count(file.bytes, '='), std::ssize(texts::kAllTexts)) << name;
    for (const LanguageText& text : texts::kAllTexts) {
      const std::string context = name + " " + std::string(text.section) + "/" + std::string(text.key);
      const std::string value = IniValue(file.bytes, text.section, text.key, kAbsent);
      ASSERT_NE(value, kAbsent) << context;
      EXPECT_FALSE(value.empty()) << context;
      if (name == "english.lng" && text.key != "LANGUAGE") {
        EXPECT_EQ(value, text.defaultText) << context;
      }
      EXPECT_EQ(placeholderKinds(value), placeholderKinds(text.defaultText)) << context << ": " << value;
    }
  }
  EXPECT_GE(files, 3) << "English and at least two translations";
}

}  // namespace
}  // namespace zelk::language
