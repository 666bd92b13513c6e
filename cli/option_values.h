#pragma once
// Options that take a value, "--name VALUE" or "--name=VALUE"; among them
// "--jobs N", the number of files both subcommands hash at once.

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace zelk::cli {

// The value of "--name VALUE" or "--name=VALUE" at arguments[i], empty when
// VALUE is missing; i is moved past a separate value. Nothing when
// arguments[i] is another argument.
std::optional<std::string> optionValue(const std::vector<std::string>& arguments, std::size_t& i,
                                       const std::string& name);

// Whether arguments[i] is "--jobs N" or "--jobs=N"; i is moved past a
// separate value. `jobs` gets N, or 0 when N is missing or not a whole number
// from 1 to passes::kMaxJobs, the most workers a pass runs.
bool takeJobsOption(const std::vector<std::string>& arguments, std::size_t& i, int& jobs);

// The option names of every algorithm, "crc32, md5, ..." with an "or" before the last.
std::string algorithmNames();

// The extensions of the lists we write, ".sfv, .md5, ...", in table order.
std::string listExtensions();

inline constexpr const char* kJobsUsage = "--jobs takes a number of files to hash at once, from 1 to 32";

}  // namespace zelk::cli
