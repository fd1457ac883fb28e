// Starting a program as the desktop's user rather than as the setup. The
// setup runs with administrator rights; a program it starts itself would
// have them too, with everything it opens and saves. The desktop's shell
// runs with the rights the user logged on with, and starts the program for
// us when asked through its automation objects.
#pragma once

#include <windows.h>

#include <string>

namespace qwp {

// True when this process's token is elevated (administrator rights, raised
// by the UAC prompt or held by an administrator without UAC). False where
// the question cannot be asked.
bool ProcessIsElevated();

enum class ShellStartResult {
    Started,
    NoShell,   // no desktop shell answered (nobody logged on, another shell)
    Refused,   // the shell answered but did not start it
    TimedOut,  // no answer in time; the request is given up
};

// How long the setup waits for the desktop's shell.
constexpr DWORD kShellStartMilliseconds = 10000;

// Asks the desktop's shell to start the program in the folder, with no
// arguments, on a thread of its own; waits up to the time given, answering
// messages sent to the caller's windows meanwhile. Only the shell's own
// success is Started: nothing is ever started from this process instead.
ShellStartResult StartThroughDesktopShell(const std::string& program, const std::string& folder,
                                          DWORD milliseconds = kShellStartMilliseconds);

// What the run log says of each result.
const char* ShellStartText(ShellStartResult result);

}  // namespace qwp
