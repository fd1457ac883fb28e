// Drive letters made and taken away while a test runs, through Wine's mount
// manager (as Wine's configuration tool does): a link in the prefix's drive
// folder or a drive type in the registry is read only when Wine's server
// starts, the mount manager's drives are seen at once.
#pragma once

#include <windows.h>

#include <string>

namespace qwp::test {

// Defines the drive letter (lower case) for a Unix folder with a drive type
// (DRIVE_FIXED, DRIVE_REMOVABLE, DRIVE_CDROM ...); DRIVE_NO_ROOT_DIR with no
// folder takes the letter away. False when the mount manager refuses.
bool DefineUnixDrive(char letter, UINT type, const std::string& unixFolder);

// The Unix path of a Windows path, through Wine's own export; empty when
// there is none (not under Wine).
std::string UnixPath(const std::string& windowsPath);

}  // namespace qwp::test
