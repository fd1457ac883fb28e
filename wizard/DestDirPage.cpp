// Page 2: the destination folder text, the folder and drive pickers that
// rewrite it, the drive polling that follows drives coming and going, and
// whether the destination makes a portable installation.
#include "instutils/InstUtils.h"
#include "session/DestinationText.h"
#include "wizard/ControlIds.h"
#include "wizard/MainDlg.h"

#include <shlobj.h>

#include <cstdint>

namespace qwp {

void TMainDlgForm::CreateFolderPickers() {
    folders_ = std::make_unique<TDirectoryListBox>(Control(IDC_DestDirLstBx), dpi_);
    drives_ = std::make_unique<TDriveComboBox>(Control(IDC_DestDirCmbBx), dpi_);
    drives_->SetDirList(folders_.get());
    folders_->OnChange = [this] { DestDirLstBxChange(); };
}

void TMainDlgForm::DestDirLstBxChange() {
    if (!FolderSyncEnabled) return;
    SetText(IDC_DestDirEdt, folders_->FolderPath());
    NormalizeDestDir();
}

void TMainDlgForm::NormalizeDestDir() {
    // Before the drive list has a drive, the Program Files drive.
    SetText(IDC_DestDirEdt, NormalizedDestDir(Text(IDC_DestDirEdt), drives_ ? drives_->SelectedDrive() : '\0'));
}

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
