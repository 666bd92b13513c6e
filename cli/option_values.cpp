#include "cli/option_values.h"

#include <charconv>

#include "engines/algorithm.h"
#include "listfile/list_dialect.h"
#include "passes/ordered_hashing.h"

namespace zelk::cli {

static_assert(passes::kMaxJobs == 32, "kJobsUsage names the limit");

std::optional<std::string> optionValue(const std::vector<std::string>& arguments, std::size_t& i,
                                       const std::string& name) {
  const std::string& argument = arguments[i];
  if (argument.starts_with(name + "=")) return argument.substr(name.size() + 1);
  if (argument != name) return std::nullopt;
  return i + 1 < arguments.size() ? arguments[++i] : std::string();
}

bool takeJobsOption(const std::vector<std::string>& arguments, std::size_t& i, int& jobs) {
  const std::optional<std::string> value = optionValue(arguments, i, "--jobs");
  if (!value) return false;
  int count = 0;
  const auto [end, error] = std::from_chars(value->data(), value->data() + value->size(), count);
  const bool whole = error == std::errc() && end == value->data() + value->size();
  jobs = whole && count >= 1 && count <= passes::kMaxJobs ? count : 0;
  return true;
}

std::string algorithmNames() {
  const auto algorithms = engines::Algorithms();
  std::string names;
  for (std::size_t i = 0; i < algorithms.size(); ++i) {
    if (i > 0) names += i + 1 == algorithms.size() ? " or " : ", ";
    names += algorithms[i].optionName;
  }
  return names;
}

std::string listExtensions() {
  std::string text;
  for (const listfile::ListDialect& dialect : listfile::ListDialects()) {
    if (!text.empty()) text += ", ";
    text += dialect.extension;
  }
  return text;
}

}  // namespace zelk::cli
