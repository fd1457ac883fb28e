// A run of this build's setup program without its wizard ("/S", "/P")
// watched from outside while it goes on: every visible top-level window of
// its process is noted the moment it shows, and its exit code and time are
// kept. Also the run's own diagnostic log, asked for and read back.
#pragma once

#include "tests/support/ProcessDriver.h"
#include "tests/support/SetupWalk.h"

#include <windows.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace qwp::test {

inline constexpr char kProgressClass[] = "QuilvaneSetupProgress";

// What was seen of one run of the setup.
struct RunSeen {
    DWORD exitCode = STILL_ACTIVE;   // STILL_ACTIVE: not started, or still running at the timeout
    DWORD milliseconds = 0;          // from the start to the end seen
    std::vector<HWND> windows;       // every visible top-level window of the process, in the order seen
    std::vector<std::string> shown;  // the same as "class \"caption\""
};

std::string WindowClass(HWND window);

// Called on every look while the run goes on, with its visible top-level
// windows at that moment.
using WindowWatcher = std::function<void(const ChildProcess&, const std::vector<HWND>&)>;

// Starts the program with the arguments and looks at the process's
// top-level windows every few milliseconds until it ends or the timeout
// passes (the process is then ended, and that is a failure).
RunSeen WatchRun(const std::string& program, const std::string& arguments, DWORD timeout = kInstallTimeout,
                 const WindowWatcher& watcher = {});
// The same for this build's setup.exe.
RunSeen WatchSetup(const std::string& arguments, DWORD timeout = kInstallTimeout, const WindowWatcher& watcher = {});

// The pictures of one case: screens/unattended-<name>/<arch>/ beside this
// architecture's build folder.
std::string CaseScreens(const std::string& name);

// The run's diagnostic log, line by line; empty when there is none.
std::vector<std::string> RunLogLines(const std::string& path);
// Lines of the log that begin with the kind given and a colon, the kind
// and colon taken off.
std::vector<std::string> LinesOfKind(const std::vector<std::string>& lines, const std::string& kind);

// The diagnostic log of the runs a test starts, at a path of its own.
class RunLogFile {
public:
    explicit RunLogFile(std::string path) : path_(std::move(path)) {}

    const std::string& Path() const { return path_; }
    // The switch that asks a run for this log, quoted: "/LOG=<path>".
    std::string Switch() const;
    // What the last run wrote, line by line; empty when there is no log.
    std::vector<std::string> Lines() const { return RunLogLines(path_); }
    // Its last line; "(no log)" when there is none.
    std::string LastLine() const;
    // The programs the run started, each command line as it was given to
    // the system (its "Started" lines): once the run has ended, every start
    // it made is there.
    std::vector<std::string> Starts() const { return LinesOfKind(Lines(), "Started"); }
    // Takes the log away, so the next run's is not mistaken for this one's.
    void Remove() const;

private:
    std::string path_;
};

}  // namespace qwp::test
