// The run of the setup, from the catalogue to the exit code.
#pragma once

#include <windows.h>

namespace qwp {

// Exit codes of the setup program.
constexpr int kExitSuccess = 0;
constexpr int kExitPayloadDamaged = 2;

extern const char kPayloadDamagedMessage[];

int RunSetup(HINSTANCE instance);

}  // namespace qwp
