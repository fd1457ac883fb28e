#include "instutils/RunTimings.h"

#include "instutils/FileContent.h"

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

namespace qwp {

const char kRunTimingsVariable[] = "QWP_BENCH_TIMINGS";

namespace {

struct Timings {
    std::string path;  // empty: not asked for
    ULONGLONG last = 0;  // 100 ns units, system time
    std::vector<std::pair<std::string, ULONGLONG>> phases;
};

Timings& State() {
    static Timings timings;
    return timings;
}

ULONGLONG Now() {
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    return (static_cast<ULONGLONG>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
}

ULONGLONG ProcessCreation() {
    FILETIME created, exited, kernel, user;
    if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user)) return Now();
    return (static_cast<ULONGLONG>(created.dwHighDateTime) << 32) | created.dwLowDateTime;
}

}  // namespace

void StartRunTimings() {
    Timings& timings = State();
    char path[MAX_PATH + 1] = {};
    const DWORD length = GetEnvironmentVariableA(kRunTimingsVariable, path, sizeof path);
    if (length == 0 || length >= sizeof path) return;
    timings.path.assign(path, length);
    timings.last = ProcessCreation();
}

void MarkPhase(const char* phase) {
    Timings& timings = State();
    if (timings.path.empty()) return;
    const ULONGLONG now = Now();
    const ULONGLONG spent = now > timings.last ? now - timings.last : 0;
    timings.last = now;
    for (auto& [name, total] : timings.phases)
        if (name == phase) {
            total += spent;
            return;
        }
    timings.phases.emplace_back(phase, spent);
}

bool FinishRunTimings() {
    Timings& timings = State();
    if (timings.path.empty()) return false;
    std::string text;
    // Microseconds as whole numbers: no floating-point formatter is linked
    // into the setup for the benchmark's sake.
    for (const auto& [name, total] : timings.phases) text += name + "\t" + std::to_string(total / 10) + "\r\n";
    return ReplaceFileContent(timings.path, text);
}

}  // namespace qwp
