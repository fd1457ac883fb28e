// A drive letter for a folder that comes (Plug) and goes (Unplug) while a
// test runs, through Wine's mount manager; taken away again at the end.
#pragma once

#include "tests/support/WineDrives.h"

#include <windows.h>

#include <string>

namespace qwp::test {

class TestDrive {
public:
    // Not yet plugged; a letter left by a test that crashed is taken away.
    TestDrive(char letter, const std::string& folder) : letter_(letter), unix_(UnixPath(folder)) { Unplug(); }
    ~TestDrive() { Unplug(); }
    TestDrive(const TestDrive&) = delete;
    TestDrive& operator=(const TestDrive&) = delete;

    // True once the system sees the drive, with that type.
    bool Plug(UINT type) {
        return !unix_.empty() && DefineUnixDrive(letter_, type, unix_) && GetDriveTypeA(Root().c_str()) == type &&
               (GetLogicalDrives() & Bit());
    }
    void Unplug() { DefineUnixDrive(letter_, DRIVE_NO_ROOT_DIR, {}); }
    std::string Root() const { return std::string(1, letter_) + ":\\"; }
    DWORD Bit() const { return 1u << (letter_ - 'a'); }

private:
    char letter_;
    std::string unix_;
};

}  // namespace qwp::test
