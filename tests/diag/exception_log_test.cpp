#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>

#include "diag/exception_log.h"
#include "platform/system_calls.h"
#include "tests/support/scoped_environment.h"
#include "tests/support/temp_folder.h"

namespace zelk::diag {
namespace {

const std::string kEquals(100, '=');

class ExceptionLogFile : public ::testing::Test {
 protected:
  std::string contents() const { return folder_.read("state/errors.log"); }

  // One entry as the report window writes it.
  void appendEntry(std::string_view date, std::string_view report) {
    log_.appendStamp(kReportWidth, date);
    log_.appendText(report);
    log_.close();
  }

  zelk::testing::TempFolder folder_;
  ExceptionLog log_{folder_.path() + "state/errors.log"};
};

TEST_F(ExceptionLogFile, EntriesFollowTheLayoutByteForByte) {
  appendEntry("12/08/26 08:39:50", "Disk full.\r\n\r\nException class: std::runtime_error\r\n");
  appendEntry("12/08/26 08:40:01", "Second.\nline two   \t\r\n");
  const std::string stamp1 = "= 12/08/26 08:39:50" + std::string(79, ' ') + " =";
  const std::string stamp2 = "= 12/08/26 08:40:01" + std::string(79, ' ') + " =";
  ASSERT_EQ(stamp1.size(), 100u);
  EXPECT_EQ(contents(), kEquals + "\r\n" + stamp1 + "\r\n" + kEquals + "\r\n" +
                            "Disk full.\r\n\r\nException class: std::runtime_error\r\n"
                            "\r\n" +
                            kEquals + "\r\n" + stamp2 + "\r\n" + kEquals + "\r\n" + "Second.\r\nline two\r\n");
  EXPECT_FALSE(log_.isOpen()) << "the log is open only while an entry is written";
}

TEST_F(ExceptionLogFile, StampWidthHasADefaultAndAMinimum) {
  const struct {
    std::size_t width;
    std::string stamp;
  } cases[] = {
      {0, kEquals + "\r\n= now" + std::string(93, ' ') + " =\r\n" + kEquals + "\r\n"},
      {10, std::string(20, '=') + "\r\n= now" + std::string(13, ' ') + " =\r\n" + std::string(20, '=') + "\r\n"},
      {20, std::string(20, '=') + "\r\n= now" + std::string(13, ' ') + " =\r\n" + std::string(20, '=') + "\r\n"},
  };
  for (const auto& test : cases) {
    const zelk::testing::TempFolder folder;
    ExceptionLog log(folder.path() + "log");
    log.appendStamp(test.width, "now");
    log.close();
    EXPECT_EQ(folder.read("log"), test.stamp) << test.width;
  }
  ExceptionLog log(folder_.path() + "long");
  log.appendStamp(20, "a date text longer than the width");
  log.close();
  EXPECT_EQ(folder_.read("long"), std::string(20, '=') + "\r\n= a date text longer than the width =\r\n" +
                                      std::string(20, '=') + "\r\n");
}

TEST_F(ExceptionLogFile, TextIsSplitAtEveryLineBreakTrimmedAndIndented) {
  log_.open();
  log_.appendText("cr\rlf\ncrlf\r\n\r\ntrailing \t\x01\r\n", 2);
  log_.close();
  EXPECT_EQ(contents(), "  cr\r\n  lf\r\n  crlf\r\n  \r\n  trailing\r\n");
}

TEST_F(ExceptionLogFile, FailuresAreSilent) {
  log_.appendText("closed log");
  EXPECT_EQ(contents(), "");

  folder_.write("blocked", "a file where the folder should be");
  ExceptionLog blocked(folder_.path() + "blocked/errors.log");
  blocked.appendStamp(0, "now");
  blocked.appendText("lost");
  EXPECT_FALSE(blocked.isOpen());

  const platform::ScopedSystemCalls restore;
  platform::systemCalls().write = [](int, const void*, size_t) -> ssize_t { return -1; };
  appendEntry("now", "not written");
  EXPECT_EQ(contents(), "");
}

TEST(DefaultLogPath, IsTheProgramsNameInTheUsersStateFolder) {
  zelk::testing::ScopedEnvironment environment;
  environment.set("XDG_STATE_HOME", "/var/state");
  EXPECT_EQ(defaultLogPath(), "/var/state/zelk-sfv-utility/test_diag_Err.log");
}

}  // namespace
}  // namespace zelk::diag
