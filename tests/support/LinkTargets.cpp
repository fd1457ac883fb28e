#include "tests/support/LinkTargets.h"

#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>
#include <windows.h>

namespace qwp::test {
namespace {

// The Unix path of a Windows path whose last part need not exist; empty
// outside Wine.
std::string UnixPathOf(const std::string& path) {
    using ToUnix = char*(CDECL*)(LPCWSTR);
    const auto toUnix = reinterpret_cast<ToUnix>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    char* unixPath = toUnix ? toUnix(std::wstring(path.begin(), path.end()).c_str()) : nullptr;
    if (!unixPath) return {};
    std::string result = unixPath;
    HeapFree(GetProcessHeap(), 0, unixPath);
    return result;
}

// An argument as the command line carries it to the program's argv: in
// quotes, a quote and the backslashes before it escaped.
std::string CommandLineArgument(const std::string& argument) {
    std::string quoted = "\"";
    std::size_t backslashes = 0;
    for (const char c : argument) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        quoted.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
        backslashes = 0;
        quoted += c;
    }
    quoted.append(backslashes * 2, '\\');
    return quoted + "\"";
}

// Wine starts a non-Windows executable named by its drive path ("Z:\bin\ln")
// as a Unix process; the process handle does not follow it to its end, so
// callers look for its effect. Empty when started, else why not.
std::string StartUnixProgram(const std::string& program, const std::vector<std::string>& arguments) {
    std::string commandLine = "prog";
    for (const std::string& argument : arguments) commandLine += " " + CommandLineArgument(argument);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(("Z:" + program).c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process))
        return "Z:" + program + " could not be started, error " + std::to_string(GetLastError());
    // For a Unix program Wine gives no process handle and leaves no thread
    // handle of ours in the other field: closing that number would close
    // whichever handle of this process happens to have it.
    if (process.hProcess) {
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    return {};
}

bool Present(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// Waits up to ten seconds for every path to be there (or to be gone).
bool WaitForPaths(const std::vector<std::string>& paths, bool present) {
    for (int i = 0; i < 1000; ++i, Sleep(10)) {
        bool all = true;
        for (const std::string& path : paths) all = all && Present(path) == present;
        if (all) return true;
    }
    return false;
}

}  // namespace

std::string UnixLinks::Make(const std::vector<std::pair<std::string, std::string>>& targetsAndLinks) {
    std::vector<std::string> arguments{"-c", "while [ $# -gt 1 ]; do ln -s \"$1\" \"$2\" || exit 1; shift 2; done",
                                       "sh"};
    std::vector<std::string> links;
    for (const auto& [target, link] : targetsAndLinks) {
        const std::string unixTarget = UnixPathOf(target), unixLink = UnixPathOf(link);
        if (unixTarget.empty() || unixLink.empty()) return "not under Wine: wine_get_unix_file_name is missing";
        arguments.push_back(unixTarget);
        arguments.push_back(unixLink);
        links.push_back(link);
        unixLinks_.push_back(unixLink);
    }
    const std::string why = StartUnixProgram("/bin/sh", arguments);
    links_.insert(links_.end(), links.begin(), links.end());
    if (!why.empty()) return why;
    return WaitForPaths(links, true) ? "" : "the links made by ln -s did not all appear";
}

UnixLinks::~UnixLinks() {
    if (unixLinks_.empty()) return;
    std::vector<std::string> arguments{"-f", "--"};
    arguments.insert(arguments.end(), unixLinks_.begin(), unixLinks_.end());
    if (StartUnixProgram("/bin/rm", arguments).empty()) WaitForPaths(links_, false);
}

LinkTargets::LinkTargets(const std::string& folder)
    : full(folder + "full"), empty(folder + "empty"), file(folder + "file.txt") {
    CreateDirectoryA(folder.c_str(), nullptr);
    EXPECT_TRUE(CreateDirectoryA(full.c_str(), nullptr)) << full;
    EXPECT_TRUE(CreateDirectoryA(empty.c_str(), nullptr)) << empty;
    EXPECT_TRUE(WriteWholeFile(full + "\\precious.txt", "precious"));
    EXPECT_TRUE(WriteWholeFile(file, "file"));
}

std::string LinkTargets::Damage() const {
    std::string damage;
    if (ReadWholeFile(full + "\\precious.txt") != "precious") damage += full + "\\precious.txt is gone or changed; ";
    const DWORD attributes = GetFileAttributesA(empty.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY))
        damage += empty + " is gone; ";
    if (ReadWholeFile(file) != "file") damage += file + " is gone or changed; ";
    return damage;
}

}  // namespace qwp::test
