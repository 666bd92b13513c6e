#include "passes/rtf_report.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "platform/files.h"
#include "tests/support/temp_folder.h"

namespace zelk::passes {
namespace {

using zelk::testing::TempFolder;

// The document's text after the colour table, less the closing brace.
std::string bodyOf(const std::string& document) {
  const std::size_t start = document.find("\\cf1 ");
  const std::size_t end = document.rfind('}');
  if (start == std::string::npos || end == std::string::npos || end < start) return {};
  return document.substr(start + 5, end - start - 5);
}

TEST(RtfDocument, EscapesSpecialAndNonAsciiCharacters) {
  // \uN values are the UTF-16 code units of the Unicode charts, as signed
  // 16-bit numbers.
  const struct {
    const char* label;
    std::string text;
    std::string body;
  } cases[] = {
      {"plain ASCII", "FILE: a.txt CRC OK.", "FILE: a.txt CRC OK."},
      {"backslash and braces", "sub\\{x}.txt", "sub\\\\\\{x\\}.txt"},
      {"line breaks", "a\nb\r\n", "a\\par\nb\\par\n"},
      {"tab", "a\tb", "a\\tab b"},
      {"control byte", std::string("a\x01" "b"), "a\\'01b"},
      {"two-byte letter", "caf\xC3\xA9.txt", "caf\\u233\\'3f.txt"},
      {"three-byte letters", "\xE2\x82\xAC\xE4\xB8\xAD", "\\u8364\\'3f\\u20013\\'3f"},
      {"above 32767 is negative", "\xEF\xA3\xBF", "\\u-1793\\'3f"},
      {"emoji as surrogate pair", "\xF0\x9F\x98\x80", "\\u-10179\\'3f\\u-8704\\'3f"},
      {"highest code point", "\xF4\x8F\xBF\xBF", "\\u-9217\\'3f\\u-8193\\'3f"},
      // Bytes that are no UTF-8 are code page 1252, as lists from Windows are.
      {"invalid bytes", "\xFF\xFE", "\\u255\\'3f\\u254\\'3f"},
      {"overlong sequence", "\xC0\xAF", "\\u192\\'3f\\u175\\'3f"},
      {"encoded surrogate", "\xED\xA0\x80", "\\u237\\'3f\\u160\\'3f\\u8364\\'3f"},
      {"truncated at the end", "x\xE2\x82", "x\\u226\\'3f\\u8218\\'3f"},
      {"lead byte before ASCII", "\xC3" "A", "\\u195\\'3fA"},
      {"unassigned in 1252", "\x81", "\\u-3\\'3f"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    EXPECT_EQ(bodyOf(rtfDocument({{c.text, kIntactColour}})), c.body);
  }
}

TEST(RtfDocument, HoldsEachUsedColourOnceInOrderOfUse) {
  const std::string document = rtfDocument({{"ok\n", kIntactColour},
                                            {"bad\n", kFailedColour},
                                            {"ok\n", kIntactColour},
                                            {"sum\n", {12, 34, 56}}});
  EXPECT_EQ(document.rfind("{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss Arial;}}", 0), 0u);
  EXPECT_NE(document.find("{\\colortbl ;\\red0\\green128\\blue0;\\red255\\green0\\blue0;\\red12\\green34\\blue56;}"),
            std::string::npos);
  EXPECT_NE(document.find("\\cf1 ok\\par\n\\cf2 bad\\par\n\\cf1 ok\\par\n\\cf3 sum\\par\n}"), std::string::npos);
  EXPECT_NE(document.find("\\uc1"), std::string::npos);
}

TEST(RtfDocument, EmptyReportIsStillADocument) {
  const std::string document = rtfDocument({});
  EXPECT_EQ(document.rfind("{\\rtf1", 0), 0u);
  EXPECT_NE(document.find("{\\colortbl ;}"), std::string::npos);
}

// unrtf's text mode shows runs of blanks as one blank.
std::string withSingleBlanks(std::string text) {
  text.erase(std::unique(text.begin(), text.end(), [](char a, char b) { return a == ' ' && b == ' '; }), text.end());
  return text;
}

// What unrtf makes of the file in `format` ("text" or "html").
std::string unrtf(const std::string& format, const std::string& path) {
  std::FILE* pipe = ::popen(("/usr/bin/unrtf --" + format + " '" + path + "' 2>/dev/null").c_str(), "r");
  if (pipe == nullptr) return {};
  std::string output;
  char chunk[4096];
  while (const std::size_t got = std::fread(chunk, 1, sizeof chunk, pipe)) output.append(chunk, got);
  return ::pclose(pipe) == 0 ? output : std::string();
}

TEST(RtfDocument, ReadsBackWithUnrtf) {
  if (::access("/usr/bin/unrtf", X_OK) != 0) GTEST_SKIP() << "unrtf is not installed";
  TempFolder folder;
  const std::string path = folder.path() + "result.rtf";
  ASSERT_TRUE(writeRtfFile(path, {{"FILE: a{b}\\c.txt CRC OK.\n", kIntactColour},
                                  {"FILE: caf\xC3\xA9.txt \xF0\x9F\x98\x80 CRC ERROR.  ---> gone\n", kFailedColour},
                                  {" \n", kFailedColour},
                                  {"Files checked: 2\n", kFailedColour}}));

  // Text mode prints the fallback '?' for every \uN it meets.
  std::istringstream text(unrtf("text", path));
  std::vector<std::string> lines;
  bool inText = false;
  for (std::string line; std::getline(text, line);) {
    if (inText) lines.push_back(withSingleBlanks(line));
    else if (line.starts_with("-----")) inText = true;
  }
  while (!lines.empty() && lines.back().empty()) lines.pop_back();
  EXPECT_EQ(lines, (std::vector<std::string>{"FILE: a{b}\\c.txt CRC OK.", "FILE: caf?.txt ?? CRC ERROR. ---> gone", " ",
                                             "Files checked: 2"}));

  // HTML mode shows the characters themselves, and nothing after them is lost.
  const std::string html = unrtf("html", path);
  EXPECT_NE(html.find("caf&eacute;.txt &#55357;&#56832; CRC ERROR."), std::string::npos) << html;
}

TEST(WriteRtfFile, ReplacesTheFileAndTellsFailures) {
  TempFolder folder;
  const std::string path = folder.write("result.rtf", std::string(100000, 'x'));
  const std::vector<ColouredRun> runs{{"FILE: a CRC OK.\n", kIntactColour}};
  ASSERT_TRUE(writeRtfFile(path, runs));
  EXPECT_EQ(folder.read("result.rtf"), rtfDocument(runs));
  EXPECT_FALSE(writeRtfFile(folder.path() + "missing/result.rtf", runs));
  // A FIFO named like the report is neither opened nor replaced.
  const std::string fifo = folder.path() + "fifo.rtf";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_FALSE(writeRtfFile(fifo, runs));
  EXPECT_EQ(platform::fileKind(fifo), platform::FileKind::Other);
}

}  // namespace
}  // namespace zelk::passes
