// A language file of any bytes: every text the program looks up is read from
// it and, where the default is a template, filled as the program fills it. A
// template that does not fit its arguments must end in TemplateError, never
// in a crash, a leak or a hang.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "language/ini_lookup.h"
#include "language/message_format.h"
#include "language/texts.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view contents(reinterpret_cast<const char*>(data), size);
  for (const zelk::language::LanguageText& text : zelk::language::texts::kAllTexts) {
    const std::string defaultText(text.defaultText);
    const std::string value = zelk::language::IniValue(contents, text.section, text.key, defaultText);
    if (value.size() > zelk::language::kMaxTextLength && value != defaultText) std::abort();
    try {
      // The arguments the program passes to its templates: texts, numbers, both.
      zelk::language::formatTemplate(value, {std::string("name.txt"), std::string("  ---> File was delete")});
      zelk::language::formatTemplate(value, {std::int64_t{3}, std::int64_t{-1}});
      zelk::language::formatTemplate(value, {std::string("\r\n"), std::string("/folder")});
    } catch (const zelk::language::TemplateError&) {
      // A translation that does not fit: the program reports it.
    }
  }
  return 0;
}
