#include "instutils/EntryPoints.h"

#include "instutils/SystemLibrary.h"

#include <initializer_list>

namespace qwp {

SHGetFolderPathAFn SpecialFolderEntry = nullptr;
GetDiskFreeSpaceExAFn FreeSpaceEntry = nullptr;

namespace {

template <typename Fn>
Fn Lookup(HMODULE module, const char* name) {
    if (!module) return nullptr;
    // GetProcAddress returns a generic FARPROC; the detour through void*
    // keeps the compiler's cast-function-type warning quiet.
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

SHGetFolderPathAFn FindSpecialFolderEntry() {
    // The modules stay loaded for the life of the process, so the handles
    // are deliberately not owned here.
    for (const char* library : {"shell32.dll", "shfolder.dll"}) {
        if (auto entry = Lookup<SHGetFolderPathAFn>(LoadSystemLibrary(library), "SHGetFolderPathA"))
            return entry;
    }
    return nullptr;
}

}  // namespace

void ResolveEntryPoints() {
    SpecialFolderEntry = FindSpecialFolderEntry();
    FreeSpaceEntry = Lookup<GetDiskFreeSpaceExAFn>(GetModuleHandleA("kernel32.dll"), "GetDiskFreeSpaceExA");
}

}  // namespace qwp
