// What the post-install actions leave outside a test's own folders, and the
// means to look at it and take it away: the stand-in word processor's
// windows, the four shortcut files and what they hold.
#pragma once

#include "instutils/DateTime.h"
#include "instutils/Handles.h"
#include "instutils/PathText.h"
#include "instutils/Paths.h"
#include "registration/PostInstall.h"
#include "tests/support/TempFolder.h"
#include "tests/support/ProcessParents.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <objidl.h>
#include <shlobj.h>

#include <cstring>
#include <string>
#include <vector>

namespace qwp::test {

// The local time now as a date-time value, to bracket a time the program
// writes.
inline double LocalNowForTest() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    double value = 0.0;
    EncodeDateTime({now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond, now.wMilliseconds}, value);
    return value;
}

// The shortcut file in each folder it can be placed in: all users' and the
// user's Programs, all users' and the user's Desktop (CSIDL 23, 2, 25, 16).
inline std::vector<std::string> ShortcutPlaces() {
    std::vector<std::string> places;
    for (int csidl : {0x17, 0x02, 0x19, 0x10}) {
        const std::string folder = GetSpecialFolder(csidl);
        places.push_back(folder.empty() ? std::string() : JoinPath(folder, kShortcutName));
    }
    return places;
}

// Wine's shell starts winemenubuilder for every shortcut saved below a
// Programs or Desktop folder: it writes menu and desktop entries into the
// Unix home folder, outside any test prefix, and reads the new shortcut
// while the test goes on (a delete of it can then fail). Switched off for
// the shortcuts this process saves. A program the test starts (the setup)
// runs its menu builder with the Wine settings the test run began with, so
// for those only the test script's environment can switch it off.
inline void NoWineMenuBuilder() {
    const char kOverride[] = "winemenubuilder.exe=d";
    char current[4096] = {};
    const DWORD length = GetEnvironmentVariableA("WINEDLLOVERRIDES", current, sizeof current);
    std::string value = length > 0 && length < sizeof current ? current : "";
    if (value.find(kOverride) != std::string::npos) return;
    value += (value.empty() ? "" : ";") + std::string(kOverride);
    SetEnvironmentVariableA("WINEDLLOVERRIDES", value.c_str());
}

inline bool PathPresent(const std::string& path) {
    return !path.empty() && GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The shortcut files, or the empty folders a test made in their places.
inline void RemoveShortcuts() {
    for (const std::string& place : ShortcutPlaces())
        if (!place.empty() && !DeleteFileA(place.c_str())) RemoveDirectoryA(place.c_str());
}

// Closes every window of the stand-in word processor (any process) and waits
// until those processes have ended; the number of windows closed.
inline int CloseStandInWindows() {
    WaitForStartingPrograms("qwp.exe", "QuilvaneWordProcessor");
    std::vector<HWND> windows;
    HWND window = nullptr;
    while ((window = FindWindowExA(nullptr, window, "QuilvaneWordProcessor", nullptr)) != nullptr)
        windows.push_back(window);
    for (HWND found : windows) {
        DWORD id = 0;
        GetWindowThreadProcessId(found, &id);
        UniqueKernelHandle process(OpenProcess(SYNCHRONIZE, FALSE, id));
        PostMessageA(found, WM_CLOSE, 0, 0);
        if (process) WaitForSingleObject(process.get(), 10000);
    }
    return static_cast<int>(windows.size());
}

// The registry view a program of this build's architecture writes
// HKEY_LOCAL_MACHINE\Software to: the 32-bit one (Wow6432Node on 64-bit
// Windows) for the i686 build, the 64-bit one for the x86_64 build.
inline REGSAM OwnMachineView() { return sizeof(void*) == 4 ? KEY_WOW64_32KEY : KEY_WOW64_64KEY; }

// A text or DWORD value of the real uninstall entry in that view, as
// "REG_SZ:text" or "REG_DWORD:n"; "absent" when missing.
inline std::string UninstallEntryValue(const char* name) {
    HKEY raw = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE,
                      "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Quilvane Word Processor", 0,
                      KEY_READ | OwnMachineView(), &raw) != ERROR_SUCCESS)
        return "absent";
    UniqueRegKey key(raw);
    DWORD type = 0;
    char data[2048] = {};
    DWORD size = sizeof data - 1;
    if (RegQueryValueExA(key.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(data), &size) != ERROR_SUCCESS)
        return "absent";
    if (type == REG_DWORD && size == 4) {
        DWORD number = 0;
        std::memcpy(&number, data, 4);
        return "REG_DWORD:" + std::to_string(number);
    }
    if (type == REG_SZ) return std::string("REG_SZ:") + data;
    return "type " + std::to_string(type);
}

// Removes the real uninstall entry of that view.
inline void DeleteUninstallEntry() {
    HKEY raw = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall", 0,
                      KEY_ALL_ACCESS | OwnMachineView(), &raw) != ERROR_SUCCESS)
        return;
    UniqueRegKey key(raw);
    RegDeleteTreeA(key.get(), "Quilvane Word Processor");
}

// The user's own Desktop folder moved to a folder of the test for as long as
// this lives (and Wine's menu builder switched off), through the user shell folders below HKEY_CURRENT_USER, which
// must be a scratch key (RegistryScratch) already. Wine links the user's
// Desktop to the Unix home folder, which every prefix and every test run on
// the machine shares: shortcuts made or deleted there would meet those of
// other runs.
class UserDesktopRedirect {
public:
    UserDesktopRedirect() : desktop_(folder_ / "Desktop") {
        NoWineMenuBuilder();
        CreateDirectoryA(desktop_.c_str(), nullptr);
        HKEY raw = nullptr;
        if (RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders",
                            0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &raw, nullptr) ==
            ERROR_SUCCESS) {
            UniqueRegKey key(raw);
            RegSetValueExA(key.get(), "Desktop", 0, REG_SZ, reinterpret_cast<const BYTE*>(desktop_.c_str()),
                           static_cast<DWORD>(desktop_.size() + 1));
        }
        EXPECT_EQ(GetSpecialFolder(0x10), desktop_) << "the user's Desktop could not be moved";
    }
    UserDesktopRedirect(const UserDesktopRedirect&) = delete;
    UserDesktopRedirect& operator=(const UserDesktopRedirect&) = delete;

private:
    TempFolder folder_;
    std::string desktop_;
};

// For a test that walks the wizard through Finish (with HKEY_CURRENT_USER a
// scratch key): the user's Desktop moved into the test, the stand-in word
// processors closed and the shortcuts removed before and after, so no later
// test finds a running word processor or a stray shortcut.
class PostInstallCleanup {
public:
    PostInstallCleanup() { Clean(); }
    ~PostInstallCleanup() { Clean(); }
    PostInstallCleanup(const PostInstallCleanup&) = delete;
    PostInstallCleanup& operator=(const PostInstallCleanup&) = delete;

private:
    static void Clean() {
        CloseStandInWindows();
        RemoveShortcuts();
    }
    UserDesktopRedirect desktop_;
};

// Waits up to the time given for a stand-in window to appear.
inline bool StandInWindowAppears(DWORD milliseconds) {
    for (DWORD waited = 0;; waited += 50, Sleep(50)) {
        if (FindWindowExA(nullptr, nullptr, "QuilvaneWordProcessor", nullptr)) return true;
        if (waited >= milliseconds) return false;
    }
}

// A shortcut file read back through the shell link object.
struct LinkFields {
    bool loaded = false;
    std::string path, workingFolder, description, arguments;
};

inline LinkFields ReadLink(const std::string& file) {
    LinkFields fields;
    ComPtr<IShellLinkA> link;
    ComPtr<IPersistFile> persist;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, link.put())) ||
        FAILED(link->QueryInterface(IID_IPersistFile, persist.put())))
        return fields;
    const std::wstring wide(file.begin(), file.end());
    if (FAILED(persist->Load(wide.c_str(), STGM_READ))) return fields;
    fields.loaded = true;
    char text[MAX_PATH * 2] = {};
    WIN32_FIND_DATAA found;
    if (SUCCEEDED(link->GetPath(text, sizeof text, &found, SLGP_RAWPATH))) fields.path = text;
    text[0] = 0;
    if (SUCCEEDED(link->GetWorkingDirectory(text, sizeof text))) fields.workingFolder = text;
    text[0] = 0;
    if (SUCCEEDED(link->GetDescription(text, sizeof text))) fields.description = text;
    text[0] = 0;
    if (SUCCEEDED(link->GetArguments(text, sizeof text))) fields.arguments = text;
    return fields;
}

}  // namespace qwp::test
