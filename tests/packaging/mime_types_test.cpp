// The installed MIME types, compiled by update-mime-database as the system's
// triggers do: the database file managers read gives every list kind its type.

#include <fnmatch.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <set>
#include <sstream>
#include <string>

#include "tests/cli/tool_runner.h"
#include "tests/packaging/install_tree.h"

namespace {

using zelk::testing::runTool;
using zelk::testing::ToolResult;

const std::set<std::string> kListTypes = {"text/x-sfv",    "text/x-md5",    "text/x-sha1",  "text/x-sha256",
                                          "text/x-sha512", "text/x-blake3", "text/x-xxh128"};

std::string contents(const std::string& path) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

std::string lowercase(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
  return text;
}

class MimeDatabase : public zelk::testing::InstallTree {
 protected:
  // Compiled with the prefix among the data folders, as an installed system
  // has it, so that any message is about our file.
  void SetUp() override {
    if (::access("/usr/bin/update-mime-database", X_OK) != 0) GTEST_SKIP() << "shared-mime-info is not installed";
    const ToolResult update =
        runTool({"-c", "XDG_DATA_DIRS=\"$1/share\" exec /usr/bin/update-mime-database \"$1/share/mime\"", "sh",
                 installed("")},
                "/", "/bin/sh");
    ASSERT_EQ(update.status, 0) << update.err;
    ASSERT_EQ(update.out + update.err, "");
  }

  // The types whose globs match `name`, as GLib's lookup reads globs2
  // ("weight:type:pattern[:flags]"; patterns without "cs" ignore case).
  static std::set<std::string> typesOf(const std::string& name) {
    std::set<std::string> types;
    std::stringstream globs(contents(installed("share/mime/globs2")));
    for (std::string line; std::getline(globs, line);) {
      if (line.empty() || line.front() == '#') continue;
      std::stringstream fields(line);
      std::string weight, type, pattern, flags;
      std::getline(fields, weight, ':');
      std::getline(fields, type, ':');
      std::getline(fields, pattern, ':');
      std::getline(fields, flags);
      const bool caseSensitive = flags.find("cs") != std::string::npos;
      const std::string subject = caseSensitive ? name : lowercase(name);
      if (::fnmatch(pattern.c_str(), subject.c_str(), 0) == 0) types.insert(type);
    }
    return types;
  }
};

TEST_F(MimeDatabase, EveryListNameGetsItsKindsType) {
  const struct {
    const char* name;
    const char* type;  // "" for none of ours
  } cases[] = {
      {"photos.sfv", "text/x-sfv"},        {"PHOTOS.SFV", "text/x-sfv"},          {"a.md5", "text/x-md5"},
      {"a.md5sum", "text/x-md5"},          {"MD5SUMS", "text/x-md5"},             {"md5sums", "text/x-md5"},
      {"a.sha1", "text/x-sha1"},           {"a.sha1sum", "text/x-sha1"},          {"SHA1SUMS", "text/x-sha1"},
      {"a.sha256", "text/x-sha256"},       {"a.SHA256SUM", "text/x-sha256"},      {"SHA256SUMS", "text/x-sha256"},
      {"a.sha512", "text/x-sha512"},       {"a.sha512sum", "text/x-sha512"},      {"SHA512SUMS", "text/x-sha512"},
      {"a.blake3", "text/x-blake3"},       {"a.b3", "text/x-blake3"},             {"a.BK3", "text/x-blake3"},
      {"a.xxh128", "text/x-xxh128"},       {"a.xxh3-128", "text/x-xxh128"},       {"notes.txt", ""},
      {"a.xxh3", ""},                      {"MD5SUMS.txt", ""},                   {"photos.sfv.bak", ""},
  };
  for (const auto& [name, type] : cases) {
    const std::set<std::string> expected = *type == '\0' ? std::set<std::string>{} : std::set<std::string>{type};
    EXPECT_EQ(typesOf(name), expected) << name;
  }
}

TEST_F(MimeDatabase, EveryListTypeIsPlainTextWithGermanAndFrenchComments) {
  const std::string subclasses = contents(installed("share/mime/subclasses"));
  for (const std::string& type : kListTypes) {
    SCOPED_TRACE(type);
    EXPECT_NE(subclasses.find(type + " text/plain\n"), std::string::npos);
    const std::string description = contents(installed("share/mime/" + type + ".xml"));
    EXPECT_NE(description.find("checksum list</comment>"), std::string::npos);
    for (const char* language : {"de", "fr"}) {
      EXPECT_NE(description.find(std::string("<comment xml:lang=\"") + language + "\">"), std::string::npos)
          << language;
    }
  }
}

}  // namespace
