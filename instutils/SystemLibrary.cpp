#include "instutils/SystemLibrary.h"

#include <string>

namespace qwp {
namespace {

#ifndef LOAD_LIBRARY_SEARCH_SYSTEM32
#define LOAD_LIBRARY_SEARCH_SYSTEM32 0x00000800
#endif

using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);

std::string SystemFolder() {
    char buffer[MAX_PATH];
    const UINT length = GetSystemDirectoryA(buffer, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return {};
    return std::string(buffer, length);
}

}  // namespace

void RestrictDllSearchToSystem() {
    // kernel32 is always loaded already; GetModuleHandle does not search.
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    if (kernel) {
        auto setDefault = reinterpret_cast<SetDefaultDllDirectoriesFn>(
            reinterpret_cast<void*>(GetProcAddress(kernel, "SetDefaultDllDirectories")));
        if (setDefault) setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32);
    }
    // Takes the current directory out of the search on systems without
    // SetDefaultDllDirectories as well.
    SetDllDirectoryA("");
}

HMODULE LoadSystemLibrary(const char* fileName) {
    std::string folder = SystemFolder();
    if (folder.empty()) return nullptr;
    if (folder.back() != '\\') folder += '\\';
    const std::string path = folder + fileName;
    // With a full path the loader does not search; LOAD_WITH_ALTERED_SEARCH_PATH
    // makes the library's own dependencies resolve from its folder too.
    return LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

}  // namespace qwp
