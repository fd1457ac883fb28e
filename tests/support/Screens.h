// Where the end-to-end tests keep their pictures of what a user saw, whether
// this run takes any, and the screen resolution Wine gives the programs they
// start.
#pragma once

#include <windows.h>

#include <string>

namespace qwp::test {

// True when this run was asked for pictures (QWP_SCREENS=1). Only then do the
// tests wait for a window to paint and keep a picture of it; otherwise they
// take none and check nothing about pictures.
bool ScreensWanted();

// "win32" or "win64": the build this test program belongs to.
std::string ArchName();

// screens/<scenario>/<arch>/ beside this architecture's build folder, and
// below it <dpi>dpi/ when a dpi is given, with a trailing backslash; made
// when missing and pictures are wanted.
std::string ScreensFolder(const std::string& scenario, int dpi = 0);

// Keeps a picture of what the screen shows of the window (frame included) at
// the path given, once the window has painted when settle is true (a window
// that is busy is taken as it is); nothing when no pictures are wanted.
void KeepWindowPicture(HWND window, const std::string& pngPath, bool settle = true);
// The same for the whole screen, for what lies outside a window (a dropped
// list, a message over the wizard), once it has stopped changing.
void KeepScreenPicture(const std::string& pngPath);

// The DPI that Wine gives processes started from now on.
bool SetSystemDpi(DWORD dpi);

}  // namespace qwp::test
