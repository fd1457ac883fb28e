// An install without the wizard, for packagers and administrators ("/S" and
// "/P"): the stored choices or their defaults, the licence taken as
// accepted, no question asked and nothing launched at the end. Where the
// wizard would ask, the run decides and tells by its exit code. The work
// itself is the install session's, the same steps the wizard moves through.
#pragma once

#include "session/InstallSession.h"
#include "setup/CommandLine.h"

#include <windows.h>

namespace qwp {

// Runs the install through the session for the command line's options and
// returns the exit code (setup/ExitCodes.h). With RunMode::Progress a
// progress window owned by owner shows the copies; no other window ever
// shows.
int RunUnattended(InstallSession& session, const SetupOptions& options, HWND owner);

}  // namespace qwp
