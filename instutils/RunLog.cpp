#include "instutils/RunLog.h"

#include "instutils/Handles.h"

#include <windows.h>

namespace qwp {

namespace {

struct RunLogState {
    UniqueFile file;
    bool allWritten = true;
};

RunLogState& State() {
    static RunLogState state;
    return state;
}

}  // namespace

bool StartRunLog(const std::string& path) {
    RunLogState& state = State();
    state.file.reset();
    state.allWritten = true;
    if (path.empty()) return true;
    // Others may read the log while the run goes on (a deployment tool
    // following it), but nobody writes to it.
    state.file.reset(CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
    return state.file.valid();
}

bool RunLogActive() { return State().file.valid(); }

void RunLogLine(const char* kind, const std::string& text) {
    RunLogState& state = State();
    if (!state.file) return;
    std::string line = kind;
    line += ": ";
    for (const char c : text) line += (c == '\r' || c == '\n') ? ' ' : c;
    line += "\r\n";
    DWORD written = 0;
    if (!WriteFile(state.file.get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr) ||
        written != line.size())
        state.allWritten = false;
}

int RunLogExit(int code, const std::string& reason) {
    RunLogLine("Exit", std::to_string(code) + " (" + reason + ")");
    return code;
}

bool FinishRunLog() {
    RunLogState& state = State();
    if (!state.file) return false;
    const bool closed = CloseHandle(state.file.release()) != FALSE;
    return closed && state.allWritten;
}

}  // namespace qwp
