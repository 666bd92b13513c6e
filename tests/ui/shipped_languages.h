#pragma once
// The language files the program ships, for tests of captions that must show
// whole in every language.

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace zelk::testing {

// The text of data/language/`name`.
inline std::string shippedLanguage(const std::string& name) {
  std::ifstream file(std::string(ZELK_SHIPPED_LANGUAGE_FOLDER) + name, std::ios::binary);
  EXPECT_TRUE(file.good()) << name;
  std::ostringstream contents;
  contents << file.rdbuf();
  return contents.str();
}

// The built-in English texts (no language file) and every shipped language.
inline std::vector<std::string> shippedLanguageFiles() {
  return {"", shippedLanguage("english.lng"), shippedLanguage("german.lng"), shippedLanguage("french.lng")};
}

}  // namespace zelk::testing
