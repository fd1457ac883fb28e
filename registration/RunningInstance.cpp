#include "registration/RunningInstance.h"

#include "instutils/Handles.h"
#include "instutils/PathText.h"

#include <windows.h>

namespace qwp {

const char RunningInstanceProperty[] = "1.x Sorvelin";

namespace {

BOOL CALLBACK FindMarkedWindow(HWND window, LPARAM found) {
    // A window that has gone since the enumeration began answers 0 and so
    // does not count.
    if (!GetPropA(window, RunningInstanceProperty)) return TRUE;
    *reinterpret_cast<bool*>(found) = true;
    return FALSE;
}

}  // namespace

bool IsWordProcessorRunning() {
    bool found = false;
    // EnumWindows reports failure when the callback stops it early, so its
    // result says nothing; the flag does.
    EnumWindows(FindMarkedWindow, reinterpret_cast<LPARAM>(&found));
    return found;
}

bool IsWordProcessorHeld(const std::string& mainDir) {
    if (mainDir.empty()) return false;
    const std::string program = JoinPath(mainDir, "qwp.exe");
    // Every kind of sharing is offered: only a holder that shares no
    // writing refuses the open.
    UniqueFile file(CreateFileA(program.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return !file && GetLastError() == ERROR_SHARING_VIOLATION;
}

bool IsWordProcessorInUse(const std::string& mainDir) {
    return IsWordProcessorRunning() || IsWordProcessorHeld(mainDir);
}

}  // namespace qwp
