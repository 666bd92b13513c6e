#include "passes/pass_progress.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace zelk::passes {

std::string timeLeftText(double seconds) {
  // Rounded up: a pass still running never claims "0:00 left".
  const auto whole = static_cast<long long>(std::ceil(std::max(seconds, 0.0)));
  char text[32];
  if (whole >= 3600) {
    std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", whole / 3600, whole / 60 % 60, whole % 60);
  } else {
    std::snprintf(text, sizeof text, "%lld:%02lld", whole / 60, whole % 60);
  }
  return text;
}

}  // namespace zelk::passes
