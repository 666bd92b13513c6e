#pragma once
// The whole command-line tool but its process set-up, so that it can be
// linked into other programs and tests.

#include <string>
#include <vector>

namespace zelk::cli {

// Runs zelk-sfv with `arguments` (those after the program name) and returns
// its exit status: usage on standard error and 2 for none; every failure it
// throws (standard output that cannot be written among them) ends the run
// with a message and status 2.
int runTool(const std::vector<std::string>& arguments);

}  // namespace zelk::cli
