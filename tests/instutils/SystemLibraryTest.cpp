// What the process sets at start-up: critical-error boxes off, and the
// system libraries that may be loaded by name later already loaded from the
// system folder.
#include "instutils/SystemLibrary.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

namespace qwp {
namespace {

std::string LowerText(std::string text) {
    CharLowerBuffA(&text[0], static_cast<DWORD>(text.size()));
    return text;
}

TEST(PrepareProcess, ErrorBoxesOffAndSystemLibrariesLoadedFromTheSystemFolder) {
    SetErrorMode(0);
    PrepareProcess();
    LoadDrawingLibraries();
    const UINT mode = SetErrorMode(0);
    SetErrorMode(mode);
    EXPECT_EQ(mode & (SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX),
              static_cast<UINT>(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX));

    char system[MAX_PATH] = {};
    ASSERT_GT(GetSystemDirectoryA(system, MAX_PATH), 0u);
    const std::string systemFolder = LowerText(system) + "\\";
    int loaded = 0;
    std::vector<std::string> names(kPreloadedSystemLibraries, kPreloadedSystemLibraries + kPreloadedSystemLibraryCount);
    names.insert(names.end(), kDrawingLibraries, kDrawingLibraries + kDrawingLibraryCount);
    for (const std::string& name : names) {
        // One this system lacks is skipped, not an error.
        if (GetFileAttributesA((systemFolder + name).c_str()) == INVALID_FILE_ATTRIBUTES) continue;
        HMODULE module = GetModuleHandleA(name.c_str());
        ASSERT_NE(module, nullptr) << name << " was not loaded";
        char path[MAX_PATH] = {};
        ASSERT_GT(GetModuleFileNameA(module, path, MAX_PATH), 0u) << name;
        EXPECT_EQ(LowerText(path), systemFolder + name);
        ++loaded;
    }
    EXPECT_GE(loaded, 10) << "most of the list exists on every system";
}

}  // namespace
}  // namespace qwp
