// Page 2: the destination folder text, the folder and drive pickers that
// rewrite it, the drive polling that follows drives coming and going, and
// whether the destination makes a portable installation.
#include "instutils/InstUtils.h"
#include "wizard/ControlIds.h"
#include "wizard/DestDirText.h"
#include "wizard/MainDlg.h"

#include <shlobj.h>

#include <cstdint>

namespace qwp {

namespace {

constexpr char kProductFolder[] = "Quilvane";

char LowerDriveLetter(char c) {
    if (c >= 'A' && c <= 'Z') return static_cast<char>(c - 'A' + 'a');
    return c >= 'a' && c <= 'z' ? c : '\0';
}

}  // namespace

// The lower-case letter of the Program Files drive; when the shell does not
// name one, the Windows folder's drive, and "c" only when neither is known.
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

// The text after the last backslash or colon.
std::string FileNamePart(const std::string& path) {
    const std::size_t cut = path.find_last_of("\\:");
    return cut == std::string::npos ? path : path.substr(cut + 1);
}

}  // namespace

void TMainDlgForm::SetUpFolderPickers() {
    folders_ = std::make_unique<TDirectoryListBox>(Control(IDC_DestDirLstBx), dpi_);
    drives_ = std::make_unique<TDriveComboBox>(Control(IDC_DestDirCmbBx), dpi_);
    drives_->SetDirList(folders_.get());
    folders_->OnChange = [this] { DestDirLstBxChange(); };
    // The list shows the nearest existing folder; the edit box keeps the
    // text (FolderSyncEnabled is not set yet).
    folders_->SetFolder(MainDir);
}

void TMainDlgForm::DestDirLstBxChange() {
    if (!FolderSyncEnabled) return;
    SetText(IDC_DestDirEdt, folders_->FolderPath());
    NormalizeDestDir();
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

void TMainDlgForm::NormalizeDestDir() {
    // Before the drive list has a drive, the Program Files drive.
    SetText(IDC_DestDirEdt, NormalizedDestDir(Text(IDC_DestDirEdt), drives_ ? drives_->SelectedDrive() : '\0'));
}

bool TMainDlgForm::IsPortableInstall() const { return IsPortableLocation(MainDir); }

// Every second, whatever page is shown: a drive that appears (a portable
// drive plugged in) is selected, which moves the folder list to it and so
// rewrites the edit box; when the selected drive goes, the Program Files
// drive is selected instead.
void TMainDlgForm::OnDrivePollTimer() {
    if (!drives_) return;
    const std::uint32_t mask = GetLogicalDrives();
    const std::uint32_t old = drives_->DriveMask();
    if (mask == old) return;
    const std::string kept = drives_->ItemText(drives_->CurrentIndex());
    drives_->RebuildDriveList();

    if (static_cast<std::int32_t>(mask) < static_cast<std::int32_t>(old)) {
        const char selected = LowerDriveLetter(drives_->SelectedDrive());
        if (selected && (mask & (1u << (selected - 'a'))))
            drives_->Reselect(kept);
        else
            drives_->SelectDrive(ProgramFilesDriveLetter());
        return;
    }
    // Drives A: and B: are never selected this way.
    for (int number = 2; number <= 25; ++number) {
        const std::uint32_t bit = 1u << number;
        if ((mask & bit) && !(old & bit)) {
            drives_->SelectDrive(static_cast<char>('a' + number));
            return;
        }
    }
}

}  // namespace qwp
