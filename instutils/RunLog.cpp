#include "instutils/RunLog.h"

#include "instutils/FileContent.h"

namespace qwp {

namespace {

struct RunLogState {
    bool active = false;
    std::string path;
    std::string text;
};

RunLogState& State() {
    static RunLogState state;
    return state;
}

}  // namespace

void StartRunLog(const std::string& path) {
    RunLogState& state = State();
    state.active = !path.empty();
    state.path = path;
    state.text.clear();
}

bool RunLogActive() { return State().active; }

void RunLogLine(const char* kind, const std::string& text) {
    RunLogState& state = State();
    if (!state.active) return;
    state.text += kind;
    state.text += ": ";
    for (const char c : text) state.text += (c == '\r' || c == '\n') ? ' ' : c;
    state.text += "\r\n";
}

bool FinishRunLog() {
    RunLogState& state = State();
    if (!state.active) return false;
    state.active = false;
    const bool written = ReplaceFileContent(state.path, state.text);
    state.text.clear();
    return written;
}

}  // namespace qwp
