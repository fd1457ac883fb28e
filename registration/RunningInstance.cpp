#include "registration/RunningInstance.h"

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

}  // namespace qwp
