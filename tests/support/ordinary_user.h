#pragma once
// Permissions do not bind root, and the tests usually run as root.

#include <functional>

namespace zelk::testing {

// Runs `body` as an ordinary user: in a child process that has become
// "nobody" when the tests run as root, directly otherwise. True when `body`
// returned true. The folders it uses must be open to that user.
bool asOrdinaryUser(const std::function<bool()>& body);

}  // namespace zelk::testing
