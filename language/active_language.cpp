#include "language/active_language.h"

#include "language/ini_lookup.h"
#include "platform/directory.h"
#include "platform/files.h"
#include "platform/pending_file.h"
#include "platform/user_folders.h"

namespace zelk::language {
namespace {

constexpr const char* kActiveFileName = "language.lng";

}  // namespace

std::string userLanguageFile() { return platform::userConfigFolder() + kActiveFileName; }

std::string programLanguageFile() { return platform::programFolder() + kActiveFileName; }

std::string activeLanguageText(const std::string& section, const std::string& key, const std::string& defaultText) {
  for (const std::string& path : {userLanguageFile(), programLanguageFile()}) {
    const platform::FileContents contents = platform::readWholeFile(path);
    if (contents.status == platform::FileReadStatus::Ok) return IniValue(contents.bytes, section, key, defaultText);
  }
  return defaultText;
}

std::string offeredLanguageFolder() { return platform::programFolder() + "language/"; }

std::string offeredLanguageFile(const std::string& name) { return offeredLanguageFolder() + name + ".lng"; }

bool installLanguage(const std::string& name) {
  // Only an entry of the language folder itself is offered.
  if (name.empty() || name.find('/') != std::string::npos) return false;
  const platform::FileContents source = platform::readWholeFile(offeredLanguageFile(name));
  if (source.status != platform::FileReadStatus::Ok) return false;
  if (!platform::makeUserFolder(platform::userConfigFolder())) return false;
  platform::PendingFile target(userLanguageFile());
  target.write(source.bytes.data(), source.bytes.size());
  return target.commit();
}

}  // namespace zelk::language
