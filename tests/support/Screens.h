// Where the end-to-end tests keep their pictures of what a user saw, and the
// screen resolution Wine gives the programs they start.
#pragma once

#include <windows.h>

#include <string>

namespace qwp::test {

// "win32" or "win64": the build this test program belongs to.
std::string ArchName();

// screens/<scenario>/<arch>/ beside this architecture's build folder, and
// below it <dpi>dpi/ when a dpi is given; made when missing, with a
// trailing backslash.
std::string ScreensFolder(const std::string& scenario, int dpi = 0);

// The DPI that Wine gives processes started from now on.
bool SetSystemDpi(DWORD dpi);

}  // namespace qwp::test
