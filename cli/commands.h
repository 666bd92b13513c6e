#pragma once
// The subcommands of zelk-sfv. Each takes the arguments after its name and
// returns the process exit status; an unexpected failure is thrown on to
// main, which reports it and ends with status 2.

#include <string>
#include <vector>

namespace zelk::cli {

// A pass stopped by Ctrl+C ends with the status a shell gives a command that
// SIGINT ended.
inline constexpr int kInterrupted = 130;

// 0: every file found is listed; 1: the list was written but files were left
// out, or the user declined to overwrite; 2: bad usage or failure;
// kInterrupted: stopped by Ctrl+C, nothing written.
int runCreateCommand(const std::vector<std::string>& arguments);

// 0: every entry intact; 1: an entry modified, missing or unreadable; 2: no
// list, a list that cannot be read, bad usage, or failure; kInterrupted:
// stopped by Ctrl+C after the entries checked so far.
int runVerifyCommand(const std::vector<std::string>& arguments);

}  // namespace zelk::cli
