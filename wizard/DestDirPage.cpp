// Page 2: the destination folder text and whether it makes a portable
// installation.
#include "instutils/InstUtils.h"
#include "wizard/ControlIds.h"
#include "wizard/MainDlg.h"

#include <shlobj.h>

namespace qwp {

namespace {

constexpr char kProductFolder[] = "Quilvane";

// The lower-case letter of the Program Files drive; "c" when the shell does
// not name one.
char ProgramFilesDriveLetter() {
    const std::string programFiles = GetSpecialFolder(CSIDL_PROGRAM_FILES);
    const char first = programFiles.empty() ? 'c' : programFiles[0];
    if (first >= 'A' && first <= 'Z') return static_cast<char>(first - 'A' + 'a');
    if (first >= 'a' && first <= 'z') return first;
    return 'c';
}

// The text after the last backslash or colon.
std::string FileNamePart(const std::string& path) {
    const std::size_t cut = path.find_last_of("\\:");
    return cut == std::string::npos ? path : path.substr(cut + 1);
}

}  // namespace

void TMainDlgForm::NormalizeDestDir() {
    std::string s = Text(IDC_DestDirEdt);
    const std::size_t first = s.find_first_not_of(' ');
    s = first == std::string::npos ? std::string() : s.substr(first, s.find_last_not_of(' ') - first + 1);
    if (DrivePart(s).empty()) s = std::string(1, ProgramFilesDriveLetter()) + ":";
    if (LastChar(s) == '\\') DeleteLastChar(s);
    if (FileNamePart(s).empty() || SameName(s, GetSpecialFolder(CSIDL_PROGRAM_FILES)))
        s = JoinPath(s, kProductFolder);
    SetText(IDC_DestDirEdt, s);
}

bool TMainDlgForm::IsPortableInstall() const { return IsPortableLocation(MainDir); }

}  // namespace qwp
