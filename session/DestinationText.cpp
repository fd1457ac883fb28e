#include "session/DestinationText.h"

#include "instutils/InstUtils.h"

#include <windows.h>
#include <shlobj.h>

namespace qwp {

namespace {

constexpr char kProductFolder[] = "Quilvane";

}  // namespace

char LowerDriveLetter(char c) {
    if (c >= 'A' && c <= 'Z') return static_cast<char>(c - 'A' + 'a');
    return c >= 'a' && c <= 'z' ? c : '\0';
}

char ProgramFilesDriveLetter() {
    const std::string programFiles = GetSpecialFolder(CSIDL_PROGRAM_FILES);
    if (const char letter = LowerDriveLetter(programFiles.empty() ? '\0' : programFiles[0])) return letter;
    char windows[MAX_PATH + 1] = {};
    const UINT length = GetSystemWindowsDirectoryA(windows, sizeof windows);
    if (length >= 2 && length < sizeof windows && windows[1] == ':')
        if (const char letter = LowerDriveLetter(windows[0])) return letter;
    return 'c';
}

namespace {

// The 64-bit Program Files folder, which a 32-bit program on 64-bit Windows
// only learns from the environment; empty elsewhere.
std::string NativeProgramFiles() {
    char folder[MAX_PATH + 1] = {};
    const DWORD length = GetEnvironmentVariableA("ProgramW6432", folder, sizeof folder);
    return length > 0 && length < sizeof folder ? std::string(folder, length) : std::string();
}

// The folder by its long name when it exists ("C:\PROGRA~1" is
// "C:\Program Files"); as given otherwise.
std::string LongName(const std::string& folder) {
    char name[MAX_PATH + 1] = {};
    const DWORD length = GetLongPathNameA(folder.c_str(), name, sizeof name);
    return length > 0 && length < sizeof name ? std::string(name, length) : folder;
}

// Known by its long name, whatever spelling of it was typed.
bool IsProgramFilesItself(const std::string& folder) {
    const std::string name = LongName(folder);
    const std::string native = NativeProgramFiles();
    return SameName(name, GetSpecialFolder(CSIDL_PROGRAM_FILES)) || (!native.empty() && SameName(name, native));
}

}  // namespace

// The text is kept whatever its length; whether the installation fits
// below it is the session's to tell (InstallSession::SetDestination).
CheckedDestination NormalizedDestination(const std::string& typed, char driveLetter) {
    std::string s = typed;
    const std::size_t first = s.find_first_not_of(' ');
    s = first == std::string::npos ? std::string() : s.substr(first, s.find_last_not_of(' ') - first + 1);
    if (DrivePart(s).empty()) {
        const char letter = LowerDriveLetter(driveLetter);
        s = std::string(1, letter ? letter : ProgramFilesDriveLetter()) + ":";
    }
    CheckedDestination checked = CheckDestination(s);
    if (checked.fault == DestinationFault::None &&
        (IsDriveOrShareRoot(checked.folder) || IsProgramFilesItself(checked.folder)))
        checked.folder = JoinPath(checked.folder, kProductFolder);
    return checked;
}

std::string UnusableFolderMessage(const CheckedDestination& checked) {
    return std::string("The folder \"") + checked.folder + "\" " + DestinationFaultText(checked.fault) +
           ".\rPlease choose another destination folder.";
}

std::string NormalizedDestDir(const std::string& typed, char driveLetter) {
    return NormalizedDestination(typed, driveLetter).folder;
}

}  // namespace qwp
