// Measures a whole silent install by the setup against the same product
// installed silently by an NSIS 3 installer (bench/peer/quilvane-peer.nsi),
// the installer a publisher might pick instead: both as processes, started
// the same way (/S /D=<folder>), rounds alternating which goes first.
//
//   peer_bench.exe <product label> <setup.exe> <peer.exe> [rounds]
//
// Before any timing each installer runs once from a clean machine state and
// what it left is compared: every file the setup's plan writes, with its
// size and time stamp; the install stamp and the common data file; the
// stored choices, the Internal key and the uninstall entry; both shortcuts
// with their target, working folder and description; the association
// command the word processor was started with. Only the uninstall command
// (the peer names its own uninstaller) and the estimated size (which counts
// that uninstaller) may differ; anything else ends the benchmark without
// figures, so the ratio is never of less work.
#include "bench/BenchSupport.h"
#include "bench/PlannedCopies.h"
#include "instutils/DateTime.h"
#include "instutils/Handles.h"
#include "instutils/InstUtils.h"
#include "instutils/Paths.h"
#include "instutils/ProcessStart.h"
#include "instutils/SystemLibrary.h"
#include "payload/AttachFiles.h"
#include "payload/InstallPlan.h"

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace {

using namespace qwp;
using namespace qwp::bench;

constexpr int kDefaultRounds = 7;
constexpr DWORD kRunTimeout = 300000;
constexpr double kStartWaitSeconds = 15;
constexpr double kPeerTarget = 0.8;

const char kChoicesKey[] = "Software\\Quilvane Word Processor\\Install";
const char kInternalKey[] = "Software\\Quilvane Word Processor\\Internal";
const char kProductKey[] = "Software\\Quilvane Word Processor";
const char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Quilvane Word Processor";
const char* const kChoiceValues[] = {"MAINDIR", "COMPS (1.6.6.2)", "INSTALLTOALL", "DSKSHORTCUT", "EXTENSIONS",
                                     "LAUNCH"};
const char* const kUninstallValues[] = {"DisplayIcon", "DisplayName",    "DisplayVersion",
                                        "EstimatedSize", "Publisher", "UninstallString"};
const char kShortcutName[] = "Quilvane Word Processor.lnk";
const char kStartsLog[] = "qwp-starts.log";

struct Run {
    bool finished = false;
    DWORD exitCode = 0;
    double milliseconds = 0;
};

Run RunProcess(const std::string& commandLine) {
    Run run;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    std::string line = commandLine;
    const double t0 = Seconds();
    if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
        return run;
    UniqueKernelHandle process(info.hProcess);
    UniqueKernelHandle thread(info.hThread);
    const DWORD waited = WaitForSingleObject(process.get(), kRunTimeout);
    run.milliseconds = (Seconds() - t0) * 1000;
    if (waited != WAIT_OBJECT_0) {
        TerminateProcess(process.get(), 1);
        WaitForSingleObject(process.get(), 10000);
        return run;
    }
    run.finished = true;
    GetExitCodeProcess(process.get(), &run.exitCode);
    return run;
}

std::string ReadText(const std::string& path) {
    UniqueFile file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                      OPEN_EXISTING, 0, nullptr));
    if (!file) return {};
    std::string text;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file.get(), buffer, sizeof buffer, &got, nullptr) && got) text.append(buffer, got);
    return text;
}

// The installers start the word processor for the associations without
// waiting for it. Before the folder is removed for the next run, it must
// have started (its log line is there) and ended, or its program file
// could not be replaced. Outside the timing. The command line it was given,
// or empty when it never started.
std::string WaitForAssociationStart(const std::string& mainDir) {
    const std::string log = mainDir + kStartsLog;
    const double deadline = Seconds() + kStartWaitSeconds;
    std::string text;
    while ((text = ReadText(log)).find("\r\n") == std::string::npos && Seconds() < deadline) Sleep(5);
    HANDLE found = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    UniqueKernelHandle snapshot(found == INVALID_HANDLE_VALUE ? nullptr : found);
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    if (snapshot && Process32First(snapshot.get(), &entry)) {
        do {
            if (lstrcmpiA(entry.szExeFile, "qwp.exe") != 0) continue;
            UniqueKernelHandle program(OpenProcess(SYNCHRONIZE, FALSE, entry.th32ProcessID));
            if (program) WaitForSingleObject(program.get(), static_cast<DWORD>(kStartWaitSeconds * 1000));
        } while (Process32Next(snapshot.get(), &entry));
    }
    const std::size_t end = text.find("\r\n");
    return end == std::string::npos ? std::string() : text.substr(0, end);
}

using PlannedFile = PlannedCopy;

std::string RegistryValue(HKEY root, const char* key, const char* name) {
    HKEY opened = nullptr;
    if (RegOpenKeyExA(root, key, 0, KEY_QUERY_VALUE, &opened) != ERROR_SUCCESS) return "(no key)";
    UniqueRegKey held(opened);
    DWORD type = 0, size = 0;
    if (RegQueryValueExA(opened, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return "(missing)";
    std::string data(size, '\0');
    if (RegQueryValueExA(opened, name, nullptr, &type, reinterpret_cast<BYTE*>(&data[0]), &size) != ERROR_SUCCESS)
        return "(unreadable)";
    data.resize(size);
    if (type == REG_DWORD && size == 4) {
        DWORD value = 0;
        std::memcpy(&value, data.data(), 4);
        return "REG_DWORD " + std::to_string(value);
    }
    if (type == REG_SZ)
        return "REG_SZ \"" + std::string(data.c_str()) + "\"" + (size && data.back() ? " (no NUL)" : "");
    return "type " + std::to_string(type) + ", " + std::to_string(size) + " bytes";
}

// "exists, N values, M sub-keys" or "(no key)".
std::string KeyShape(HKEY root, const char* key) {
    HKEY opened = nullptr;
    if (RegOpenKeyExA(root, key, 0, KEY_QUERY_VALUE | KEY_ENUMERATE_SUB_KEYS, &opened) != ERROR_SUCCESS)
        return "(no key)";
    UniqueRegKey held(opened);
    DWORD subKeys = 0, values = 0;
    RegQueryInfoKeyA(opened, nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr, &values, nullptr, nullptr,
                     nullptr, nullptr);
    return "exists, " + std::to_string(values) + " values, " + std::to_string(subKeys) + " sub-keys";
}

std::string ShortcutFields(const std::string& path) {
    if (GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) return "(missing)";
    IShellLinkA* link = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                reinterpret_cast<void**>(&link))))
        return "(no shell link object)";
    std::string fields = "(unreadable)";
    IPersistFile* file = nullptr;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
        wchar_t wide[MAX_PATH];
        MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH);
        if (SUCCEEDED(file->Load(wide, STGM_READ))) {
            char target[MAX_PATH] = {}, folder[MAX_PATH] = {}, description[INFOTIPSIZE] = {}, arguments[MAX_PATH] = {};
            link->GetPath(target, MAX_PATH, nullptr, SLGP_RAWPATH);
            link->GetWorkingDirectory(folder, MAX_PATH);
            link->GetDescription(description, INFOTIPSIZE);
            link->GetArguments(arguments, MAX_PATH);
            fields = std::string("target ") + target + ", in " + folder + ", arguments '" + arguments + "', \"" +
                     description + "\"";
        }
        file->Release();
    }
    link->Release();
    return fields;
}

std::string FileFields(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return "(missing)";
    const FILETIME& time = data.ftLastWriteTime;
    const auto written = (static_cast<unsigned long long>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
    return std::to_string(data.nFileSizeLow) + " bytes, written at " + std::to_string(written);
}

// A file that holds the local time of the install as a date-time double,
// after the header given: its size, and whether header and time are right.
std::string TimeFileFields(const std::string& path, const std::string& header) {
    const std::string bytes = ReadText(path);
    std::string fields = std::to_string(bytes.size()) + " bytes";
    if (bytes.size() != header.size() + sizeof(double) || bytes.compare(0, header.size(), header) != 0)
        return fields + ", not the header and a time";
    double stamp = 0;
    std::memcpy(&stamp, bytes.data() + header.size(), sizeof stamp);
    SYSTEMTIME now;
    GetLocalTime(&now);
    double today = 0;
    EncodeDateTime({now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond, now.wMilliseconds}, today);
    // Within a minute of the check: both are read right after their run.
    return fields + (std::fabs(today - stamp) < 1.0 / (24 * 60) ? ", the local time of the run" : ", another time");
}

// What an install left, as named texts, and the places to clean before one.
struct Places {
    std::string mainDir, commonData, programs, commonPrograms, desktop, commonDesktop;
    std::vector<const std::string*> Shortcuts() const { return {&programs, &commonPrograms, &desktop, &commonDesktop}; }
};

Places PlacesOf(const std::string& mainDir) {
    return {mainDir,
            JoinPath(GetSpecialFolder(CSIDL_COMMON_APPDATA), "Quilvane\\"),
            JoinPath(GetSpecialFolder(CSIDL_PROGRAMS), kShortcutName),
            JoinPath(GetSpecialFolder(CSIDL_COMMON_PROGRAMS), kShortcutName),
            JoinPath(GetSpecialFolder(CSIDL_DESKTOPDIRECTORY), kShortcutName),
            JoinPath(GetSpecialFolder(CSIDL_COMMON_DESKTOPDIRECTORY), kShortcutName)};
}

// Nothing of an earlier install: files, shortcuts, stored choices, entry.
void CleanMachine(const Places& places) {
    RemoveInstalled(places.mainDir);
    for (const std::string* shortcut : places.Shortcuts())
        DeleteFileA(shortcut->c_str());
    RegDeleteTreeA(HKEY_CURRENT_USER, kProductKey);
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, kUninstallKey);
}

std::map<std::string, std::string> Snapshot(const Places& places, const std::vector<PlannedFile>& files,
                                            const std::string& startedWith) {
    std::map<std::string, std::string> seen;
    for (const PlannedFile& file : files) seen["file " + file.destination] = FileFields(file.destination);
    seen["file " + places.commonData + "Hidden\\install_stamp"] =
        TimeFileFields(places.commonData + "Hidden\\install_stamp", "");
    seen["file " + places.commonData + "qwp_common.dat"] =
        TimeFileFields(places.commonData + "qwp_common.dat", std::string("\1\0\0\0\x08\0\0\0", 8));
    for (const char* name : kChoiceValues)
        seen[std::string("HKCU ") + kChoicesKey + " " + name] = RegistryValue(HKEY_CURRENT_USER, kChoicesKey, name);
    seen[std::string("HKCU ") + kInternalKey] = KeyShape(HKEY_CURRENT_USER, kInternalKey);
    for (const char* name : kUninstallValues)
        seen[std::string("HKLM ") + kUninstallKey + " " + name] =
            RegistryValue(HKEY_LOCAL_MACHINE, kUninstallKey, name);
    for (const std::string* shortcut : places.Shortcuts())
        seen["shortcut " + *shortcut] = ShortcutFields(*shortcut);
    seen["started"] = startedWith.empty() ? "(nothing)" : startedWith;
    return seen;
}

// What may differ between the two installs: the uninstall command names the
// peer's own uninstaller, and the estimated size counts it.
bool MayDiffer(const std::string& what) {
    const std::string prefix = std::string("HKLM ") + kUninstallKey + " ";
    return what == prefix + "UninstallString" || what == prefix + "EstimatedSize";
}

std::string FullPath(const char* path) {
    char full[MAX_PATH];
    const DWORD length = GetFullPathNameA(path, MAX_PATH, full, nullptr);
    return length && length < MAX_PATH ? std::string(full) : std::string(path);
}

std::string Problem(const Run& run) {
    if (!run.finished) return "did not end within " + std::to_string(kRunTimeout / 1000) + " s";
    return "ended with exit code " + std::to_string(run.exitCode);
}

}  // namespace

int main(int argc, char** argv) {
    RestrictDllSearchToSystem();
    if (argc < 4) {
        std::printf("usage: peer_bench <product label> <setup.exe> <peer.exe> [rounds]\n");
        return 2;
    }
    const std::string product = argv[1];
    const std::string setup = FullPath(argv[2]), peer = FullPath(argv[3]);
    const int rounds = argc > 4 ? std::max(1, std::atoi(argv[4])) : kDefaultRounds;
    // COM for the shortcuts, and the system functions the folder lookups use.
    ProcessStart start;

    const std::vector<std::uint8_t> payload = PayloadOf(setup);
    if (payload.empty() || FileBytes(peer) == 0) {
        std::printf("%s: no payload in %s or no peer installer %s\n", product.c_str(), setup.c_str(), peer.c_str());
        return 1;
    }
    std::printf("%s: setup %.1f KB, NSIS peer %.1f KB\n", product.c_str(), FileBytes(setup) / 1024.0,
                FileBytes(peer) / 1024.0);
    TAttachedFiles catalogue(payload.data(), payload.size());
    const std::string mainDir = FreshTempFolder("qwp-peer-bench");
    const std::string folderArgument = mainDir.substr(0, mainDir.size() - 1);
    const std::vector<PlannedFile> files = PlannedCopies(catalogue, mainDir);
    const Places places = PlacesOf(mainDir);
    // The same arguments for both: NSIS takes /D= only as the last one,
    // unquoted.
    const std::string commands[2] = {"\"" + setup + "\" /S /D=" + folderArgument,
                                     "\"" + peer + "\" /S /D=" + folderArgument};
    const char* const names[2] = {"setup /S", "NSIS peer /S"};

    // One run of each from a clean machine, and what each left, compared.
    std::map<std::string, std::string> left[2];
    for (int which = 0; which < 2; ++which) {
        CleanMachine(places);
        const Run run = RunProcess(commands[which]);
        const std::string started = WaitForAssociationStart(mainDir);
        if (!run.finished || run.exitCode != 0) {
            std::printf("%s: %s %s; no figures against the peer\n", product.c_str(), names[which],
                        Problem(run).c_str());
            CleanMachine(places);
            return 1;
        }
        left[which] = Snapshot(places, files, started);
    }
    int differences = 0, allowed = 0;
    for (const auto& [what, ours] : left[0]) {
        const std::string& theirs = left[1][what];
        if (ours == theirs) continue;
        const bool may = MayDiffer(what);
        (may ? allowed : differences)++;
        std::printf("%s: %s %s: setup %s, NSIS peer %s\n", product.c_str(), may ? "differs as it may" : "DIFFERS",
                    what.c_str(), ours.c_str(), theirs.c_str());
    }
    std::printf("%s: the setup and the NSIS peer left %zu things alike (the %zu files of the plan among them), "
                "%d differing as they may, %d not alike\n",
                product.c_str(), left[0].size() - differences - allowed, files.size(), allowed, differences);
    if (differences) {
        CleanMachine(places);
        return 1;
    }

    std::vector<double> times[2];
    for (int round = 0; round < rounds; ++round) {
        for (int k = 0; k < 2; ++k) {
            const int which = (round + k) % 2;
            RemoveInstalled(mainDir);
            const Run run = RunProcess(commands[which]);
            const std::string started = WaitForAssociationStart(mainDir);
            if (!run.finished || run.exitCode != 0 || started.empty()) {
                std::printf("%s: %s %s in round %d\n", product.c_str(), names[which],
                            started.empty() ? "started no word processor" : Problem(run).c_str(), round + 1);
                CleanMachine(places);
                return 1;
            }
            times[which].push_back(run.milliseconds);
        }
        std::printf("%s round %d: setup /S %.1f ms, NSIS peer /S %.1f ms\n", product.c_str(), round + 1,
                    times[0].back(), times[1].back());
    }
    CleanMachine(places);
    DeleteFolderTree(mainDir);

    std::vector<double> ratios;
    for (int round = 0; round < rounds; ++round) ratios.push_back(times[0][round] / times[1][round]);
    std::printf("%s setup /S against the NSIS peer /S over %d rounds: median %.1f / %.1f ms, ratio %.2f "
                "(%.2f to %.2f)\n",
                product.c_str(), rounds, Median(times[0]), Median(times[1]), MedianRatio(times[0], times[1]),
                Minimum(ratios), *std::max_element(ratios.begin(), ratios.end()));
    PrintPairResults(product, "peer", times[0], times[1], kPeerTarget);
    PrintResult(product, "peer_ratio_low", Minimum(ratios));
    PrintResult(product, "peer_ratio_high", *std::max_element(ratios.begin(), ratios.end()));
    return 0;
}
