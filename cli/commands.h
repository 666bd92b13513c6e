#pragma once
// The subcommands of zelk-sfv. Each takes the arguments after its name and
// returns the process exit status; an unexpected failure is thrown on to
// main, which reports it and ends with status 2.

#include <string>
#include <vector>

namespace zelk::cli {

// 0: list written; 1: the user declined to overwrite; 2: bad usage or failure.
int runCreateCommand(const std::vector<std::string>& arguments);

// 0: every entry intact; 1: an entry modified or missing; 2: no list, bad
// usage, or failure.
int runVerifyCommand(const std::vector<std::string>& arguments);

}  // namespace zelk::cli
