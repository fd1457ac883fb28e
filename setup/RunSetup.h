// The run of the setup, from the catalogue to the exit code.
#pragma once

#include "setup/ExitCodes.h"

#include <windows.h>

namespace qwp {

extern const char kPayloadDamagedMessage[];

int RunSetup(HINSTANCE instance);

}  // namespace qwp
