#include "language/texts.h"

#include "language/active_language.h"

namespace zelk::language {

std::string translated(const LanguageText& text) {
  return activeLanguageText(std::string(text.section), std::string(text.key), std::string(text.defaultText));
}

}  // namespace zelk::language
