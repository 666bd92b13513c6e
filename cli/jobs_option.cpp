#include "cli/jobs_option.h"

#include <charconv>

namespace zelk::cli {

bool takeJobsOption(const std::vector<std::string>& arguments, std::size_t& i, int& jobs) {
  const std::string& argument = arguments[i];
  std::string value;
  if (argument == "--jobs") {
    if (i + 1 < arguments.size()) value = arguments[++i];
  } else if (argument.starts_with("--jobs=")) {
    value = argument.substr(7);
  } else {
    return false;
  }
  int count = 0;
  const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), count);
  const bool whole = error == std::errc() && end == value.data() + value.size();
  jobs = whole && count >= 1 && count <= 1000 ? count : 0;
  return true;
}

}  // namespace zelk::cli
