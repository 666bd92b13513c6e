#include "listfile/date_stamp.h"

#include <string>

namespace zelk::listfile {

std::string DateStamp(const std::tm& localTime) {
  // Only the afternoon hours 13 to 23 are folded; noon keeps "AM" and
  // midnight stays hour 0, as the lists in circulation have it.
  const int hour = localTime.tm_hour > 12 ? localTime.tm_hour - 12 : localTime.tm_hour;
  const char* const half = localTime.tm_hour > 12 ? " PM" : " AM";
  return std::to_string(localTime.tm_mon + 1) + "/" + std::to_string(localTime.tm_mday) + "/" +
         std::to_string(localTime.tm_year + 1900) + "  " + std::to_string(hour) + ":" +
         std::to_string(localTime.tm_min) + ":" + std::to_string(localTime.tm_sec) + half;
}

std::string DateStamp() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  ::localtime_r(&now, &local);
  return DateStamp(local);
}

}  // namespace zelk::listfile
