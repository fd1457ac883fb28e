#include "registration/PostInstall.h"

#include "instutils/DateTime.h"
#include "instutils/Files.h"
#include "instutils/PathText.h"
#include "instutils/Paths.h"
#include "instutils/RunLog.h"
#include "instutils/Shortcuts.h"

#include <windows.h>

#include <cstdint>
#include <cstring>
#include <utility>

namespace qwp {

const char kShortcutName[] = "Quilvane Word Processor.lnk";
const char kShortcutDescription[] = "Compact, fast-loading, but still powerful and efficient word processor.";
const char kProgramFileName[] = "qwp.exe";

namespace {

const char kAssociationOption[] = " -assoc qdpr";
const char* const kAssociationTokens[4] = {"_rtf", "_cod", "_doc", "_docx"};

constexpr std::int32_t kCsidlPrograms = 0x0002;
constexpr std::int32_t kCsidlDesktopDirectory = 0x0010;
constexpr std::int32_t kCsidlCommonPrograms = 0x0017;
constexpr std::int32_t kCsidlCommonDesktopDirectory = 0x0019;

void AppendLittleEndian32(std::string& bytes, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes += static_cast<char>((value >> (8 * i)) & 0xFF);
}

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

double LocalNow() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    const DateTimeParts parts{now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond,
                              now.wMilliseconds};
    double value = 0.0;
    EncodeDateTime(parts, value);
    return value;
}

}  // namespace

std::string CommonDataRecord(double now) {
    std::string bytes;
    AppendLittleEndian32(bytes, 1);
    AppendLittleEndian32(bytes, sizeof now);
    char time[sizeof now];
    // The double's own bytes: every target is little-endian.
    std::memcpy(time, &now, sizeof now);
    bytes.append(time, sizeof time);
    return bytes;
}

std::string AssociationLettersOf(const AssociationBoxes& boxes) {
    std::string letters;
    for (std::size_t i = 0; i < boxes.size(); ++i)
        if (boxes[i]) letters += static_cast<char>('A' + i);
    return letters;
}

AssociationBoxes AssociationBoxesOf(const std::string& letters) {
    AssociationBoxes boxes{};
    for (std::size_t i = 0; i < boxes.size(); ++i)
        boxes[i] = letters.find(static_cast<char>('A' + i)) != std::string::npos;
    return boxes;
}

std::string AssociationCommand(const std::string& mainDir, const AssociationBoxes& boxes) {
    std::string command = LaunchCommand(mainDir) + kAssociationOption;
    for (std::size_t i = 0; i < boxes.size(); ++i)
        if (boxes[i]) command += kAssociationTokens[i];
    return command;
}

std::string LaunchCommand(const std::string& mainDir) { return Quoted(JoinPath(mainDir, kProgramFileName)); }

bool StartCommand(const std::string& commandLine) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOW;
    PROCESS_INFORMATION process{};
    // CreateProcessA may write into the command line it is given.
    std::string writable = commandLine;
    const bool started = CreateProcessA(nullptr, &writable[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                        &startup, &process) != FALSE;
    if (started) {
        // Not waited for: the handles are only closed.
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    RunLogLine("Started", commandLine + (started ? "" : " (could not be started)"));
    return started;
}

void LogNotStarted(const std::string& commandLine, const std::string& reason) {
    RunLogLine("Started", commandLine + " (could not be started: " + reason + ")");
}

bool WriteCommonDataFile(const std::string& folder) {
    const std::string path = folder + kCommonDataName;
    // An empty folder would put the file into the current directory.
    const bool written = !folder.empty() && WriteBytesToFile(path, CommonDataRecord(LocalNow()));
    RunLogLine(written ? "File" : "Not written", path);
    return written;
}

ShortcutFolders ShortcutFoldersOf(int kind, bool allUsers) {
    const std::int32_t common = kind == 0 ? kCsidlCommonPrograms : kCsidlCommonDesktopDirectory;
    const std::int32_t own = kind == 0 ? kCsidlPrograms : kCsidlDesktopDirectory;
    ShortcutFolders folders{GetSpecialFolder(allUsers ? common : own), GetSpecialFolder(allUsers ? own : common)};
    if (folders.chosen.empty()) folders.chosen = folders.other;
    return folders;
}

std::vector<std::string> PlaceShortcuts(const std::string& mainDir, bool allUsers, bool desktop) {
    const std::string target = JoinPath(mainDir, kProgramFileName);
    std::vector<std::string> unsaved;
    for (int kind = 0; kind < 2; ++kind) {
        const ShortcutFolders folders = ShortcutFoldersOf(kind, allUsers);
        if (!folders.other.empty()) DeleteFileA(JoinPath(folders.other, kShortcutName).c_str());
        if (kind == 1 && !desktop) continue;
        // With neither scope known there is no folder: CreateShortcut refuses
        // a bare name rather than writing into the current directory.
        std::string shortcut = JoinPath(folders.chosen, kShortcutName);
        if (!CreateShortcut(shortcut, target, mainDir, kShortcutDescription)) unsaved.push_back(std::move(shortcut));
    }
    return unsaved;
}

}  // namespace qwp
