#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "listfile/date_stamp.h"

namespace zelk::listfile {
namespace {

std::tm at(int year, int month, int day, int hour, int minute, int second) {
  std::tm t{};
  t.tm_year = year - 1900;
  t.tm_mon = month - 1;
  t.tm_mday = day;
  t.tm_hour = hour;
  t.tm_min = minute;
  t.tm_sec = second;
  return t;
}

TEST(DateStamp, NoLeadingZerosAndTheOldHourRule) {
  const struct {
    std::tm time;
    const char* text;
  } cases[] = {
      {at(2004, 3, 7, 21, 5, 12), "3/7/2004  9:5:12 PM"},
      {at(2004, 3, 7, 12, 30, 0), "3/7/2004  12:30:0 AM"},
      {at(2004, 12, 25, 0, 5, 9), "12/25/2004  0:5:9 AM"},
      {at(2026, 12, 7, 15, 4, 5), "12/7/2026  3:4:5 PM"},
      {at(1999, 1, 1, 11, 59, 59), "1/1/1999  11:59:59 AM"},
      {at(2000, 2, 29, 13, 0, 0), "2/29/2000  1:0:0 PM"},
      {at(2010, 10, 31, 23, 59, 59), "10/31/2010  11:59:59 PM"},
      {at(12345, 6, 15, 0, 0, 0), "6/15/12345  0:0:0 AM"},
  };
  for (const auto& c : cases) EXPECT_EQ(DateStamp(c.time), c.text);
}

TEST(DateStamp, NowHasTheShape) {
  const std::regex shape(
      R"(([1-9]|1[0-2])/([1-9]|[12][0-9]|3[01])/[0-9]{4,}  ([0-9]|1[0-2]):[1-5]?[0-9]:[1-6]?[0-9] (AM|PM))");
  const std::string now = DateStamp();
  EXPECT_TRUE(std::regex_match(now, shape)) << now;
}

}  // namespace
}  // namespace zelk::listfile
