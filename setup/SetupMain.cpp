#include "instutils/SystemLibrary.h"
#include "setup/RunSetup.h"

#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    // Before anything can load a DLL: never from the download folder.
    qwp::RestrictDllSearchToSystem();
    return qwp::RunSetup(instance);
}

#include <cstdlib>

// An exception that escapes ends the program, as it would anyway, but
// without the runtime's name demangler: that alone would add some 45 KB to
// a program whose download size matters.
namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx
