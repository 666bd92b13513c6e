#pragma once
// The date text of a list header: month/day/year, two blanks, hour:minute:second,
// a blank and AM or PM; no leading zeros. Hours 0 to 12 keep their number and
// take "AM" (12:30 is "12:30:0 AM"): lists written so for years rely on it.

#include <ctime>
#include <string>

namespace zelk::listfile {

std::string DateStamp(const std::tm& localTime);

// The current local date and time.
std::string DateStamp();

}  // namespace zelk::listfile
