// What the installer-utility tests share: the unit's process-wide state saved
// and put back around each test, a fresh folder per test, and Unix symbolic
// links made from the test under Wine.
#pragma once

#include "instutils/Handles.h"
#include "instutils/InstUtils.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace qwp::test {

using Lines = std::vector<std::string>;

// The Unix path of a Windows path whose last part need not exist; empty
// outside Wine.
inline std::string UnixPathOf(const std::string& path) {
    using ToUnix = char*(CDECL*)(LPCWSTR);
    const auto toUnix = reinterpret_cast<ToUnix>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    char* unixPath = toUnix ? toUnix(std::wstring(path.begin(), path.end()).c_str()) : nullptr;
    if (!unixPath) return {};
    std::string result = unixPath;
    HeapFree(GetProcessHeap(), 0, unixPath);
    return result;
}

// Waits up to ten seconds for a path to appear (or to go).
inline bool WaitForPath(const std::string& path, bool present = true) {
    for (int i = 0; i < 200; ++i, Sleep(50))
        if ((GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES) == present) return true;
    return false;
}

// Wine starts a non-Windows executable named by its drive path ("Z:\bin\ln")
// as a Unix process; the process handle does not follow it to its end, so
// callers wait for its effect. Empty when started, else why not.
inline std::string StartUnixProgram(const std::string& program, const std::vector<std::string>& arguments) {
    std::string commandLine = "prog";
    for (const std::string& argument : arguments) commandLine += " \"" + argument + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(("Z:" + program).c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process))
        return "Z:" + program + " could not be started, error " + std::to_string(GetLastError());
    WaitForSingleObject(process.hProcess, 10000);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return {};
}

// Makes `link` a Unix symbolic link to `target`: empty when it worked, else
// the reason to skip.
inline std::string MakeUnixSymlink(const std::string& target, const std::string& link) {
    const std::string unixTarget = UnixPathOf(target), unixLink = UnixPathOf(link);
    if (unixTarget.empty() || unixLink.empty()) return "not under Wine: wine_get_unix_file_name is missing";
    const std::string why = StartUnixProgram("/bin/ln", {"-s", unixTarget, unixLink});
    if (!why.empty()) return why;
    return WaitForPath(link) ? "" : "the link made by /bin/ln -s did not appear at " + link;
}

// Removes from the Unix side what a test made links in, links as links: the
// test support's own clean-up would reach through them under Wine.
inline void RemoveUnixTree(const std::string& folder) {
    const std::string unixFolder = UnixPathOf(folder);
    if (!unixFolder.empty() && StartUnixProgram("/bin/rm", {"-rf", unixFolder}).empty()) WaitForPath(folder, false);
}

inline std::string Attributes(const std::string& path) {
    char text[16];
    snprintf(text, sizeof text, "0x%lx", GetFileAttributesA(path.c_str()));
    return text;
}

class InstUtilsTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = GetCurrentFolder();
        log_ = std::move(InstallLog);
        logPath_ = InstallLogPath;
        suppression_ = LogSuppression;
        temp_ = Environment("TMP");
        InstallLogPath.clear();
        LogSuppression = 0;
    }
    void TearDown() override {
        SetCurrentDirectoryA(folder_.c_str());
        InstallLog = std::move(log_);
        InstallLogPath = logPath_;
        LogSuppression = suppression_;
        RedirectTemp(temp_);
    }
    void StartLog() { InstallLog = std::make_unique<Lines>(); }
    Lines Log() const { return InstallLog ? *InstallLog : Lines(); }

    TempFolder scratch_;

private:
    std::string folder_, logPath_, temp_;
    std::unique_ptr<Lines> log_;
    std::int32_t suppression_ = 0;
};

}  // namespace qwp::test
