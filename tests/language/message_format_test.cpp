#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

#include "language/message_format.h"
#include "language/texts.h"

namespace zelk::language {
namespace {

using namespace std::string_literals;

TEST(FormatTemplate, DefaultTextsWithTheirArguments) {
  EXPECT_EQ(formatTemplate(texts::WinCrcExist.defaultText, {"Music.sfv"s}),
            "File \"Music.sfv\" is exit. Overwrite it?");
  EXPECT_EQ(formatTemplate(texts::FileCrcError.defaultText, {"a b\\c.txt"s, "File was delete"s}),
            "FILE: a b\\c.txt CRC ERROR. File was modified, check it.  File was delete");
  EXPECT_EQ(formatTemplate(texts::FileCrcError.defaultText, {"x"s, ""s}),
            "FILE: x CRC ERROR. File was modified, check it.  ");
  EXPECT_EQ(formatTemplate(texts::FileCrcOk.defaultText, {"notes.txt"s}), "FILE: notes.txt CRC OK.");
  EXPECT_EQ(formatTemplate(texts::FileChecked.defaultText, {std::int64_t{12}}), "Files checked: 12");
  EXPECT_EQ(formatTemplate(texts::FileModi.defaultText, {std::int64_t{3}, std::int64_t{1}}),
            "Files modified: 3  --> File's delete:1");
  EXPECT_EQ(formatTemplate(texts::FileCheckedOk.defaultText, {std::int64_t{0}}), "Files CRC OK: 0");
  EXPECT_EQ(formatTemplate(texts::ResultSave.defaultText, {"\r\n"s, "/home/me/music"s}),
            "Result.txt you can found here: \r\n/home/me/music");
}

TEST(FormatTemplate, ConversionsFlagsAndSurplus) {
  const std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
  const struct {
    const char* templateText;
    std::initializer_list<TemplateArgument> arguments;
    const char* result;
  } cases[] = {
      {"FILE: %s CRC OK.", {"a"s, "surplus"s, std::int64_t{5}}, "FILE: a CRC OK."},
      {"Checksum create is finish", {"unused"s}, "Checksum create is finish"},
      {"no placeholders", {}, "no placeholders"},
      {"100%% done, %d%%", {std::int64_t{50}}, "100% done, 50%"},
      {"%%s stays", {}, "%s stays"},
      {"[%-5s]", {"ab"s}, "[ab   ]"},
      {"[%5s]", {"ab"s}, "[   ab]"},
      {"[%.3s]", {"abcdef"s}, "[abc]"},
      {"[%6.3s]", {"abcdef"s}, "[   abc]"},
      {"[%1s]", {"abc"s}, "[abc]"},
      {"[%5d]", {std::int64_t{42}}, "[   42]"},
      {"[%-5d]", {std::int64_t{42}}, "[42   ]"},
      {"[%.5d]", {std::int64_t{42}}, "[00042]"},
      {"[%.5d]", {std::int64_t{-42}}, "[-00042]"},
      {"[%d]", {kMin}, "[-9223372036854775808]"},
      {"[%S|%D]", {"up"s, std::int64_t{7}}, "[up|7]"},
      {"%s%s", {"%d"s, "%s"s}, "%d%s"},
  };
  for (const auto& c : cases) EXPECT_EQ(formatTemplate(c.templateText, c.arguments), c.result) << c.templateText;
}

TEST(FormatTemplate, BadTemplatesRaiseTemplateError) {
  const struct {
    const char* templateText;
    std::initializer_list<TemplateArgument> arguments;
  } cases[] = {
      {"Files modified: %d  --> File's delete:%d", {std::int64_t{1}}},
      {"FILE: %s", {}},
      {"Files checked: %d", {"twelve"s}},
      {"FILE: %s CRC OK.", {std::int64_t{12}}},
      {"%q", {"x"s}},
      {"%x", {std::int64_t{255}}},
      {"50%", {}},
      {"50%-", {"x"s}},
      {"%5.", {"x"s}},
      {"%99999999999999999999999s", {"x"s}},
  };
  for (const auto& c : cases) {
    try {
      formatTemplate(c.templateText, c.arguments);
      ADD_FAILURE() << "no error for " << c.templateText;
    } catch (const TemplateError& error) {
      EXPECT_NE(std::string(error.what()).find(c.templateText), std::string::npos) << error.what();
    }
  }
}

TEST(PlaceholderKinds, LettersInOrderAndErrorsForUnfillableTemplates) {
  const std::pair<const char*, const char*> cases[] = {
      {"Checksum create is finish", ""},
      {"Files modified: %d  --> File's delete:%d", "dd"},
      {"FILE: %-10s CRC %5D. %.3S", "sds"},
      {"100%% of %s", "s"},
      {"", ""},
  };
  for (const auto& [templateText, kinds] : cases) EXPECT_EQ(placeholderKinds(templateText), kinds) << templateText;
  for (const char* bad : {"%q", "50%", "%5."}) EXPECT_THROW(placeholderKinds(bad), TemplateError) << bad;
}

}  // namespace
}  // namespace zelk::language
