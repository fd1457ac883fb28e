#include "session/DestinationText.h"

#include "instutils/InstUtils.h"

#include <windows.h>
#include <shlobj.h>

namespace qwp {

namespace {

constexpr char kProductFolder[] = "Quilvane";

// The text after the last backslash or colon.
std::string FileNamePart(const std::string& path) {
    const std::size_t cut = path.find_last_of("\\:");
    return cut == std::string::npos ? path : path.substr(cut + 1);
}

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

// The text is kept as typed, whatever its length: a destination that cannot
// be written is reported by the install run.
std::string NormalizedDestDir(const std::string& typed, char driveLetter) {
    std::string s = typed;
    const std::size_t first = s.find_first_not_of(' ');
    s = first == std::string::npos ? std::string() : s.substr(first, s.find_last_not_of(' ') - first + 1);
    if (DrivePart(s).empty()) {
        const char letter = LowerDriveLetter(driveLetter);
        s = std::string(1, letter ? letter : ProgramFilesDriveLetter()) + ":";
    }
    if (LastChar(s) == '\\') DeleteLastChar(s);
    if (FileNamePart(s).empty() || SameName(s, GetSpecialFolder(CSIDL_PROGRAM_FILES)))
        s = JoinPath(s, kProductFolder);
    return s;
}

}  // namespace qwp
