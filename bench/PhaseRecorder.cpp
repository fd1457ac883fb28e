#include "bench/PhaseRecorder.h"

#include "instutils/FileContent.h"
#include "instutils/RunTimings.h"

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

namespace qwp {

namespace {

ULONGLONG Ticks(const FILETIME& time) {
    return (static_cast<ULONGLONG>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

ULONGLONG Now() {
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    return Ticks(now);
}

ULONGLONG ProcessCreation() {
    FILETIME created, exited, kernel, user;
    if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user)) return Now();
    return Ticks(created);
}

class PhaseRecorder final : public RunTimingsRecorder {
public:
    PhaseRecorder() { InstallRunTimingsRecorder(this); }

    void Start() override {
        char path[MAX_PATH + 1] = {};
        const DWORD length = GetEnvironmentVariableA(kRunTimingsVariable, path, sizeof path);
        if (length == 0 || length >= sizeof path) return;
        path_.assign(path, length);
        last_ = ProcessCreation();
    }

    void Mark(const char* phase) override {
        if (path_.empty()) return;
        const ULONGLONG now = Now();
        const ULONGLONG spent = now > last_ ? now - last_ : 0;
        last_ = now;
        for (auto& [name, total] : phases_)
            if (name == phase) {
                total += spent;
                return;
            }
        phases_.emplace_back(phase, spent);
    }

    void Finish() override {
        if (path_.empty()) return;
        std::string text;
        for (const auto& [name, total] : phases_) text += name + "\t" + std::to_string(total / 10) + "\r\n";
        ReplaceFileContent(path_, text);
    }

private:
    std::string path_;  // empty: not asked for
    ULONGLONG last_ = 0;  // 100 ns units, system time
    std::vector<std::pair<std::string, ULONGLONG>> phases_;
};

// Installed before the program's own code runs.
PhaseRecorder recorder;

}  // namespace

}  // namespace qwp
