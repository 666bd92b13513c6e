#pragma once
// The folders a language lookup reads, pointed at fresh temporary folders for
// one test: the program folder (language.lng, language/) and the user's
// configuration folder. No language file of the machine or its user leaks in.

#include <string>

#include "platform/directory.h"
#include "tests/support/scoped_environment.h"
#include "tests/support/temp_folder.h"

namespace zelk::testing {

class LanguageFolders {
 public:
  LanguageFolders() {
    platform::setProgramFolderForTesting(program_.path());
    environment_.set("XDG_CONFIG_HOME", userConfig_.path());
  }
  ~LanguageFolders() { platform::setProgramFolderForTesting(""); }
  LanguageFolders(const LanguageFolders&) = delete;
  LanguageFolders& operator=(const LanguageFolders&) = delete;

  // The program folder, for language.lng and language/*.lng.
  const TempFolder& program() const { return program_; }
  // $XDG_CONFIG_HOME; the user's language file is below it.
  const TempFolder& userConfig() const { return userConfig_; }
  static constexpr const char* kUserLanguageFile = "zelk-sfv-utility/language.lng";

 private:
  TempFolder program_;
  TempFolder userConfig_;
  ScopedEnvironment environment_;
};

}  // namespace zelk::testing
