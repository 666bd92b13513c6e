#include "listfile/entry_style.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "listfile/list_writer.h"
#include "tests/support/temp_folder.h"

namespace zelk::listfile {
namespace {

using zelk::testing::TempFolder;

const std::string kMd5 = "900150983cd24fb0d6963f7d28e17f72";
const std::string kSha1 = "a9993e364706816aba3e25717850c26c9cd0d89d";

EntryStyle styleOf(const std::string& listName, const std::string& text) {
  const ListDialect* dialect = DialectOfListName(listName);
  struct Finder final : ListVisitor {
    Finder(const std::string& t, ChecksumKind kind) : finder(t, kind) {}
    void creatorLine(const std::string&) override {}
    void commentLine(const std::string&) override {}
    void entry(const ListEntry& entry) override { finder.take(entry); }
    ListStyleFinder finder;
  } visitor(text, dialect->kind);
  readList(text, {ChecksumMode::Automatic, dialect}, visitor);
  return visitor.finder.style();
}

// The last entry of `text`, as "expected|name".
std::string lastEntry(const std::string& listName, const std::string& text) {
  struct Last final : ListVisitor {
    void creatorLine(const std::string&) override {}
    void commentLine(const std::string&) override {}
    void entry(const ListEntry& entry) override { last = std::string(entry.expected) + "|" + std::string(entry.name); }
    std::string last;
  } visitor;
  readList(text, {ChecksumMode::Automatic, DialectOfListName(listName)}, visitor);
  return visitor.last;
}

// A list as other tools and we write it, the style read from it, and the
// line an added entry ("new/file.txt", the digest of "abc") gets; that line
// reads back as it was written.
TEST(ListStyleFinder, AddedEntriesLookLikeTheListsOwn) {
  const struct {
    const char* label;
    const char* listName;
    std::string text;
    std::string added;
  } cases[] = {
      {"ours, sfv", "a.sfv", "; c\r\nx.txt 0a1b2c3d\r\nsub\\y.txt 01234567\r\n", "new\\file.txt 352441c2\r\n"},
      {"cksfv, upper case, slashes", "a.sfv", "sub/x.txt 0A1B2C3D\n", "new/file.txt 352441C2\n"},
      {"digits only tell no case", "a.sfv", "x 01234567\r\nY 0A1B2C3D\r\n", "new\\file.txt 352441C2\r\n"},
      {"tab before the checksum", "a.sfv", "x.txt\t0a1b2c3d\r\n", "new\\file.txt\t352441c2\r\n"},
      {"ours, md5", "a.md5", kMd5 + " x\r\n", kMd5 + " new\\file.txt\r\n"},
      {"md5sum binary", "a.md5", kMd5 + " *x\n", kMd5 + " *new\\file.txt\n"},
      {"md5sum tagged", "a.md5", "MD5 (x) = " + kMd5 + "\n", "MD5 (new\\file.txt) = " + kMd5 + "\n"},
      {"sha1sum", "a.sha1", kSha1 + "  x\n", kSha1 + "  new/file.txt\n"},
      {"tag as the list spells it", "A.SHA1", "sha1 (x) = " + kSha1 + "\r\n", "sha1 (new/file.txt) = " + kSha1 + "\r\n"},
      {"windows sha1, backslashes", "a.sha1", kSha1 + " *d\\x\r\n", kSha1 + " *new\\file.txt\r\n"},
      {"escaped first line", "a.sha1", "\\" + kSha1 + "  a\\\\b\n", kSha1 + "  new/file.txt\n"},
      {"no entry: the dialect's", "a.sha1", "# c\n", kSha1 + "  new/file.txt\n"},
      {"an empty list", "a.sfv", "", "new\\file.txt 352441c2\r\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    const EntryStyle style = styleOf(c.listName, c.text);
    TempFolder temp;
    ListWriter writer(style.kind, temp.path() + "list");
    writer.setEntryStyle(style);
    writer.writeVerbatim(c.text);
    std::string name = "new/file.txt";
    for (char& ch : name) ch = ch == '/' ? style.folderSeparator : ch;
    writer.writeEntry(name, style.kind == ChecksumKind::Crc32 ? "352441c2" : style.kind == ChecksumKind::Md5 ? kMd5 : kSha1);
    ASSERT_TRUE(writer.commit());
    const std::string written = temp.read("list");
    ASSERT_EQ(written.substr(0, c.text.size()), c.text);
    EXPECT_EQ(written.substr(c.text.size()), c.added);
    const std::string last = lastEntry(c.listName, written);
    EXPECT_EQ(last.substr(last.find('|') + 1), name);
  }
}

TEST(ListWriter, AnEntryAfterALastLineWithoutLineEndStartsItsOwnLine) {
  TempFolder temp;
  ListWriter writer(ChecksumKind::Sha1, temp.path() + "a.sha1");
  writer.setEntryStyle(styleOf("a.sha1", kSha1 + "  x\r\n"));
  writer.writeVerbatim(kSha1 + "  x");
  writer.writeEntry("back\\slash", kSha1);
  ASSERT_TRUE(writer.commit());
  EXPECT_EQ(temp.read("a.sha1"), kSha1 + "  x\r\n\\" + kSha1 + "  back\\\\slash\r\n");
}

TEST(CanHoldName, ByTheStyleTheEntryIsWrittenIn) {
  EntryStyle md5 = DialectStyle(ChecksumKind::Md5);
  EntryStyle md5sum = md5;
  md5sum.separator = "  ";
  EntryStyle tagged = md5;
  tagged.tag = "MD5";
  EntryStyle sha1 = DialectStyle(ChecksumKind::Sha1);
  EntryStyle windowsSha1 = sha1;
  windowsSha1.folderSeparator = '\\';
  windowsSha1.escapesNames = false;
  const struct {
    const EntryStyle* style;
    const char* name;
    bool holds;
  } cases[] = {
      {&md5, " lead", false},      {&md5sum, " lead", true},          {&tagged, "*star", true},
      {&md5, "a\\b", false},       {&sha1, "a\\b", true},             {&windowsSha1, "a\\b", false},
      {&sha1, "line\nfeed", true}, {&windowsSha1, "line\nfeed", false}, {&sha1, "cr\r", false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(canHoldName(*c.style, c.name), c.holds) << ::testing::PrintToString(std::string(c.name));
  }
}

}  // namespace
}  // namespace zelk::listfile
