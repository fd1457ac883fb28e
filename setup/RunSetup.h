// The run of the setup, from the catalogue to the exit code.
#pragma once

#include "setup/Application.h"
#include "setup/CommandLine.h"
#include "setup/ExitCodes.h"

#include <windows.h>

#include <functional>

namespace qwp {

extern const char kPayloadDamagedMessage[];
// Followed by the reason, when an unexpected error ends the run.
extern const char kSetupFailedMessage[];
// The second run's message while another setup of the product runs.
extern const char kAlreadyRunningMessage[];

// Runs the setup and ends the process with the run's exit code.
[[noreturn]] void RunSetup(HINSTANCE instance);

// Runs the body and gives its exit code. An exception that escapes it ends
// the run as failed (kExitSetupFailed): the run log's last line names the
// reason and, in the wizard's mode only, one error message tells the user.
int RunReportingFailure(Application& application, const SetupOptions& options, const std::function<int()>& run);

}  // namespace qwp
