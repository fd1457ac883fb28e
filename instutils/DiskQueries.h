// Cluster sizes, free space and the size and time of existing files.
#pragma once

#include <cstdint>
#include <string>

namespace qwp {

// Bytes per cluster of the volume that holds the folder, or of the current
// directory's volume when the folder cannot be made current (a destination
// that does not exist yet). 4096 when the volume cannot be asked, so it is
// never 0. The current directory is the same afterwards.
std::int32_t GetClusterSize(const std::string& folder);

// The size rounded up to whole clusters of the folder's volume; a multiple
// (zero included) is returned unchanged. Asks for the cluster size each time.
std::int32_t DiskUsage(const std::string& folder, std::int32_t size);

// True when the path lies on a network: a UNC path ("\\server\share\..."),
// or a drive letter the system reports as a remote drive.
bool IsNetworkPath(const std::string& path);

// The bytes available to the current user on the path's drive; -1 when the
// drive cannot be asked (so no required size ever fits).
std::int64_t DriveFreeBytes(const std::string& path);

// The low 32 bits of an existing file's size; -1 when it cannot be opened.
std::int32_t FileSizeOf(const std::string& path);

// What FileTimeOf gives for a last-write time that the DOS form cannot hold
// (before 1980 or after 2107): far outside the years any time stamp can
// name, so it never equals one and the file always counts as changed.
constexpr double kNoDosTime = -1e9;

// The file's last-write time in local time at two-second resolution, as the
// date-time value built from its DOS date and time; the current local date
// and time when nothing matches the path.
double FileTimeOf(const std::string& path);

}  // namespace qwp
