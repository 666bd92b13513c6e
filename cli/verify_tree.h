#pragma once
// zelk-sfv verify -r: every list below a folder, each checked against its
// own folder.

#include <stop_token>
#include <string>

#include "cli/verify_output.h"

namespace zelk::cli {

// Checks every list of a kind we read (by its name) in `folder` and its
// subfolders, in the order create walks them (hidden folders and links to
// folders are not entered), each as a single verify checks it; `output`
// names each list relative to `folder` and gives the totals. A stop ends
// the run after the entries checked so far. Returns the exit status: 0
// every entry intact, 1 some entry not, 2 no list found, or a list or
// folder that could not be read; kInterrupted when stopped.
int verifyTree(const std::string& folder, int jobs, VerifyOutput& output, const std::stop_token& stop);

}  // namespace zelk::cli
