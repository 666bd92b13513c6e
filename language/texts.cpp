#include "language/texts.h"

#include "language/ini_lookup.h"

namespace zelk::language {

std::string lookup(const LanguageText& text) {
  return Ini_lese(std::string(text.section), std::string(text.key), std::string(text.defaultText));
}

}  // namespace zelk::language
