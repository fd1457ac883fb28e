#include "instutils/SystemLibrary.h"

#include "instutils/PathText.h"

#include <commctrl.h>

#include <string>

namespace qwp {
namespace {

#ifndef LOAD_LIBRARY_SEARCH_SYSTEM32
#define LOAD_LIBRARY_SEARCH_SYSTEM32 0x00000800
#endif

using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);

// Whether the loader's default search was narrowed to the system folder.
bool searchRestricted = false;

std::string SystemFolder() {
    char buffer[MAX_PATH];
    const UINT length = GetSystemDirectoryA(buffer, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return {};
    return std::string(buffer, length);
}

}  // namespace

// shell32, ole32 and oleaut32 are among them although the program imports
// them: a library the system loads for itself may still ask for them by
// name before the loader has them, and loading a loaded one costs nothing.
// comctl32 is not: the manifest brings version 6 from the side-by-side
// store (LoadCommonControls).
const char* const kPreloadedSystemLibraries[] = {
    "shell32.dll", "ole32.dll", "oleaut32.dll", "propsys.dll", "userenv.dll",
    "apphelp.dll", "mpr.dll",   "shfolder.dll", "version.dll",
};
const int kPreloadedSystemLibraryCount =
    static_cast<int>(sizeof kPreloadedSystemLibraries / sizeof kPreloadedSystemLibraries[0]);

// uxtheme alone takes a quarter of a second to load under Wine, where it
// sets up its themes, and the image codecs and sounds the shell's windows
// and pickers load weigh almost 2 MB: a run that never draws leaves them out.
const char* const kDrawingLibraries[] = {"msimg32.dll", "uxtheme.dll", "dwmapi.dll",
                                         "oleacc.dll",  "windowscodecs.dll", "winmm.dll"};
const int kDrawingLibraryCount = static_cast<int>(sizeof kDrawingLibraries / sizeof kDrawingLibraries[0]);

void PrepareProcess() {
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    RestrictDllSearchToSystem();
    // Never freed: they stay for the whole run, as the loads they stand in
    // for would.
    for (const char* name : kPreloadedSystemLibraries) LoadSystemLibrary(name);
}

void LoadDrawingLibraries() {
    for (const char* name : kDrawingLibraries) LoadSystemLibrary(name);
}

void RestrictDllSearchToSystem() {
    // kernel32 is always loaded already; GetModuleHandle does not search.
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    if (kernel) {
        auto setDefault = reinterpret_cast<SetDefaultDllDirectoriesFn>(
            reinterpret_cast<void*>(GetProcAddress(kernel, "SetDefaultDllDirectories")));
        if (setDefault) searchRestricted = setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32) != FALSE;
    }
    // Takes the current directory out of the search on systems without
    // SetDefaultDllDirectories as well.
    SetDllDirectoryA("");
}

HMODULE LoadSystemLibrary(const char* fileName) {
    std::string folder = SystemFolder();
    if (folder.empty()) return nullptr;
    AddTrailingBackslash(folder);
    const std::string path = folder + fileName;
    // A full path is not searched for. The library's own dependencies follow
    // the default search, which is the system folder alone once restricted.
    // Without that restriction, the altered search path makes them resolve
    // from the library's folder (the system folder) first.
    // LOAD_WITH_ALTERED_SEARCH_PATH must not be given with the restriction in
    // force: it would bring back the classic search order.
    return LoadLibraryExA(path.c_str(), nullptr, searchRestricted ? 0 : LOAD_WITH_ALTERED_SEARCH_PATH);
}

HMODULE LoadCommonControls() {
    for (const char* dependency : {"uxtheme.dll", "dwmapi.dll"}) LoadSystemLibrary(dependency);
    // By its bare name, so the manifest's activation context can redirect it
    // to the side-by-side copy of version 6; with the search restricted,
    // only the system folder is searched otherwise. Without the restriction
    // a bare name would search the program's folder too.
    if (searchRestricted) return LoadLibraryA("comctl32.dll");
    return LoadSystemLibrary("comctl32.dll");
}

bool InitCommonControlClasses(DWORD classes) {
    using InitCommonControlsExFn = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
    HMODULE commonControls = LoadCommonControls();
    if (!commonControls) return false;
    auto init = reinterpret_cast<InitCommonControlsExFn>(
        reinterpret_cast<void*>(GetProcAddress(commonControls, "InitCommonControlsEx")));
    INITCOMMONCONTROLSEX icc{sizeof icc, classes};
    return init && init(&icc);
}

}  // namespace qwp
