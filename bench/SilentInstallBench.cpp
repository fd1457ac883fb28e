// Measures a whole silent install as the user starts it, a process of its
// own, against a floor program that inflates the same payload and writes the
// same files and nothing else; both side by side in one run, rounds
// alternating. Also the peak working set of the install process against the
// memory the payload needs, and the program's size without its payload.
//
//   silent_install_bench.exe <product label> <setup.exe> [rounds]
//
// The floor writes the files the setup's own plan names for every component,
// kept to those a first, untimed silent run actually wrote; what the setup
// does beyond them (registry, shortcuts, logs) is part of what is measured.
// The installed folders are removed before every run, outside the timing.
#include "bench/BenchSupport.h"
#include "bench/PlannedCopies.h"
#include "bench/PhaseRecorder.h"
#include "instutils/DateTime.h"
#include "instutils/Handles.h"
#include "instutils/InstUtils.h"
#include "instutils/FileContent.h"
#include "instutils/ProcessStart.h"
#include "instutils/SystemLibrary.h"
#include "payload/AttachFiles.h"
#include "payload/InstallPlan.h"

#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using namespace qwp;
using namespace qwp::bench;

constexpr int kDefaultRounds = 7;
constexpr DWORD kRunTimeout = 300000;
constexpr double kMiB = 1024.0 * 1024.0;
// What the install's peak working set may be above the floor process's, or
// above the second floor's (the floor plus the running-instance check's one
// window call, which under Wine loads the display driver), whichever allows
// more.
constexpr double kMemoryAboveFloorMiB = 4;
constexpr double kMemoryAboveWindowFloorMiB = 1;
constexpr double kSizeLimitKiB = 375;

struct Run {
    bool started = false;
    bool finished = false;     // ended within the time limit
    bool showedWindow = false; // only looked for when asked
    DWORD exitCode = 0;
    double seconds = 0;
    SIZE_T peakWorkingSet = 0;  // 0 when the system would not tell
};

struct WindowSearch {
    DWORD processId;
    bool found;
};

BOOL CALLBACK FindVisibleWindow(HWND window, LPARAM lParam) {
    auto* search = reinterpret_cast<WindowSearch*>(lParam);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search->processId && IsWindowVisible(window)) {
        search->found = true;
        return FALSE;
    }
    return TRUE;
}

bool HasVisibleWindow(DWORD processId) {
    WindowSearch search{processId, false};
    EnumWindows(FindVisibleWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

SIZE_T PeakWorkingSetOf(HANDLE process) {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    return GetProcessMemoryInfo(process, &counters, sizeof counters) ? counters.PeakWorkingSetSize : 0;
}

// Starts the command line and waits for its end. A watched run is polled
// every few milliseconds for a visible window (ended at once when one shows)
// and for its peak working set, which not every system still tells once the
// process has ended; an unwatched run is only waited for, so its time is
// not disturbed.
Run RunProcess(const std::string& commandLine, bool watch) {
    Run run;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    std::string line = commandLine;
    const double t0 = Seconds();
    if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
        return run;
    run.started = true;
    UniqueKernelHandle process(info.hProcess);
    UniqueKernelHandle thread(info.hThread);
    if (watch) {
        const double deadline = t0 + kRunTimeout / 1000.0;
        while (WaitForSingleObject(process.get(), 2) == WAIT_TIMEOUT) {
            run.peakWorkingSet = std::max(run.peakWorkingSet, PeakWorkingSetOf(process.get()));
            if (HasVisibleWindow(info.dwProcessId)) {
                run.showedWindow = true;
                break;
            }
            if (Seconds() > deadline) break;
        }
    } else {
        WaitForSingleObject(process.get(), kRunTimeout);
    }
    run.seconds = Seconds() - t0;
    GetExitCodeProcess(process.get(), &run.exitCode);
    run.finished = run.exitCode != STILL_ACTIVE;
    if (!run.finished) {
        TerminateProcess(process.get(), 1);
        WaitForSingleObject(process.get(), 10000);
        return run;
    }
    run.peakWorkingSet = std::max(run.peakWorkingSet, PeakWorkingSetOf(process.get()));
    return run;
}

// The describing words for a run that did not end with exit code 0.
std::string RunProblem(const Run& run) {
    if (!run.started) return "could not be started";
    if (run.showedWindow) return "showed a window";
    if (!run.finished) return "did not end within " + std::to_string(kRunTimeout / 1000) + " s";
    return "ended with exit code " + std::to_string(run.exitCode);
}

using FloorWrite = PlannedCopy;

unsigned long long FileTimeOfEntry(double date) {
    const DosDateTime dos = DateTimeToDos(date);
    FILETIME local, utc;
    DosDateTimeToFileTime(dos.date, dos.time, &local);
    LocalFileTimeToFileTime(&local, &utc);
    return (static_cast<unsigned long long>(utc.dwHighDateTime) << 32) | utc.dwLowDateTime;
}

bool WriteFloorList(const std::string& path, const std::string& program, const TAttachedFiles& catalogue,
                    const std::vector<FloorWrite>& writes) {
    FILE* file = std::fopen(path.c_str(), "w");
    if (!file) return false;
    std::fprintf(file, "%s\n%d\n", program.c_str(), catalogue.DataSize);
    for (const FloorWrite& w : writes)
        std::fprintf(file, "%d\t%d\t%llu\t%s\n", w.entry->Offset, w.entry->Size, FileTimeOfEntry(w.entry->Date),
                     w.destination.c_str());
    return std::fclose(file) == 0;
}

// True when every file is there with its entry's size.
bool AllWritten(const std::vector<FloorWrite>& writes) {
    for (const FloorWrite& w : writes)
        if (FileBytes(w.destination) != static_cast<std::uint64_t>(w.entry->Size) || !FileExists(w.destination))
            return false;
    return true;
}

std::string FullPath(const char* path) {
    char full[MAX_PATH];
    const DWORD length = GetFullPathNameA(path, MAX_PATH, full, nullptr);
    return length && length < MAX_PATH ? std::string(full) : std::string(path);
}

struct Phase {
    std::string name;
    double milliseconds;  // median over the rounds
};

// The lines "<phase>\t<microseconds>" the setup wrote; empty when none.
std::vector<std::pair<std::string, double>> ReadPhases(const std::string& path) {
    std::vector<std::pair<std::string, double>> phases;
    std::string text;
    if (!ReadFileBytes(path, text)) return phases;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const std::size_t tab = line.find('\t');
        if (tab != std::string::npos) phases.emplace_back(line.substr(0, tab), std::atof(line.c_str() + tab + 1) / 1000);
        start = end + 1;
    }
    return phases;
}

// Runs the install the rounds given with the setup's own timings asked for,
// and gives each phase's median, in the order the setup names them. The
// last, "exit and rest", is what each run's whole process took beyond its
// phases (the phases count from the process's creation, the whole from the
// call that created it to its end): its own teardown above all.
std::vector<Phase> PhaseMedians(const std::string& installCommand, const std::string& mainDir,
                                const std::string& file, int rounds) {
    std::vector<std::string> order;
    std::vector<std::vector<double>> times;
    std::vector<double> beyondPhases;
    SetEnvironmentVariableA(kRunTimingsVariable, file.c_str());
    for (int round = 0; round < rounds; ++round) {
        RemoveInstalled(mainDir);
        DeleteFileA(file.c_str());
        const Run run = RunProcess(installCommand, false);
        if (!run.finished || run.exitCode != 0) break;
        double phaseSum = 0;
        for (const auto& [name, ms] : ReadPhases(file)) {
            phaseSum += ms;
            const auto at = std::find(order.begin(), order.end(), name);
            if (at == order.end()) {
                order.push_back(name);
                times.emplace_back();
            }
            times[static_cast<std::size_t>(std::find(order.begin(), order.end(), name) - order.begin())].push_back(ms);
        }
        beyondPhases.push_back(std::max(0.0, run.seconds * 1000 - phaseSum));
    }
    SetEnvironmentVariableA(kRunTimingsVariable, nullptr);
    DeleteFileA(file.c_str());
    std::vector<Phase> phases;
    for (std::size_t i = 0; i < order.size(); ++i) phases.push_back({order[i], Median(times[i])});
    if (!phases.empty()) phases.push_back({"exit and rest", Median(beyondPhases)});
    return phases;
}

}  // namespace

int main(int argc, char** argv) {
    RestrictDllSearchToSystem();
    if (argc < 3) {
        std::printf("usage: silent_install_bench <product label> <setup.exe> [rounds]\n");
        return 2;
    }
    const std::string product = argv[1];
    const std::string setup = FullPath(argv[2]);
    const int rounds = argc > 3 ? std::max(1, std::atoi(argv[3])) : kDefaultRounds;
    ProcessStart start;

    const std::vector<std::uint8_t> payload = PayloadOf(setup);
    if (payload.empty()) {
        std::printf("%s: no payload resource in %s\n", product.c_str(), setup.c_str());
        return 1;
    }
    // The size without the payload, as tools/check-binaries.sh counts it:
    // the program file less the payload resource's bytes.
    const double sizeKiB = static_cast<double>(FileBytes(setup) - payload.size()) / 1024;
    std::printf("%s %s: %.1f KB without its %zu-byte payload\n", product.c_str(), setup.c_str(), sizeKiB,
                payload.size());
    PrintResult(product, "size_kb", sizeKiB, kSizeLimitKiB);

    TAttachedFiles catalogue(payload.data(), payload.size());
    const std::string mainDir = FreshTempFolder("qwp-silent-bench");
    std::vector<FloorWrite> writes = PlannedCopies(catalogue, mainDir);
    const std::string installCommand = "\"" + setup + "\" \"-d" + mainDir.substr(0, mainDir.size() - 1) + "\" /S";
    // The same setup linked with the benchmark's phase recorder: the shipped
    // one records nothing.
    const std::string timedCommand =
        "\"" + setup.substr(0, setup.size() - 4) + "_timed.exe\" \"-d" + mainDir.substr(0, mainDir.size() - 1) + "\" /S";

    // A first silent run, untimed: it must end by itself, without a window,
    // and shows which of the planned files it writes.
    const Run first = RunProcess(installCommand, true);
    if (!first.finished || first.showedWindow || first.exitCode != 0) {
        std::printf("%s: %s /S %s; no figures of a silent install\n", product.c_str(), setup.c_str(),
                    RunProblem(first).c_str());
        RemoveInstalled(mainDir);
        return 1;
    }
    const std::size_t planned = writes.size();
    writes.erase(std::remove_if(writes.begin(), writes.end(),
                                [](const FloorWrite& w) { return !FileExists(w.destination); }),
                 writes.end());
    std::printf("%s: the silent install wrote %zu of the %zu copies planned for every component\n", product.c_str(),
                writes.size(), planned);

    const std::string listFolder = FreshTempFolder("qwp-silent-bench-list");
    const std::string list = listFolder + "writes.tsv";
    if (!WriteFloorList(list, setup, catalogue, writes)) {
        std::printf("%s: cannot write %s\n", product.c_str(), list.c_str());
        return 1;
    }
    const std::string floorCommand = "\"" + OwnFolder() + "plain_write_floor.exe\" \"" + list + "\"";
    const std::string windowFloorCommand =
        "\"" + OwnFolder() + "plain_write_floor.exe\" --window-call \"" + list + "\"";
    RemoveInstalled(mainDir);
    const Run floorCheck = RunProcess(floorCommand, true);
    if (floorCheck.exitCode != 0 || !AllWritten(writes)) {
        std::printf("%s: the plain-write floor %s or left files unwritten\n", product.c_str(),
                    RunProblem(floorCheck).c_str());
        return 1;
    }

    // Timed rounds, unwatched; then watched rounds for the memory figures.
    std::vector<double> installTimes, floorTimes;
    for (int round = 0; round < rounds; ++round) {
        for (int k = 0; k < 2; ++k) {
            const bool isInstall = (round + k) % 2 == 0;
            RemoveInstalled(mainDir);
            const Run run = RunProcess(isInstall ? installCommand : floorCommand, false);
            if (!run.finished || run.exitCode != 0) {
                std::printf("%s: %s %s in round %d\n", product.c_str(), isInstall ? "the silent install" : "the floor",
                            RunProblem(run).c_str(), round + 1);
                return 1;
            }
            (isInstall ? installTimes : floorTimes).push_back(run.seconds * 1000);
        }
        std::printf("%s round %d: setup /S %.1f ms, plain-write floor process %.1f ms\n", product.c_str(), round + 1,
                    installTimes.back(), floorTimes.back());
    }
    // Where the install's time goes, as the timed link of the same setup
    // measures it itself when the benchmark's variable asks for it: rounds
    // of their own, so the ratio above is of the setup exactly as users run
    // it.
    const std::vector<Phase> phases = PhaseMedians(timedCommand, mainDir, listFolder + "phases.tsv", 5);
    std::vector<double> installPeaks, floorPeaks, windowFloorPeaks;
    for (int round = 0; round < 3; ++round) {
        RemoveInstalled(mainDir);
        installPeaks.push_back(RunProcess(installCommand, true).peakWorkingSet / kMiB);
        RemoveInstalled(mainDir);
        floorPeaks.push_back(RunProcess(floorCommand, true).peakWorkingSet / kMiB);
        RemoveInstalled(mainDir);
        const Run windowFloor = RunProcess(windowFloorCommand, true);
        if (windowFloor.exitCode != 0) {
            std::printf("%s: the plain-write floor with the window call %s\n", product.c_str(),
                        RunProblem(windowFloor).c_str());
            return 1;
        }
        windowFloorPeaks.push_back(windowFloor.peakWorkingSet / kMiB);
    }
    RemoveInstalled(mainDir);
    DeleteFolderTree(listFolder);
    for (const Phase& phase : phases) {
        std::printf("%s /S phase %s: median %.1f ms\n", product.c_str(), phase.name.c_str(), phase.milliseconds);
        std::string key = "phase_" + phase.name + "_ms";
        std::replace(key.begin(), key.end(), ' ', '_');
        PrintResult(product, key.c_str(), phase.milliseconds);
    }

    const double installMs = Median(installTimes), floorMs = Median(floorTimes);
    const double installPeak = Median(installPeaks), floorPeak = Median(floorPeaks);
    const double windowFloorPeak = Median(windowFloorPeaks);
    const double peakLimit =
        std::max(floorPeak + kMemoryAboveFloorMiB, windowFloorPeak + kMemoryAboveWindowFloorMiB);
    std::printf("%s setup /S median of %d: %.1f ms; floor process: %.1f ms; per-round ratio %.2f\n", product.c_str(),
                rounds, installMs, floorMs, MedianRatio(installTimes, floorTimes));
    std::printf("%s peak working set: setup /S %.1f MB, floor process %.1f MB, with the window call %.1f MB "
                "(target: at most %.0f MB above the first or %.0f MB above the second, whichever is more)\n",
                product.c_str(), installPeak, floorPeak, windowFloorPeak, kMemoryAboveFloorMiB,
                kMemoryAboveWindowFloorMiB);
    PrintPairResults(product, "silent", installTimes, floorTimes, product == "large" ? 1.15 : 1.5);
    if (installPeak > 0 && floorPeak > 0 && windowFloorPeak > 0) PrintResult(product, "peak_mb", installPeak, peakLimit);
    if (floorPeak > 0) PrintResult(product, "floor_peak_mb", floorPeak);
    if (windowFloorPeak > 0) PrintResult(product, "floor_window_peak_mb", windowFloorPeak);
    return 0;
}
