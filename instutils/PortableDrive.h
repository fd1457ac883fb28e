// What kind of drive holds a path, and whether the setup treats it as
// portable: then it writes only below the destination folder and leaves the
// registry, shortcuts and logs alone.
#pragma once

#include <string>

namespace qwp {

// GetDriveTypeA of the path's drive part with a backslash (DRIVE_REMOVABLE,
// DRIVE_FIXED, ...); DRIVE_NO_ROOT_DIR for a path without a drive part.
unsigned DriveTypeOf(const std::string& path);

// True for a removable drive, and for a fixed drive whose storage device
// sits on USB or IEEE 1394 or reports removable media. Network, CD-ROM and
// RAM drives, and anything whose device cannot be asked, are not portable.
bool IsPortableLocation(const std::string& path);

}  // namespace qwp
