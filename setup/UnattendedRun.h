// An install without the wizard, for packagers and administrators ("/S" and
// "/P"): the stored choices or their defaults, the licence taken as
// accepted, no question asked and nothing launched at the end. Where the
// wizard would ask, the run decides and tells by its exit code. The work
// itself is the wizard's: the same plan, copies, post-install actions,
// update log, stored choices, uninstall entry and Install.log.
#pragma once

#include "setup/CommandLine.h"

#include <windows.h>

#include <string>
#include <vector>

namespace qwp {

// Runs the install for the program's arguments (without its name; "-d"
// as the first one) and returns the exit code (setup/ExitCodes.h). The
// catalogue (AttachedFiles) must exist. With RunMode::Progress a progress
// window owned by owner shows the copies; no other window ever shows.
int RunUnattended(RunMode mode, const std::vector<std::string>& args, HWND owner);

}  // namespace qwp
