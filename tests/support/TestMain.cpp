// The entry point of every Windows test program: the setup's own process
// start, a temporary folder of the program's own (so test programs running
// side by side never clean up each other's temporary files), then GoogleTest.
#include "instutils/ProcessStart.h"
#include "instutils/SystemLibrary.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

namespace {

std::string MakeOwnTempFolder() {
    char base[MAX_PATH];
    const DWORD length = GetTempPathA(MAX_PATH, base);
    if (length == 0 || length >= MAX_PATH) return {};
    std::string folder = std::string(base) + "qwptest-" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(folder.c_str(), nullptr);
    qwp::test::RedirectTemp(folder);
    return folder;
}

}  // namespace

int main(int argc, char** argv) {
    qwp::RestrictDllSearchToSystem();
    testing::InitGoogleTest(&argc, argv);
    MakeOwnTempFolder();
    qwp::ProcessStart start;
    return RUN_ALL_TESTS();
}
