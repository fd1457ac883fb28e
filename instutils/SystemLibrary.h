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

// The system libraries that the program, or the system's own libraries on
// its behalf, may load by name after start-up (the shell's helpers, the
// network drive names, ...), and those only windows need (a delayed import
// of the drawing code, the theme and window-manager libraries, the image
// codecs and sounds of the shell's pickers).
extern const char* const kPreloadedSystemLibraries[];
extern const int kPreloadedSystemLibraryCount;
extern const char* const kDrawingLibraries[];
extern const int kDrawingLibraryCount;

// Everything the process sets before its own work starts: critical-error
// boxes off ("no disk in the drive" must never wait for somebody at a
// drive list or an unattended run), the DLL search restricted, and every
// library of the first list loaded from the system folder, so a later load
// by name finds it loaded instead of searching for it. A library this
// system lacks is skipped. Must be the first thing the program does.
void PrepareProcess();
// The drawing libraries, the same way: before the first window of a run
// that shows one.
void LoadDrawingLibraries();

// Loads a library from the system folder by its full path; NULL when it is
// not there. The caller decides whether to free it.
HMODULE LoadSystemLibrary(const char* fileName);

// The common controls, in the version the program's manifest asks for,
// loaded at run time after the search has been restricted. As a static
// import they would be resolved before any code of ours runs, and their own
// imports (uxtheme.dll, dwmapi.dll) searched for beside the program first;
// those are loaded from the system folder beforehand, so the common controls
// find them loaded. NULL when they cannot be loaded. Never freed.
HMODULE LoadCommonControls();

// Registers the window classes of the common controls named by the ICC_*
// bits, through the library above; false when it cannot be had.
bool InitCommonControlClasses(DWORD classes);

}  // namespace qwp
