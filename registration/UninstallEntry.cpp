#include "registration/UninstallEntry.h"

#include "instutils/DiskQueries.h"
#include "instutils/EntryKind.h"
#include "instutils/Handles.h"
#include "instutils/PathText.h"
#include "instutils/RunTimings.h"

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
const char kInstallLocationValue[] = "InstallLocation";
const char kInstallDateValue[] = "InstallDate";
const char kNoModifyValue[] = "NoModify";
const char kNoRepairValue[] = "NoRepair";

const char kUninstallDisplayName[] = "Quilvane Word Processor";
const char kUninstallDisplayVersion[] = "4.0.6.7";
const char kUninstallPublisher[] = "The Quilvane Word Processor Team";

namespace {

const char kProgramName[] = "qwp.exe";

// Today's local date as yyyymmdd, the form the program list sorts by.
std::string TodayAsInstallDate() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    unsigned rest = now.wYear * 10000u + now.wMonth * 100u + now.wDay;
    std::string text(8, '0');
    for (std::size_t i = text.size(); i-- > 0; rest /= 10) text[i] = static_cast<char>('0' + rest % 10);
    return text;
}

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

std::uint64_t FolderSizeBelow(std::string folder, std::int64_t cluster) {
    AddTrailingBackslash(folder);
    // Entries are checked against where the folder really is (a destination
    // that is itself a junction is measured where its files are), so a link
    // among them (which Wine shows as a plain file or folder) is seen.
    const std::string folderFinal = FinalPathOf(folder, FinalLink::Followed);
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

bool WriteUninstallEntry(TRegistry& registry, const std::string& mainDir) {
    const std::string program = JoinPath(mainDir, kProgramName);
    registry.SetRootKey(HKEY_LOCAL_MACHINE);
    registry.CloseKey();
    // Every value is attempted, even after one has failed.
    bool ok = registry.OpenKey(kUninstallKey);
    ok = registry.WriteString(kDisplayIconValue, program) && ok;
    ok = registry.WriteString(kDisplayNameValue, kUninstallDisplayName) && ok;
    ok = registry.WriteString(kDisplayVersionValue, kUninstallDisplayVersion) && ok;
    MarkPhase("registry");
    const std::uint32_t sizeKB = FolderSizeKB(mainDir, GetClusterSize(mainDir));
    MarkPhase("size walk");
    ok = registry.WriteInteger(kEstimatedSizeValue, sizeKB) && ok;
    ok = registry.WriteString(kPublisherValue, kUninstallPublisher) && ok;
    ok = registry.WriteString(kUninstallStringValue, "\"" + program + "\" -ui") && ok;
    // Where an upgrade run by another account (a deployment tool as the
    // system, a second administrator) finds the installation.
    ok = registry.WriteString(kInstallLocationValue, mainDir) && ok;
    ok = registry.WriteString(kInstallDateValue, TodayAsInstallDate()) && ok;
    // The word processor has no change or repair mode of its own.
    ok = registry.WriteInteger(kNoModifyValue, 1) && ok;
    ok = registry.WriteInteger(kNoRepairValue, 1) && ok;
    return ok;
}

std::optional<std::string> RecordedInstallLocation() {
    TRegistry registry;
    registry.SetRootKey(HKEY_LOCAL_MACHINE);
    if (!registry.OpenKeyReadOnly(kUninstallKey)) return std::nullopt;
    return registry.ReadString(kInstallLocationValue);
}

}  // namespace qwp
