// What the post-install actions leave outside a test's own folders, and the
// means to look at it and take it away: the stand-in word processor's
// windows and the four shortcut files.
#pragma once

#include "instutils/Handles.h"
#include "instutils/PathText.h"
#include "instutils/Paths.h"
#include "registration/PostInstall.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

namespace qwp::test {

// The shortcut file in each folder it can be placed in: all users' and the
// user's Programs, all users' and the user's Desktop (CSIDL 23, 2, 25, 16).
inline std::vector<std::string> ShortcutPlaces() {
    std::vector<std::string> places;
    for (int csidl : {0x17, 0x02, 0x19, 0x10}) {
        const std::string folder = GetSpecialFolder(csidl);
        places.push_back(folder.empty() ? std::string() : JoinPath(folder, kShortcutName));
    }
    return places;
}

inline bool PathPresent(const std::string& path) {
    return !path.empty() && GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

inline void RemoveShortcuts() {
    for (const std::string& place : ShortcutPlaces())
        if (!place.empty()) DeleteFileA(place.c_str());
}

// Closes every window of the stand-in word processor (any process) and waits
// until those processes have ended; the number of windows closed.
inline int CloseStandInWindows() {
    std::vector<HWND> windows;
    HWND window = nullptr;
    while ((window = FindWindowExA(nullptr, window, "QuilvaneWordProcessor", nullptr)) != nullptr)
        windows.push_back(window);
    for (HWND found : windows) {
        DWORD id = 0;
        GetWindowThreadProcessId(found, &id);
        UniqueKernelHandle process(OpenProcess(SYNCHRONIZE, FALSE, id));
        PostMessageA(found, WM_CLOSE, 0, 0);
        if (process) WaitForSingleObject(process.get(), 10000);
    }
    return static_cast<int>(windows.size());
}

// Waits up to the time given for a stand-in window to appear.
inline bool StandInWindowAppears(DWORD milliseconds) {
    for (DWORD waited = 0;; waited += 50, Sleep(50)) {
        if (FindWindowExA(nullptr, nullptr, "QuilvaneWordProcessor", nullptr)) return true;
        if (waited >= milliseconds) return false;
    }
}

}  // namespace qwp::test
