#include "registration/UninstallEntry.h"

#include "instutils/DiskQueries.h"
#include "instutils/EntryKind.h"
#include "instutils/Handles.h"
#include "instutils/PathText.h"

#include <windows.h>

#include <limits>

namespace qwp {

const char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Quilvane Word Processor";

const char kDisplayIconValue[] = "DisplayIcon";
const char kDisplayNameValue[] = "DisplayName";
const char kDisplayVersionValue[] = "DisplayVersion";
const char kEstimatedSizeValue[] = "EstimatedSize";
const char kPublisherValue[] = "Publisher";
const char kUninstallStringValue[] = "UninstallString";

const char kUninstallDisplayName[] = "Quilvane Word Processor";
const char kUninstallDisplayVersion[] = "4.0.6.7";
const char kUninstallPublisher[] = "The Quilvane Word Processor Team";

namespace {

const char kProgramName[] = "qwp.exe";

// The whole size of a file, opened for attribute access only with read
// sharing, as the 32-bit size query opens it; -1 when it cannot be opened.
std::int64_t FileSize64(const std::string& path) {
    UniqueFile file(CreateFileA(path.c_str(), 0, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                                nullptr));
    if (!file) return -1;
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size)) return -1;
    return size.QuadPart;
}

// Kilobytes of one file of `size` bytes on whole clusters, each file on its
// own; an unknown size (-1) counts one cluster.
std::uint64_t FileKB(std::int64_t size, std::int64_t cluster) {
    if (size < 0) return static_cast<std::uint64_t>(cluster) / 1024;
    const std::int64_t rounded = size % cluster == 0 ? size : (size / cluster + 1) * cluster;
    return static_cast<std::uint64_t>(rounded) / 1024;
}

using GetFinalPathNameByHandleAFn = DWORD(WINAPI*)(HANDLE file, LPSTR path, DWORD size, DWORD flags);

// Where a folder really is, every link on the way followed, its own
// included; empty when that cannot be had. A destination that is itself a
// junction is measured where its files are.
std::string ResolvedFolder(const std::string& folder) {
    // Looked up: systems before Vista do not have it.
    static const auto finalPath = reinterpret_cast<GetFinalPathNameByHandleAFn>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetFinalPathNameByHandleA")));
    if (!finalPath) return {};
    UniqueFile handle(CreateFileA(folder.c_str(), FILE_READ_ATTRIBUTES,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!handle) return {};
    char path[MAX_PATH];
    const DWORD length = finalPath(handle.get(), path, MAX_PATH, 0);
    // A longer path is not answered: the attributes then decide.
    return length > 0 && length < MAX_PATH ? std::string(path, length) : std::string();
}

std::uint64_t FolderSizeBelow(std::string folder, std::int64_t cluster) {
    AddTrailingBackslash(folder);
    // Entries are checked against where the folder really is, so a link
    // among them (which Wine shows as a plain file or folder) is seen.
    const std::string folderFinal = ResolvedFolder(folder);
    WIN32_FIND_DATAA entry;
    UniqueFind listing(FindFirstFileA((folder + "*.*").c_str(), &entry));
    if (!listing) return 0;
    std::uint64_t total = 0;
    do {
        const std::string name = entry.cFileName;
        if (name == "." || name == "..") continue;
        const std::string path = folder + name;
        switch (ClassifyEntry(folderFinal, path, name, entry.dwFileAttributes)) {
            case EntryKind::Folder:
                total += FolderSizeBelow(path, cluster);
                break;
            case EntryKind::File:
                total += FileKB(FileSize64(path), cluster);
                break;
            case EntryKind::Link:
            case EntryKind::Elsewhere:
                // Another folder's files, or a loop back into this one.
                break;
        }
    } while (FindNextFileA(listing.get(), &entry));
    return total;
}

}  // namespace

std::uint32_t FolderSizeKB(const std::string& folder, std::int32_t clusterSize) {
    if (folder.empty()) return 0;  // would list the current directory
    const std::uint64_t total = FolderSizeBelow(folder, clusterSize < 1 ? 1 : clusterSize);
    constexpr std::uint64_t kLargest = std::numeric_limits<std::uint32_t>::max();
    return static_cast<std::uint32_t>(total < kLargest ? total : kLargest);
}

void WriteUninstallEntry(TRegistry& registry, const std::string& mainDir) {
    const std::string program = JoinPath(mainDir, kProgramName);
    registry.SetRootKey(HKEY_LOCAL_MACHINE);
    registry.CloseKey();
    registry.OpenKey(kUninstallKey);
    registry.WriteString(kDisplayIconValue, program);
    registry.WriteString(kDisplayNameValue, kUninstallDisplayName);
    registry.WriteString(kDisplayVersionValue, kUninstallDisplayVersion);
    registry.WriteInteger(kEstimatedSizeValue, FolderSizeKB(mainDir, GetClusterSize(mainDir)));
    registry.WriteString(kPublisherValue, kUninstallPublisher);
    registry.WriteString(kUninstallStringValue, "\"" + program + "\" -ui");
}

}  // namespace qwp
