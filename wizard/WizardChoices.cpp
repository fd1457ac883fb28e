// The choices of the previous run shown on the pages, and the pages' boxes
// and rows handed back to the install session.
#include "wizard/ControlIds.h"
#include "wizard/MainDlg.h"

namespace qwp {

void TMainDlgForm::LoadSetupChoices(const std::optional<std::string>& commandLineFolder) {
    session_->ReadStoredChoices(commandLineFolder, ChoiceKeys::Created);
    const InstallOptions& options = session_->Options();
    SetChecked(IDC_InstallToAllChkBx, options.InstallToAll);
    SetChecked(IDC_DesktopChkBx, options.DesktopShortcut);
    SetChecked(IDC_FinishChkBx, options.Launch);
}

// The association letters are not among them: their boxes are filled only
// when the associations page is entered, and read when it is left.
void TMainDlgForm::GatherChoices() {
    InstallOptions& options = session_->Options();
    options.InstallToAll = Checked(IDC_InstallToAllChkBx);
    options.DesktopShortcut = Checked(IDC_DesktopChkBx);
    options.Launch = Checked(IDC_FinishChkBx);
    if (!components_) return;
    for (int row = 0; row < components_->Count(); ++row) session_->Selection().Choose(row, components_->Chosen(row));
}

}  // namespace qwp
