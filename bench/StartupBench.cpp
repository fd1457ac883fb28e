// Measures how long the setup takes from its start to its first painted,
// input-ready wizard page, against a program that only opens an empty
// window, side by side in one run.
//
// Each round starts both programs, one after the other, the one that goes
// first alternating. A start is timed from CreateProcess until the process
// shows a visible top-level window, has finished painting it and waits for
// input (WaitForInputIdle), and its thread answers a message (a WM_NULL round
// trip). On a machine shared with other work the medians swing with the
// load; the ratio of the fastest starts of each swings less. The program is
// then ended outside the timed part: the setup through its own close
// question, so it cleans up as a user's run does. Both run with a temporary
// folder of their own, which must be empty at the end.
//
//   startup_bench.exe [rounds [product label, setup program]]
//
// Without a setup program named, the setup.exe beside this program is timed
// as the product "sample".
#include "bench/BenchSupport.h"
#include "tests/support/ProcessDriver.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using namespace qwp::test;
using qwp::bench::Median;
using qwp::bench::Minimum;
using qwp::bench::OwnFolder;

constexpr int kDefaultRounds = 15;
constexpr DWORD kStartTimeout = 30000;

double Milliseconds() { return 1000.0 * qwp::bench::Seconds(); }

struct Program {
    const char* label;
    std::string path;
    bool isSetup;
    std::vector<double> times;  // milliseconds from CreateProcess to ready
};

// Ends the setup as a user does on its first page: close, then Abort in the
// close question. False when it did not end that way with exit code 0.
bool CloseSetup(ChildProcess& process, HWND window) {
    PostMessageA(window, WM_CLOSE, 0, 0);
    HWND question = WaitForWindow(process.Id(), "Confirm", 10000);
    if (!question || !PressButton(question, "&Abort")) return false;
    return process.WaitForExit(10000) == 0;
}

struct Start {
    bool shown = false;       // a window appeared
    double time = 0;
    bool idleKnown = false;   // WaitForInputIdle answered
    bool closedCleanly = false;
};

Start TimeOneStart(const Program& program) {
    Start result;
    const double begin = Milliseconds();
    ChildProcess process("\"" + program.path + "\"");
    if (!process.Started()) return result;
    HWND window = nullptr;
    if (!WaitUntil([&] { return (window = TopWindowOf(process.Id())) != nullptr; }, kStartTimeout, 1)) return result;
    result.idleKnown = WaitForInputIdle(process.Handle(), kStartTimeout) == 0;
    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, kStartTimeout, &ignored);
    result.time = Milliseconds() - begin;
    result.shown = true;

    result.closedCleanly = program.isSetup
                               ? CloseSetup(process, window)
                               : (PostMessageA(window, WM_CLOSE, 0, 0) && process.WaitForExit(10000) == 0);
    // Whatever did not end by now is ended by the ChildProcess destructor.
    return result;
}

double Maximum(const std::vector<double>& values) { return *std::max_element(values.begin(), values.end()); }

// A private temporary folder for the started programs (they inherit TMP and
// TEMP); the names left in it at the end.
std::string MakeTempFolder() {
    char base[MAX_PATH];
    GetTempPathA(MAX_PATH, base);
    const std::string folder = std::string(base) + "qwp-startup-bench-" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(folder.c_str(), nullptr);
    SetEnvironmentVariableA("TMP", folder.c_str());
    SetEnvironmentVariableA("TEMP", folder.c_str());
    return folder;
}

std::vector<std::string> NamesIn(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA data;
    qwp::UniqueFind find(FindFirstFileA((folder + "\\*").c_str(), &data));
    if (!find) return names;
    do {
        const std::string name = data.cFileName;
        if (name != "." && name != "..") names.push_back(name);
    } while (FindNextFileA(find.get(), &data));
    return names;
}

}  // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : kDefaultRounds;
    const std::string folder = OwnFolder();
    const std::string product = argc > 3 ? argv[2] : "sample";
    const std::string setupPath = argc > 3 ? argv[3] : folder + "setup.exe";
    Program programs[2] = {{"empty window", folder + "empty_window.exe", false, {}},
                           {"setup.exe", setupPath, true, {}}};
    const std::string temp = MakeTempFolder();

    // One start of each, not counted, so neither pays for loading Wine's
    // libraries into the page cache.
    for (Program& program : programs) {
        if (!TimeOneStart(program).shown) {
            std::printf("startup: %s showed no window\n", program.label);
            return 1;
        }
    }
    int unclean = 0, idleUnknown = 0;
    for (int round = 0; round < rounds; ++round) {
        for (int k = 0; k < 2; ++k) {
            Program& program = programs[(round + k) % 2];
            const Start start = TimeOneStart(program);
            if (!start.shown) {
                std::printf("startup: %s showed no window in round %d\n", program.label, round + 1);
                return 1;
            }
            program.times.push_back(start.time);
            if (!start.closedCleanly) ++unclean;
            if (!start.idleKnown) ++idleUnknown;
        }
    }

    const Program& empty = programs[0];
    const Program& setup = programs[1];
    std::printf("%s startup to first painted, input-ready window, %d rounds, alternating:\n", product.c_str(), rounds);
    for (const Program& program : programs)
        std::printf("  %-13s median %7.1f ms   min %7.1f   max %7.1f\n", program.label, Median(program.times),
                    Minimum(program.times), Maximum(program.times));
    std::printf("  ratio setup / empty window: of the medians %.2f, median of the rounds' %.2f, of the minima %.2f\n",
                Median(setup.times) / Median(empty.times), qwp::bench::MedianRatio(setup.times, empty.times),
                Minimum(setup.times) / Minimum(empty.times));
    const std::vector<std::string> left = NamesIn(temp);
    std::printf("  input-idle waits that failed: %d; ended other than by their own close: %d; temporary files left: %zu\n",
                idleUnknown, unclean, left.size());
    for (const std::string& name : left) std::printf("    %s\n", name.c_str());
    RemoveDirectoryA(temp.c_str());
    // A target for the large product only: the sample's first page is the
    // wizard's own cost, the large one's adds the inflation of 100 MB.
    qwp::bench::PrintPairResults(product, "startup", setup.times, empty.times, product == "large" ? 3.0 : 0);
    return 0;
}
