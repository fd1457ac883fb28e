#include "tests/support/Screens.h"

#include "instutils/Handles.h"
#include "tests/support/ProcessDriver.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>
#include <shlobj.h>

namespace qwp::test {

bool ScreensWanted() {
    static const bool wanted = Environment("QWP_SCREENS") == "1";
    return wanted;
}

std::string ArchName() { return sizeof(void*) == 4 ? "win32" : "win64"; }

std::string ScreensFolder(const std::string& scenario, int dpi) {
    std::string build = BuildFile("");
    build.pop_back();  // the trailing backslash
    std::string folder = build.substr(0, build.find_last_of('\\') + 1) + "screens\\" + scenario + "\\" + ArchName() + "\\";
    if (dpi > 0) folder += std::to_string(dpi) + "dpi\\";
    if (ScreensWanted()) SHCreateDirectoryExA(nullptr, folder.c_str(), nullptr);
    return folder;
}

void KeepWindowPicture(HWND window, const std::string& pngPath, bool settle) {
    if (!ScreensWanted()) return;
    if (settle) {
        EXPECT_TRUE(WaitUntilPainted(window)) << pngPath << ": the window did not finish painting";
    }
    EXPECT_TRUE(CaptureWindow(window, pngPath)) << pngPath;
}

void KeepScreenPicture(const std::string& pngPath) {
    if (!ScreensWanted()) return;
    EXPECT_TRUE(WaitUntilPainted(nullptr)) << pngPath << ": the screen did not stop changing";
    EXPECT_TRUE(CaptureScreen(pngPath)) << pngPath;
}

bool SetSystemDpi(DWORD dpi) {
    HKEY raw = nullptr;
    // The 64-bit view: where Wine reads it for programs of both builds.
    if (RegCreateKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, nullptr, 0, KEY_SET_VALUE | KEY_WOW64_64KEY,
                        nullptr, &raw, nullptr) != ERROR_SUCCESS)
        return false;
    UniqueRegKey key(raw);
    return RegSetValueExA(key.get(), "LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi), sizeof dpi) ==
           ERROR_SUCCESS;
}

}  // namespace qwp::test
