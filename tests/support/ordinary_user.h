#pragma once
// Permissions do not bind root, and the tests usually run as root.

#include <functional>
#include <string>

#include "tests/support/scoped_environment.h"
#include "tests/support/temp_folder.h"

namespace zelk::testing {

// Runs `body` as an ordinary user: in a child process that has become
// "nobody" when the tests run as root, directly otherwise. True when `body`
// returned true. The folders it uses must be open to that user.
bool asOrdinaryUser(const std::function<bool()>& body);

// A copy of the program at `program` that the ordinary user can run: the
// build folder of a checkout in a private home folder is beyond its reach.
// The copy lies in a temporary folder open to that user, removed with this
// object. While it lives, LSAN_OPTIONS names a copy of the leak suppressions
// file it names, for the same reason.
class ReachableProgram {
 public:
  explicit ReachableProgram(const std::string& program);

  // The copy's path.
  const std::string& path() const { return path_; }
  // Why the ordinary user still cannot run the copy, for a skip message;
  // empty when it can.
  const std::string& problem() const { return problem_; }

 private:
  // `options` with its suppressions file replaced by a copy in folder_.
  std::string withReachableSuppressions(const std::string& options);

  TempFolder folder_;
  ScopedEnvironment environment_;
  std::string path_;
  std::string problem_;
};

}  // namespace zelk::testing
