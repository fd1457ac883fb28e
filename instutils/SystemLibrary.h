// Loading DLLs at run time from the system folder only.
//
// A setup is usually started from a download folder, where anyone may have
// left a DLL with the name of a system library. Windows would load such a
// planted DLL in place of the real one, so the program restricts the search
// before anything else runs, and every library it loads by name comes from
// the system folder by its full path.
#pragma once

#include <windows.h>

namespace qwp {

// Removes the program's folder and the current directory from the DLL search
// for the rest of the process. Must be the first thing the program does.
void RestrictDllSearchToSystem();

// Loads a library from the system folder by its full path; NULL when it is
// not there. The caller decides whether to free it.
HMODULE LoadSystemLibrary(const char* fileName);

}  // namespace qwp
