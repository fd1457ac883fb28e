#include "tests/support/UnattendedRun.h"

#include "tests/support/ProcessParents.h"
#include "tests/support/Screens.h"
#include "tests/support/TempFolder.h"
#include "tests/support/Text.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace qwp::test {

namespace {

// The caption as the system keeps it: for a window of another process no
// message is sent, so a busy setup never holds the watcher up.
std::string Caption(HWND window) {
    char text[512] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

}  // namespace

std::string WindowClass(HWND window) {
    char name[256] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

RunSeen WatchRun(const std::string& program, const std::string& arguments, DWORD timeout,
                 const WindowWatcher& watcher) {
    RunSeen seen;
    const DWORD start = GetTickCount();
    ChildProcess process(Quoted(program) + (arguments.empty() ? "" : " " + arguments));
    if (!process.Started()) {
        ADD_FAILURE() << program << " not started, error " << GetLastError();
        return seen;
    }
    for (;;) {
        const bool ended = WaitForSingleObject(process.Handle(), 0) == WAIT_OBJECT_0;
        const std::vector<HWND> visible = ended ? std::vector<HWND>{} : VisibleWindowsOf(process.Id());
        for (HWND window : visible)
            if (std::find(seen.windows.begin(), seen.windows.end(), window) == seen.windows.end()) {
                seen.windows.push_back(window);
                seen.shown.push_back(WindowClass(window) + " \"" + Caption(window) + "\"");
            }
        if (ended) break;
        if (watcher) watcher(process, visible);
        if (GetTickCount() - start > timeout) {
            ADD_FAILURE() << "the setup still runs after " << timeout << " ms: " << arguments;
            break;
        }
        Sleep(5);
    }
    seen.exitCode = process.WaitForExit(0);
    seen.milliseconds = GetTickCount() - start;
    return seen;
}

RunSeen WatchSetup(const std::string& arguments, DWORD timeout, const WindowWatcher& watcher) {
    RunSeen seen = WatchRun(BuildFile("setup.exe"), arguments, timeout, watcher);
    // The word processor it started for the associations may still be
    // writing or holding its files.
    WaitForStartingPrograms("qwp.exe", "QuilvaneWordProcessor");
    return seen;
}

std::string CaseScreens(const std::string& name) { return ScreensFolder("unattended-" + name); }

std::vector<std::string> RunLogLines(const std::string& path) { return LinesOf(ReadWholeFile(path)); }

std::vector<std::string> LinesOfKind(const std::vector<std::string>& lines, const std::string& kind) {
    std::vector<std::string> found;
    for (const std::string& line : lines)
        if (StartsWith(line, kind + ": ")) found.push_back(line.substr(kind.size() + 2));
    return found;
}

std::string RunLogFile::Switch() const { return Quoted("/LOG=" + path_); }

std::string RunLogFile::LastLine() const {
    const std::vector<std::string> lines = Lines();
    return lines.empty() ? std::string("(no log)") : lines.back();
}

void RunLogFile::Remove() const { DeleteFileA(path_.c_str()); }

}  // namespace qwp::test
