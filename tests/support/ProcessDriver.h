// Starting a program of ours as a user would, and working its windows from
// outside: find a window by caption, read a control's text, press a button.
#pragma once

#include "instutils/Handles.h"

#include <windows.h>

#include <string>

namespace qwp::test {

class ChildProcess {
public:
    // Starts the command line in the folder given (or the current one), with
    // the test's own environment.
    ChildProcess(const std::string& commandLine, const std::string& folder = {});
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool Started() const { return process_.valid(); }
    DWORD Id() const { return id_; }
    // The exit code, or STILL_ACTIVE after the timeout.
    DWORD WaitForExit(DWORD milliseconds);

private:
    UniqueKernelHandle process_;
    DWORD id_ = 0;
};

// A visible top-level window of the process whose caption is the text given;
// NULL when none appears within the timeout.
HWND WaitForWindow(DWORD processId, const std::string& caption, DWORD milliseconds);
std::string WindowText(HWND window);
// The text of the first child whose class is the one given and whose text is
// not empty (e.g. a dialog's message); empty when there is none.
std::string ChildTextOfClass(HWND window, const char* className, int skip = 0);
// Presses the child button with exactly this caption; false when not found.
bool PressButton(HWND window, const std::string& caption);

// Files of the build folder and of the source tree, as Windows paths (Wine
// shows the Unix root as drive Z:).
std::string BuildFile(const std::string& relative);
std::string SourceFile(const std::string& relative);

}  // namespace qwp::test
