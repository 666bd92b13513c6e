#pragma once
// Per-user folders of the XDG base directories. An installed program folder is
// not writable by its users, so what the program keeps per user lives here.

#include <string>

namespace zelk::platform {

// The program's folder below $XDG_STATE_HOME (default ~/.local/state), ending
// in '/': logs and other state that outlives a run but is no setting. The
// folder itself may not exist yet.
std::string userStateFolder();

// The program's folder below $XDG_CONFIG_HOME (default ~/.config), ending in
// '/': the user's settings. The folder itself may not exist yet.
std::string userConfigFolder();

// Creates `folder` and its missing parents, each new one readable by its
// owner only. True when the folder exists afterwards.
bool makeUserFolder(const std::string& folder);

}  // namespace zelk::platform
