// The real setup program of this build worked from outside through whole
// runs of its wizard: starting it, moving between pages, answering its
// message boxes, clearing rows of the components list, and keeping a picture of every page and
// every message box under screens/<scenario>/<arch>/ beside the build
// folder. Also what a run leaves: files below the product's folders, stored
// choices, and a snapshot of registry keys to compare before and after.
//
// The Wine prefix is shared by every test program of the run, so a scenario
// removes what an installation leaves (destination, the product's data
// folders, its registry key, the uninstall entry, shortcuts, running
// stand-ins) before and after it runs.
#pragma once

#include "instutils/Handles.h"
#include "instutils/PathText.h"
#include "instutils/Paths.h"
#include "tests/registration/PostInstallTraces.h"
#include "tests/setup/SetupWalk.h"
#include "tests/support/ProcessDriver.h"
#include "tests/support/TempFolder.h"
#include "wizard/ControlIds.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

// Its own namespace: the unattended scenarios of the same program keep
// helpers of the same names in theirs.
namespace qwp::test::interactive {

inline const char* const kPageNames[8] = {"welcome", "license", "destination", "components",
                                          "ready",   "installing", "associations", "complete"};

inline std::string Lower(std::string text) {
    if (!text.empty()) CharLowerBuffA(&text[0], static_cast<DWORD>(text.size()));
    return text;
}

inline std::string ArchName() { return sizeof(void*) == 4 ? "win32" : "win64"; }

// screens/<scenario>/<arch>/ beside this architecture's build folder, made
// when missing.
inline std::string ScenarioScreens(const std::string& scenario) {
    std::string build = BuildFile("");
    build.pop_back();  // the trailing backslash
    const std::string folder =
        build.substr(0, build.find_last_of('\\') + 1) + "screens\\" + scenario + "\\" + ArchName() + "\\";
    SHCreateDirectoryExA(nullptr, folder.c_str(), nullptr);
    return folder;
}

// Where a normal installation with no stored choices puts things.
inline std::string DefaultDestination() { return JoinPath(GetSpecialFolder(CSIDL_PROGRAM_FILES), "Quilvane"); }
inline std::string CommonDataFolder() { return JoinPath(GetSpecialFolder(CSIDL_COMMON_APPDATA), "Quilvane\\"); }
inline std::string HiddenFolder() { return CommonDataFolder() + "Hidden\\"; }
inline std::string PublicFolder() { return CommonDataFolder() + "Public\\"; }
inline std::string SpellingFolder() { return PublicFolder() + "Spellcheck\\"; }
inline std::string UserDataFolder() { return JoinPath(GetSpecialFolder(CSIDL_APPDATA), "Quilvane\\"); }

// Everything an installation into the default destination leaves behind.
inline void RemoveInstallation() {
    CloseStandInWindows();
    RemoveShortcuts();
    DeleteUninstallEntry();
    RemoveTree(DefaultDestination() + "\\");
    RemoveTree(CommonDataFolder());
    RemoveTree(UserDataFolder());
    RegDeleteTreeA(HKEY_CURRENT_USER, kProductKey);
}

// Every file below a folder (a folder text), relative to it, in the order
// the folders list them.
inline void ListFilesBelow(const std::string& folder, std::vector<std::string>& files,
                           const std::string& prefix = {}) {
    for (const std::string& name : Entries(folder)) {
        const std::string path = folder + name;
        const DWORD attributes = GetFileAttributesA(path.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
            ListFilesBelow(path + "\\", files, prefix + name + "\\");
        else
            files.push_back(prefix + name);
    }
}

inline std::string Joined(const std::vector<std::string>& items, const char* separator = "|") {
    std::string text;
    for (const std::string& item : items) text += (text.empty() ? "" : separator) + item;
    return text;
}

// The files below a folder as "a|b|sub\c"; "(no folder)" when it is missing.
inline std::string FilesBelow(const std::string& folder) {
    if (!FolderExists(folder)) return "(no folder)";
    std::vector<std::string> files;
    ListFilesBelow(JoinPath(folder, ""), files);
    return Joined(files);
}

inline bool FileExists(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// A stored choice below the Install key as "REG_DWORD:0x..." or
// "REG_SZ:text"; "absent" when missing.
inline std::string StoredValue(const char* name) {
    HKEY raw = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kInstallKey, 0, KEY_READ, &raw) != ERROR_SUCCESS) return "absent";
    UniqueRegKey key(raw);
    DWORD type = 0;
    BYTE data[1024] = {};
    DWORD size = sizeof data - 1;
    if (RegQueryValueExA(key.get(), name, nullptr, &type, data, &size) != ERROR_SUCCESS) return "absent";
    char text[1100];
    if (type == REG_DWORD && size == 4)
        std::snprintf(text, sizeof text, "REG_DWORD:0x%08lX",
                      static_cast<unsigned long>(*reinterpret_cast<DWORD*>(data)));
    else if (type == REG_SZ)
        std::snprintf(text, sizeof text, "REG_SZ:%s", reinterpret_cast<char*>(data));
    else
        std::snprintf(text, sizeof text, "type %lu, %lu bytes", static_cast<unsigned long>(type),
                      static_cast<unsigned long>(size));
    return text;
}

inline DWORD StoredDword(const char* name) {
    HKEY raw = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kInstallKey, 0, KEY_READ, &raw) != ERROR_SUCCESS) return 0xDEADBEEF;
    UniqueRegKey key(raw);
    DWORD type = 0, value = 0xDEADBEEF, size = sizeof value;
    if (RegQueryValueExA(key.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) !=
            ERROR_SUCCESS ||
        type != REG_DWORD)
        return 0xDEADBEEF;
    return value;
}

// A key with everything below it, one line per key ("path") and per value
// ("path: name = type:data", binary data in hex), keys and values in the
// order the registry lists them; "(absent)" when the key does not exist.
inline void SnapshotKey(HKEY key, const std::string& path, std::string& out) {
    out += path + "\n";
    char name[16384];
    std::vector<BYTE> data(65536);
    for (DWORD index = 0;; ++index) {
        DWORD nameLength = sizeof name, type = 0, size = static_cast<DWORD>(data.size());
        if (RegEnumValueA(key, index, name, &nameLength, nullptr, &type, data.data(), &size) != ERROR_SUCCESS)
            break;
        std::string shown;
        if (type == REG_SZ || type == REG_EXPAND_SZ) {
            shown = std::string(reinterpret_cast<const char*>(data.data()), size);
        } else {
            char hex[4];
            for (DWORD i = 0; i < size; ++i) {
                std::snprintf(hex, sizeof hex, "%02X", data[i]);
                shown += hex;
            }
        }
        out += path + ": " + name + " = " + std::to_string(type) + ":" + shown + "\n";
    }
    for (DWORD index = 0;; ++index) {
        DWORD nameLength = sizeof name;
        if (RegEnumKeyExA(key, index, name, &nameLength, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        HKEY raw = nullptr;
        if (RegOpenKeyExA(key, name, 0, KEY_READ, &raw) != ERROR_SUCCESS) {
            out += path + "\\" + name + " (cannot be opened)\n";
            continue;
        }
        UniqueRegKey sub(raw);
        SnapshotKey(sub.get(), path + "\\" + name, out);
    }
}

inline std::string RegistrySnapshot(HKEY root, const std::string& path, REGSAM view = 0) {
    HKEY raw = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ | view, &raw) != ERROR_SUCCESS) return "(absent)\n";
    UniqueRegKey key(raw);
    std::string out;
    SnapshotKey(key.get(), path, out);
    return out;
}

// The machine's whole list of uninstall entries, in both registry views.
inline std::string UninstallSnapshot() {
    const char kUninstall[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
    return "32-bit view:\n" + RegistrySnapshot(HKEY_LOCAL_MACHINE, kUninstall, KEY_WOW64_32KEY) +
           "64-bit view:\n" + RegistrySnapshot(HKEY_LOCAL_MACHINE, kUninstall, KEY_WOW64_64KEY);
}

// The captions of a window's push buttons, left to right, as "&No|&Abort".
inline BOOL CALLBACK CollectButton(HWND child, LPARAM lParam) {
    char cls[32] = {};
    GetClassNameA(child, cls, sizeof cls);
    if (lstrcmpiA(cls, "Button") == 0 && IsWindowVisible(child)) {
        RECT r;
        GetWindowRect(child, &r);
        reinterpret_cast<std::vector<std::pair<LONG, std::string>>*>(lParam)->push_back({r.left, WindowText(child)});
    }
    return TRUE;
}

inline std::string ButtonCaptions(HWND window) {
    std::vector<std::pair<LONG, std::string>> buttons;
    EnumChildWindows(window, CollectButton, reinterpret_cast<LPARAM>(&buttons));
    std::sort(buttons.begin(), buttons.end());
    std::vector<std::string> captions;
    for (const auto& button : buttons) captions.push_back(button.second);
    return Joined(captions);
}

// The program's texts break lines with a lone CR; its message box shows
// them with CR LF.
inline std::string WithCrLf(const std::string& text) {
    std::string out;
    for (char c : text) out += c == '\r' ? std::string("\r\n") : std::string(1, c);
    return out;
}

inline const char kCloseQuestion[] =
    "Setup is not complete. If you quit this setup program now,\r"
    "Quilvane will not be correctly installed.\r\r"
    "You may relaunch the setup program at a later time\r"
    "to complete the installation of Quilvane.\r\r"
    "To continue installing, click No.\r"
    "To quit this setup program, click Abort.";
inline const char kRunningMessage[] =
    "A copy of Quilvane Word Processor is already running on your system.\r"
    "Please close any running instance(s) of Quilvane Word Processor, then click OK in this dialog.";

// One message box of the setup, found by its caption.
struct MessageBoxSeen {
    HWND window = nullptr;
    std::string text;     // the message as its label shows it
    std::string buttons;  // "&No|&Abort"
};

// One run of the real setup, worked as a user works its wizard.
class SetupRun {
public:
    // Starts setup.exe with the arguments given, in the folder given (the
    // test's current folder when empty), and waits for the wizard.
    SetupRun(const std::string& scenario, const std::string& arguments = {}, const std::string& folder = {})
        : screens_(ScenarioScreens(scenario)),
          process_(std::make_unique<ChildProcess>(
              "\"" + BuildFile("setup.exe") + "\"" + (arguments.empty() ? "" : " " + arguments), folder)) {
        if (process_->Started()) window_ = WaitForWindow(process_->Id(), kCaption, kStartTimeout);
    }

    bool Started() const { return window_ != nullptr; }
    HWND Window() const { return window_; }
    ChildProcess& Process() { return *process_; }
    DWORD WaitForExit(DWORD milliseconds = kStartTimeout) { return process_->WaitForExit(milliseconds); }
    bool Running() { return process_->WaitForExit(0) == STILL_ACTIVE; }

    // The page is shown: its title in the top label and its sheet visible.
    bool OnPage(int page) const {
        return ControlText(window_, IDC_TopLbl) == kTitles[page] && ControlVisible(window_, IDC_WelcomeTabSheet + page);
    }
    bool WaitForPage(int page, DWORD timeout = kPageTimeout) const {
        return WaitUntil([&] { return OnPage(page); }, timeout);
    }
    // The page shown, -1 when none is.
    int Page() const {
        for (int page = 0; page < 8; ++page)
            if (OnPage(page)) return page;
        return -1;
    }

    void Next() { ClickControl(window_, IDC_NextBtn); }
    void Cancel() { ClickControl(window_, IDC_CancelBtn); }
    // The title bar's close box sends this command; Alt+F4 as well.
    void CloseBox() { PostMessageA(window_, WM_SYSCOMMAND, SC_CLOSE, 0); }
    void CloseMessage() { PostMessageA(window_, WM_CLOSE, 0, 0); }

    // The buttons as "Back|Next|Cancel", each caption with a "-" when
    // disabled; a hidden button is "(hidden)".
    std::string Buttons() const {
        std::string text;
        for (int id : {IDC_BackBtn, IDC_NextBtn, IDC_CancelBtn}) {
            if (!text.empty()) text += "|";
            if (!ControlVisible(window_, id)) {
                text += "(hidden)";
                continue;
            }
            text += ControlText(window_, id);
            if (!ControlEnabled(window_, id)) text += "-";
        }
        return text;
    }

    // Keeps a picture of a window of the run (the wizard by default) once
    // it has painted.
    void Shoot(const std::string& name, HWND window = nullptr) {
        if (!window) window = window_;
        DWORD_PTR ignored = 0;
        SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &ignored);
        Sleep(300);
        EXPECT_TRUE(CaptureWindow(window, screens_ + name + ".png")) << name;
    }
    void ShootPage(int page, const std::string& suffix = {}) {
        Shoot("page" + std::to_string(page) + "-" + kPageNames[page] + suffix);
    }

    // Next on every page from the one shown up to the page given, with a
    // picture of each page passed; false (and a failure) when a page does
    // not appear.
    bool WalkTo(int page, const std::string& suffix = {}) {
        for (int current = 0;; ++current) {
            if (!WaitForPage(current)) {
                ADD_FAILURE() << "page " << current << " did not appear; the title reads \""
                              << ControlText(window_, IDC_TopLbl) << "\"";
                return false;
            }
            ShootPage(current, suffix);
            if (current == page) return true;
            Next();
        }
    }

    // A message box of this run with the caption given, read once it is
    // there; window NULL when none appears in time.
    MessageBoxSeen WaitForMessage(const char* caption, DWORD timeout = kPageTimeout) {
        MessageBoxSeen seen;
        seen.window = WaitForWindow(process_->Id(), caption, timeout);
        if (!seen.window) return seen;
        // The box fills itself while it starts: wait for its buttons.
        WaitUntil([&] { return !ButtonCaptions(seen.window).empty(); }, 2000);
        seen.text = ChildTextOfClass(seen.window, "Static");
        seen.buttons = ButtonCaptions(seen.window);
        return seen;
    }

    // Presses a button of a message box and waits until the box is gone.
    static bool Answer(const MessageBoxSeen& box, const std::string& caption) {
        if (!box.window || !PressButton(box.window, caption)) return false;
        return WaitUntil([&] { return !IsWindow(box.window) || !IsWindowVisible(box.window); }, kPageTimeout);
    }

    // Closes the run through the close question (its Abort); true when the
    // process then ended with exit code 0.
    bool AbortThroughCloseQuestion(const std::string& shotName = {}) {
        CloseBox();
        const MessageBoxSeen confirm = WaitForMessage("Confirm");
        if (!confirm.window) {
            ADD_FAILURE() << "no close question";
            return false;
        }
        if (!shotName.empty()) Shoot(shotName, confirm.window);
        if (!Answer(confirm, "&Abort")) return false;
        return WaitForExit() == 0;
    }

    // Clicks the check box part of a row of the components list, as the
    // mouse does.
    bool ClickComponentBox(int row) {
        HWND list = FindControl(window_, IDC_SelCompLstBx);
        if (!list) return false;
        DWORD_PTR height = 0, top = 0;
        if (!SendMessageTimeoutA(list, LB_GETITEMHEIGHT, 0, 0, SMTO_ABORTIFHUNG, 2000, &height) ||
            !SendMessageTimeoutA(list, LB_GETTOPINDEX, 0, 0, SMTO_ABORTIFHUNG, 2000, &top) || height == 0)
            return false;
        const int x = 6 * GetDpiOfProcess() / 96;
        const int y = (row - static_cast<int>(top)) * static_cast<int>(height) + static_cast<int>(height) / 2;
        const LPARAM point = MAKELPARAM(x, y);
        return PostMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, point) && PostMessageA(list, WM_LBUTTONUP, 0, point);
    }

private:
    static int GetDpiOfProcess() {
        HDC screen = GetDC(nullptr);
        const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSX) : 96;
        if (screen) ReleaseDC(nullptr, screen);
        return dpi;
    }

    std::string screens_;
    std::unique_ptr<ChildProcess> process_;
    HWND window_ = nullptr;
};

// A copy of the stand-in word processor of this build, in a folder of the
// test (it writes its start log beside itself), started and ended on demand.
class StandInWordProcessor {
public:
    StandInWordProcessor() : program_(folder_ / "qwp.exe") {
        copied_ = CopyFileA(BuildFile("qwp.exe").c_str(), program_.c_str(), FALSE) != FALSE;
    }
    ~StandInWordProcessor() { Stop(); }
    StandInWordProcessor(const StandInWordProcessor&) = delete;
    StandInWordProcessor& operator=(const StandInWordProcessor&) = delete;

    // Starts it and waits for its marked window; false when it does not show.
    bool Start() {
        if (!copied_) return false;
        process_ = std::make_unique<ChildProcess>("\"" + program_ + "\"");
        if (!process_->Started()) return false;
        window_ = WaitForWindow(process_->Id(), "Quilvane Word Processor", kStartTimeout);
        return window_ != nullptr && GetPropA(window_, "1.x Sorvelin") != nullptr;
    }
    // Closes its window as a user does; true when it has ended.
    bool Stop() {
        if (!process_) return true;
        if (window_) PostMessageA(window_, WM_CLOSE, 0, 0);
        const bool ended = process_->WaitForExit(kStartTimeout) != STILL_ACTIVE;
        process_.reset();
        window_ = nullptr;
        return ended;
    }

private:
    TempFolder folder_;
    std::string program_;
    bool copied_ = false;
    std::unique_ptr<ChildProcess> process_;
    HWND window_ = nullptr;
};

}  // namespace qwp::test::interactive
