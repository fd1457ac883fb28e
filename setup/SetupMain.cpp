#include "instutils/SystemLibrary.h"
#include "setup/RunSetup.h"

#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    // Before anything can load a DLL: never from the download folder.
    qwp::RestrictDllSearchToSystem();
    return qwp::RunSetup(instance);
}
