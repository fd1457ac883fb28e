// The real setup program of this build started without its wizard ("/S",
// "/P") and watched from outside while it runs: every visible top-level
// window of its process is noted the moment it shows, and its exit code and
// time are kept. Also what such a run leaves behind and the means to take
// it away, the installed files the sample payload stands for, and the
// setup's own diagnostic log read back line by line.
//
// The Wine prefix is shared by every test program of the run, so each test
// removes what an installation can leave (the default and scratch
// destinations, the product's data folders, its registry key, the uninstall
// entry, the shortcuts, running stand-ins) before and after it runs.
#pragma once

#include "instutils/Files.h"
#include "instutils/Handles.h"
#include "instutils/PathText.h"
#include "instutils/Paths.h"
#include "tests/registration/PostInstallTraces.h"
#include "tests/setup/SetupWalk.h"
#include "tests/support/ProcessDriver.h"
#include "tests/support/RegistryScratch.h"
#include "tests/support/Screens.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace qwp::test::unattended {

inline constexpr char kProgressClass[] = "QuilvaneSetupProgress";

inline std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

inline std::string Lower(std::string text) {
    if (!text.empty()) CharLowerBuffA(&text[0], static_cast<DWORD>(text.size()));
    return text;
}

inline std::vector<std::string> LinesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

inline bool StartsWith(const std::string& text, const std::string& prefix) { return text.rfind(prefix, 0) == 0; }

// The pictures of one case: screens/unattended-<name>/<arch>/ beside this
// architecture's build folder.
inline std::string CaseScreens(const std::string& name) { return ScreensFolder("unattended-" + name); }

inline std::string DefaultDestination() { return JoinPath(GetSpecialFolder(CSIDL_PROGRAM_FILES), "Quilvane"); }
inline std::string CommonDataFolder() { return JoinPath(GetSpecialFolder(CSIDL_COMMON_APPDATA), "Quilvane\\"); }
inline std::string HiddenFolder() { return CommonDataFolder() + "Hidden\\"; }
inline std::string PublicFolder() { return CommonDataFolder() + "Public\\"; }
inline std::string SpellingFolder() { return PublicFolder() + "Spellcheck\\"; }
inline std::string UserDataFolder() { return JoinPath(GetSpecialFolder(CSIDL_APPDATA), "Quilvane\\"); }

// Everything an installation can leave outside a test's own folders.
inline void RemoveInstallation() {
    CloseStandInWindows();
    RemoveShortcuts();
    DeleteUninstallEntry();
    RemoveTree(DefaultDestination() + "\\");
    RemoveTree(CommonDataFolder());
    RemoveTree(UserDataFolder());
    RegDeleteTreeA(HKEY_CURRENT_USER, kProductKey);
}

// What of an installation into mainDir exists, by name; empty when the
// run wrote nothing at all.
inline std::vector<std::string> TracesOfInstallation(const std::string& mainDir) {
    std::vector<std::string> found;
    if (FolderExists(mainDir)) found.push_back("destination " + mainDir);
    if (FolderExists(CommonDataFolder())) found.push_back("common data folder " + CommonDataFolder());
    if (FolderExists(UserDataFolder())) found.push_back("user data folder " + UserDataFolder());
    if (KeyExists(kProductKey)) found.push_back(std::string("HKCU\\") + kProductKey);
    if (UninstallEntryValue("UninstallString") != "absent") found.push_back("uninstall entry");
    for (const std::string& place : ShortcutPlaces())
        if (PathPresent(place)) found.push_back("shortcut " + place);
    return found;
}

inline std::string Joined(const std::vector<std::string>& items, const char* separator = "; ") {
    std::string text;
    for (const std::string& item : items) text += (text.empty() ? "" : separator) + item;
    return text;
}

// A stored choice below the Install key as "REG_DWORD:n" or "REG_SZ:text";
// "absent" when missing or of another type.
inline std::string StoredValue(const char* name) {
    if (const auto number = ReadDwordValue(kInstallKey, name)) return "REG_DWORD:" + std::to_string(*number);
    if (const auto text = ReadSzValue(kInstallKey, name)) return "REG_SZ:" + *text;
    return "absent";
}

// The files of the sample payload as the manifest lists them.
struct PayloadEntry {
    std::string name;       // the entry's name in the payload
    std::string source;     // the file it was packed from ("@qwp": the stand-in program)
    std::string timestamp;  // local time, "YYYY-MM-DD hh:mm:ss"
};

inline std::vector<PayloadEntry> ReadManifest() {
    std::vector<PayloadEntry> entries;
    for (const std::string& line : LinesOf(ReadWholeFile(SourceFile("sample/manifest.tsv")))) {
        if (line.empty() || line[0] == '#') continue;
        const std::size_t tab1 = line.find('\t'), tab2 = line.find('\t', tab1 + 1);
        if (tab2 == std::string::npos) continue;
        entries.push_back({line.substr(0, tab1), line.substr(tab1 + 1, tab2 - tab1 - 1), line.substr(tab2 + 1)});
    }
    return entries;
}

inline std::string SourceBytes(const PayloadEntry& entry) {
    if (entry.source == "@qwp") return ReadWholeFile(BuildFile("qwp.exe"));
    return ReadWholeFile(SourceFile("sample/files/" + entry.source));
}

// Where an installation with every component writes an entry: the spelling
// files into the spelling folder, templates, clips and the autotext file
// into the shared Public folder, the rest into the destination.
inline std::string InstalledPath(const std::string& mainDir, const std::string& name) {
    static const std::set<std::string> spelling = {"english (american).asc", "english (british).asc", "english.zlx",
                                                   "us.zlx", "uk.zlx", "userdicen.tlx", "english (american).cache"};
    const std::string lower = Lower(name);
    if (spelling.count(lower)) return SpellingFolder() + name;
    if (StartsWith(lower, "templates\\") || StartsWith(lower, "clip library\\") || lower == "basic.asn")
        return PublicFolder() + name;
    return JoinPath(mainDir, name);
}

// Every copy such an installation makes, lower case: one per payload entry,
// and the American spelling cache once more as the British one.
inline std::set<std::string> ExpectedCopies(const std::string& mainDir) {
    std::set<std::string> copies;
    for (const PayloadEntry& entry : ReadManifest()) copies.insert(Lower(InstalledPath(mainDir, entry.name)));
    copies.insert(Lower(SpellingFolder() + "English (British).cache"));
    return copies;
}

// A file's last-write time in local time, as the manifest writes it.
inline std::string LocalWriteTime(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return "missing";
    FILETIME local;
    SYSTEMTIME time;
    FileTimeToLocalFileTime(&data.ftLastWriteTime, &local);
    FileTimeToSystemTime(&local, &time);
    char text[32];
    std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u", time.wYear, time.wMonth, time.wDay, time.wHour,
                  time.wMinute, time.wSecond);
    return text;
}

// The payload entries whose installed file is missing or differs from its
// source in content or time, as "path: why", at most ten.
inline std::vector<std::string> WrongInstalledFiles(const std::string& mainDir) {
    std::vector<std::string> wrong;
    for (const PayloadEntry& entry : ReadManifest()) {
        const std::string path = InstalledPath(mainDir, entry.name);
        const std::string time = LocalWriteTime(path);
        if (time == "missing")
            wrong.push_back(path + ": missing");
        else if (ReadWholeFile(path) != SourceBytes(entry))
            wrong.push_back(path + ": content differs");
        else if (time != entry.timestamp)
            wrong.push_back(path + ": time " + time + ", expected " + entry.timestamp);
        if (wrong.size() == 10) break;
    }
    return wrong;
}

// Install.log after an installation with every component and both
// all-users shortcuts into mainDir, when neither it nor the common data
// folder existed before: the folders made while logging was on, then the
// logged copies in the order they were made.
inline std::string ExpectedInstallLog(const std::string& mainDir) {
    return "Made Dir: " + CommonDataFolder() + "\r\n" + "Made Dir: " + PublicFolder() + "\r\n" +
           "Made Dir: " + SpellingFolder() + "\r\n" + "Made Dir: " + HiddenFolder() + "\r\n" +
           "Made Dir: " + JoinPath(mainDir, "") + "\r\n" + "File Copy: " + JoinPath(mainDir, "qwp.exe") + "\r\n" +
           "File Copy: " + JoinPath(mainDir, "License.txt") + "\r\n" +
           "File Copy: " + JoinPath(mainDir, "Hyphenation.dat") + "\r\n" + "File Copy: " + PublicFolder() +
           "Basic.asn\r\n" + "File Copy: " + ShortcutPlaces()[0] + "\r\n" + "File Copy: " + ShortcutPlaces()[2] +
           "\r\n";
}

// What was seen of one run of the setup.
struct RunSeen {
    DWORD exitCode = STILL_ACTIVE;  // STILL_ACTIVE: not started, or still running at the timeout
    DWORD milliseconds = 0;         // from the start to the end seen
    std::vector<HWND> windows;      // every visible top-level window of the process, in the order seen
    std::vector<std::string> shown; // the same as "class \"caption\""
};

inline std::string WindowClass(HWND window) {
    char name[256] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

// The caption as the system keeps it: for a window of another process no
// message is sent, so a busy setup never holds the watcher up.
inline std::string Caption(HWND window) {
    char text[512] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

struct VisibleSearch {
    DWORD processId;
    std::vector<HWND>* found;
};

inline BOOL CALLBACK CollectVisible(HWND window, LPARAM lParam) {
    auto* search = reinterpret_cast<VisibleSearch*>(lParam);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    RECT area{};
    GetWindowRect(window, &area);
    // As TopWindowOf counts them: a visible window of no size is nothing a
    // user sees.
    if (owner == search->processId && IsWindowVisible(window) && !IsRectEmpty(&area)) search->found->push_back(window);
    return TRUE;
}

inline std::vector<HWND> VisibleWindowsOf(DWORD processId) {
    std::vector<HWND> found;
    VisibleSearch search{processId, &found};
    EnumWindows(CollectVisible, reinterpret_cast<LPARAM>(&search));
    return found;
}

// Called on every look while the run goes on, with its visible top-level
// windows at that moment.
using WindowWatcher = std::function<void(const ChildProcess&, const std::vector<HWND>&)>;

// Starts the program with the arguments and looks at the process's
// top-level windows every few milliseconds until it ends or the timeout
// passes (the process is then ended).
inline RunSeen WatchRun(const std::string& program, const std::string& arguments, DWORD timeout = kInstallTimeout,
                        const WindowWatcher& watcher = {}) {
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

inline RunSeen WatchSetup(const std::string& arguments, DWORD timeout = kInstallTimeout,
                          const WindowWatcher& watcher = {}) {
    return WatchRun(BuildFile("setup.exe"), arguments, timeout, watcher);
}

inline void PrintRun(const char* what, const RunSeen& seen) {
    std::printf("[ unattended ] %s: exit %lu after %lu ms, %zu window(s) shown%s%s\n", what,
                static_cast<unsigned long>(seen.exitCode), static_cast<unsigned long>(seen.milliseconds),
                seen.windows.size(), seen.shown.empty() ? "" : ": ", Joined(seen.shown).c_str());
}

// The run's diagnostic log, line by line; empty when there is none.
inline std::vector<std::string> RunLogLines(const std::string& path) { return LinesOf(ReadWholeFile(path)); }

// Lines of the log that begin with the kind given and a colon, the kind
// and colon taken off.
inline std::vector<std::string> LinesOfKind(const std::vector<std::string>& lines, const std::string& kind) {
    std::vector<std::string> found;
    for (const std::string& line : lines)
        if (StartsWith(line, kind + ": ")) found.push_back(line.substr(kind.size() + 2));
    return found;
}

inline std::string LastLine(const std::vector<std::string>& lines) { return lines.empty() ? "(no log)" : lines.back(); }

// A copy of this build's setup program in the folder given with one byte
// in the middle of its packed payload flipped; false when it could not be
// made.
inline bool MakeDamagedSetup(const std::string& program) {
    if (!CopyFileA(BuildFile("setup.exe").c_str(), program.c_str(), FALSE)) return false;
    const std::string payload = ReadWholeFile(BuildFile("payload/payload.bin"));
    std::string image = ReadWholeFile(program);
    if (payload.size() < 1000) return false;
    const std::size_t at = image.find(payload.substr(0, 256));
    if (at == std::string::npos) return false;
    image[at + payload.size() / 2] ^= 0x20;
    return WriteWholeFile(program, image);
}

// A copy of the stand-in word processor of this build, in a folder of the
// test, running with its marked window for as long as this lives.
class RunningStandIn {
public:
    RunningStandIn() : program_(folder_ / "qwp.exe") {
        if (!CopyFileA(BuildFile("qwp.exe").c_str(), program_.c_str(), FALSE)) return;
        process_ = std::make_unique<ChildProcess>(Quoted(program_));
        if (process_->Started()) window_ = WaitForWindow(process_->Id(), "Quilvane Word Processor", kStartTimeout);
    }
    ~RunningStandIn() {
        if (window_) PostMessageA(window_, WM_CLOSE, 0, 0);
        if (process_) process_->WaitForExit(kStartTimeout);
    }
    RunningStandIn(const RunningStandIn&) = delete;
    RunningStandIn& operator=(const RunningStandIn&) = delete;

    // Its window is up and carries the property the setup looks for.
    bool Running() const { return window_ && GetPropA(window_, "1.x Sorvelin") != nullptr; }

private:
    TempFolder folder_;
    std::string program_;
    std::unique_ptr<ChildProcess> process_;
    HWND window_ = nullptr;
};

// A test that starts from no installation at all and leaves none, with a
// scratch destination of its own that does not exist yet (its name has a
// space, so it must be quoted on the command line).
class UnattendedTest : public ::testing::Test {
protected:
    void SetUp() override {
        RemoveInstallation();
        ASSERT_EQ(Joined(TracesOfInstallation(DefaultDestination())), "") << "an earlier installation is left";
    }
    void TearDown() override { RemoveInstallation(); }

    std::string Destination() const { return scratch_ / "Quilvane Dest"; }
    std::string DestinationArgument() const { return Quoted("-d" + Destination()); }
    std::string InDestination(const std::string& name) const { return JoinPath(Destination(), name); }

    TempFolder scratch_;
};

}  // namespace qwp::test::unattended
