#include "instutils/DiskQueries.h"

#include "instutils/DateTime.h"
#include "instutils/EntryPoints.h"
#include "instutils/Handles.h"
#include "instutils/PathText.h"
#include "instutils/Paths.h"
#include "instutils/SizeText.h"

#include <windows.h>

#include <limits>

namespace qwp {
namespace {

constexpr std::int32_t kFallbackClusterSize = 4096;

double CurrentLocalDateTime() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    DateTimeParts parts;
    parts.year = now.wYear;
    parts.month = now.wMonth;
    parts.day = now.wDay;
    parts.hour = now.wHour;
    parts.minute = now.wMinute;
    parts.second = now.wSecond;
    parts.millisecond = now.wMilliseconds;
    double value = 0.0;
    EncodeDateTime(parts, value);
    return value;
}

}  // namespace

std::int32_t GetClusterSize(const std::string& folder) {
    PushCurrentFolder();
    SetCurrentDirectoryA(folder.c_str());
    DWORD sectorsPerCluster = 0, bytesPerSector = 0, freeClusters = 0, totalClusters = 0;
    const BOOL known = GetDiskFreeSpaceA(nullptr, &sectorsPerCluster, &bytesPerSector, &freeClusters, &totalClusters);
    PopCurrentFolder();
    const std::uint64_t size = static_cast<std::uint64_t>(sectorsPerCluster) * bytesPerSector;
    if (!known || size == 0 || size > static_cast<std::uint64_t>(std::numeric_limits<std::int32_t>::max()))
        return kFallbackClusterSize;
    return static_cast<std::int32_t>(size);
}

std::int32_t DiskUsage(const std::string& folder, std::int32_t size) {
    return RoundUpToClusters(size, GetClusterSize(folder));
}

bool IsNetworkPath(const std::string& path) {
    const std::string drive = DrivePart(path);
    if (drive.size() > 2 && drive[0] == '\\' && drive[1] == '\\') return true;
    return drive.size() == 2 && GetDriveTypeA((drive + "\\").c_str()) == DRIVE_REMOTE;
}

std::int64_t DriveFreeBytes(const std::string& path) {
    if (!FreeSpaceEntry) return -1;
    std::string drive = DrivePart(path);
    // A share is only answered for with its trailing backslash.
    if (drive.size() > 2 && drive[0] == '\\' && drive[1] == '\\') drive += '\\';
    ULARGE_INTEGER freeToCaller, totalBytes;
    freeToCaller.QuadPart = 0;
    totalBytes.QuadPart = 0;
    // A drive is handed over as "C:", without a backslash. A path without a drive
    // part is not asked about: the current directory's drive, which the
    // query would answer for, is not where such a path leads.
    if (drive.empty() || !FreeSpaceEntry(drive.c_str(), &freeToCaller, &totalBytes, nullptr)) return -1;
    if (freeToCaller.QuadPart > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()))
        return std::numeric_limits<std::int64_t>::max();
    return static_cast<std::int64_t>(freeToCaller.QuadPart);
}

std::int32_t FileSizeOf(const std::string& path) {
    // No access rights: only the size is read, so a file that is open for
    // writing elsewhere can still be measured.
    UniqueFile file(CreateFileA(path.c_str(), 0, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                                nullptr));
    if (!file) return -1;
    return static_cast<std::int32_t>(GetFileSize(file.get(), nullptr));
}

double FileTimeOf(const std::string& path) {
    WIN32_FIND_DATAA found;
    UniqueFind search(FindFirstFileA(path.c_str(), &found));
    if (!search) return CurrentLocalDateTime();
    search.reset();

    FILETIME local;
    DosDateTime dos;
    if (!FileTimeToLocalFileTime(&found.ftLastWriteTime, &local) ||
        !FileTimeToDosDateTime(&local, &dos.date, &dos.time))
        return kNoDosTime;
    return DosToDateTime(dos);
}

}  // namespace qwp
