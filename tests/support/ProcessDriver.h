// Starting a program of ours as a user would, and working its windows from
// outside: find a window by caption, find its controls by id at any depth,
// read their state, press buttons and keys, wait for a state, and keep a
// picture of what is on the screen.
#pragma once

#include "instutils/Handles.h"

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

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
    HANDLE Handle() const { return process_.get(); }
    // The exit code, or STILL_ACTIVE after the timeout.
    DWORD WaitForExit(DWORD milliseconds);

private:
    UniqueKernelHandle process_;
    DWORD id_ = 0;
};

// Asks the condition every interval until it holds; false when it still does
// not hold at the timeout. The condition is asked at least once.
bool WaitUntil(const std::function<bool()>& condition, DWORD milliseconds, DWORD interval = 20);

// The visible top-level windows of the process that have a size, topmost
// first.
std::vector<HWND> VisibleWindowsOf(DWORD processId);
// A visible top-level window of the process that has a size, with exactly
// this caption when one is given; NULL when there is none (now, or within
// the timeout).
HWND TopWindowOf(DWORD processId, const char* caption = nullptr);
HWND WaitForWindow(DWORD processId, const std::string& caption, DWORD milliseconds);

std::string WindowText(HWND window);
// The text of the first child whose class is the one given and whose text is
// not empty (e.g. a dialog's message); empty when there is none.
std::string ChildTextOfClass(HWND window, const char* className, int skip = 0);
// Presses the child button with exactly this caption; false when not found.
bool PressButton(HWND window, const std::string& caption);

// The first window below this one, at any depth, with the control id given;
// NULL when there is none.
HWND FindControl(HWND window, int id);
// The control's window text; empty when the control does not exist.
std::string ControlText(HWND window, int id);
// False as well when the control does not exist.
bool ControlEnabled(HWND window, int id);
bool ControlVisible(HWND window, int id);
// BM_GETCHECK of a button (BST_UNCHECKED, BST_CHECKED, BST_INDETERMINATE);
// -1 when the control does not exist.
int CheckState(HWND window, int id);
// Presses the button with this id as a click does (BM_CLICK, posted, so the
// caller never waits for what the click starts); false when there is none.
bool ClickControl(HWND window, int id);
// Waits until the control's text is exactly the text given.
bool WaitForControlText(HWND window, int id, const std::string& text, DWORD milliseconds);

// Waits until the window's thread has handled everything posted to it so
// far (a message sent from another thread is taken only between two
// handlers), for five seconds at the most.
void Settle(HWND window);

// The window that has the keyboard focus in the window's thread; NULL when
// none has it.
HWND FocusedWindow(HWND window);
// Brings the window to the foreground and presses and releases a key there,
// with a modifier key (VK_SHIFT, VK_CONTROL, VK_MENU) held when one is given,
// through the system's input queue as a keyboard would. False when the input
// could not be sent.
bool PressKey(HWND window, WORD virtualKey, WORD modifier = 0);

// Writes what the screen shows inside the window's rectangle (frame
// included), or the whole screen, to a 24-bit PNG file. False on any
// failure; the folder must exist.
bool CaptureWindow(HWND window, const std::string& pngPath);
bool CaptureScreen(const std::string& pngPath);

// Waits until the window has painted what it shows: its thread has handled
// what was posted to it, no visible part of it has anything left to paint,
// and the screen inside its rectangle (the whole screen for NULL) has
// stopped changing. False when that has not happened within the timeout.
bool WaitUntilPainted(HWND window, DWORD milliseconds = 5000);

// Files of the build folder and of the source tree, as Windows paths (Wine
// shows the Unix root as drive Z:).
std::string BuildFile(const std::string& relative);
std::string SourceFile(const std::string& relative);

}  // namespace qwp::test
