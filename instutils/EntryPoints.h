// System functions the utilities look up by name once at process start,
// because they are missing from some systems the setup runs on (older shells
// have SHGetFolderPathA only in the redistributable shfolder.dll).
#pragma once

#include <windows.h>

namespace qwp {

using SHGetFolderPathAFn = HRESULT(WINAPI*)(HWND owner, int csidl, HANDLE token, DWORD flags, LPSTR path);
using GetDiskFreeSpaceExAFn = BOOL(WINAPI*)(LPCSTR directory, PULARGE_INTEGER freeToCaller,
                                            PULARGE_INTEGER totalBytes, PULARGE_INTEGER totalFree);

// NULL while unresolved or when no library provides the function; every
// caller checks. Set by ResolveEntryPoints and read-only afterwards.
extern SHGetFolderPathAFn SpecialFolderEntry;
extern GetDiskFreeSpaceExAFn FreeSpaceEntry;

// SHGetFolderPathA from shell32, else from shfolder, both loaded from the
// system folder and never unloaded; GetDiskFreeSpaceExA from the kernel32
// that is already loaded.
void ResolveEntryPoints();

}  // namespace qwp
