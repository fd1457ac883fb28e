#include "instutils/RunTimings.h"
#include "instutils/SystemLibrary.h"
#include "session/SystemCodePage.h"
#include "setup/RunSetup.h"

#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    // Before anything can load a DLL (never from the download folder) or
    // touch a drive.
    qwp::StartRunTimings();
    qwp::MarkPhase("process start");
    qwp::PrepareProcess();
    // Before any thread of the run reads a path.
    qwp::UseSystemCodePage();
    qwp::MarkPhase("system libraries");
    qwp::RunSetup(instance);
}

// The run catches every exception of its own; what could still reach the
// runtime's terminate (an exception thrown while another unwinds) ends the
// process with the failure code, never through abort, whose code 3 would
// read as "the word processor is running" and whose report box would wait
// for somebody in an unattended run. Defined here, the handler also keeps
// the runtime's name demangler, some 45 KB, out of the program.
namespace __gnu_cxx {
void __verbose_terminate_handler() { ExitProcess(qwp::kExitSetupFailed); }
}  // namespace __gnu_cxx
