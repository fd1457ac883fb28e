// The command line this process was started with, read from the UTF-16 text
// Windows keeps and turned into the ANSI code page one argument at a time.
#pragma once

#include "setup/CommandLine.h"

namespace qwp {

// GetCommandLineW turned into ANSI without best fit (WC_NO_BEST_FIT_CHARS),
// each character that has no exact form as kNoAnsiForm, then split and read
// (setup/CommandLine.h).
SetupOptions ReadProcessCommandLine();

}  // namespace qwp
