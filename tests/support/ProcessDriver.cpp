#include "tests/support/ProcessDriver.h"

#include <vector>

namespace qwp::test {

ChildProcess::ChildProcess(const std::string& commandLine, const std::string& folder) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');
    if (CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                       folder.empty() ? nullptr : folder.c_str(), &startup, &info)) {
        process_.reset(info.hProcess);
        CloseHandle(info.hThread);
        id_ = info.dwProcessId;
    }
}

ChildProcess::~ChildProcess() {
    if (process_ && WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT) {
        TerminateProcess(process_.get(), 99);
        WaitForSingleObject(process_.get(), 5000);
    }
}

DWORD ChildProcess::WaitForExit(DWORD milliseconds) {
    if (!process_) return STILL_ACTIVE;
    if (WaitForSingleObject(process_.get(), milliseconds) != WAIT_OBJECT_0) return STILL_ACTIVE;
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(process_.get(), &code);
    return code;
}

namespace {

struct WindowSearch {
    DWORD processId;
    const std::string* caption;
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM lParam) {
    auto* search = reinterpret_cast<WindowSearch*>(lParam);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search->processId && IsWindowVisible(window) && WindowText(window) == *search->caption) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

struct ChildSearch {
    const char* className;
    const std::string* text;  // exact caption to find, or null for "any non-empty"
    int skip;
    HWND found;
};

BOOL CALLBACK MatchChild(HWND child, LPARAM lParam) {
    auto* search = reinterpret_cast<ChildSearch*>(lParam);
    char cls[64] = {};
    GetClassNameA(child, cls, sizeof cls);
    if (lstrcmpiA(cls, search->className) != 0) return TRUE;
    const std::string text = WindowText(child);
    const bool matches = search->text ? text == *search->text : !text.empty();
    if (!matches) return TRUE;
    if (search->skip-- > 0) return TRUE;
    search->found = child;
    return FALSE;
}

}  // namespace

HWND WaitForWindow(DWORD processId, const std::string& caption, DWORD milliseconds) {
    const DWORD start = GetTickCount();
    do {
        WindowSearch search{processId, &caption, nullptr};
        EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
        if (search.found) return search.found;
        Sleep(50);
    } while (GetTickCount() - start < milliseconds);
    return nullptr;
}

std::string WindowText(HWND window) {
    char buffer[4096] = {};
    // WM_GETTEXT works across processes for standard controls.
    SendMessageTimeoutA(window, WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer), SMTO_ABORTIFHUNG, 2000,
                        nullptr);
    return buffer;
}

std::string ChildTextOfClass(HWND window, const char* className, int skip) {
    ChildSearch search{className, nullptr, skip, nullptr};
    EnumChildWindows(window, MatchChild, reinterpret_cast<LPARAM>(&search));
    return search.found ? WindowText(search.found) : std::string();
}

bool PressButton(HWND window, const std::string& caption) {
    ChildSearch search{"Button", &caption, 0, nullptr};
    EnumChildWindows(window, MatchChild, reinterpret_cast<LPARAM>(&search));
    if (!search.found) return false;
    PostMessageA(search.found, BM_CLICK, 0, 0);
    return true;
}

namespace {

std::string UnixToWindows(std::string path) {
    for (char& c : path)
        if (c == '/') c = '\\';
    return "Z:" + path;
}

}  // namespace

std::string BuildFile(const std::string& relative) { return UnixToWindows(QWP_BUILD_DIR "/" + relative); }
std::string SourceFile(const std::string& relative) { return UnixToWindows(QWP_SOURCE_DIR "/" + relative); }

}  // namespace qwp::test
