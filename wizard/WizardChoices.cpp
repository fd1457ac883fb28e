// The choices of the previous run read into the wizard, and the choices of
// this run written back after it has closed, with the uninstall entry of a
// normal installation.
#include "registration/SetupChoices.h"
#include "registration/UninstallEntry.h"
#include "wizard/ControlIds.h"
#include "wizard/MainDlg.h"

namespace qwp {

void TMainDlgForm::LoadSetupChoices(const std::vector<std::string>& arguments) {
    const StoredChoices stored = ReadStoredChoices(arguments);
    MainDir = stored.MainDir;
    StoredComponents = stored.StoredComponents;
    SetChecked(IDC_InstallToAllChkBx, stored.InstallToAll);
    SetChecked(IDC_DesktopChkBx, stored.DesktopShortcut);
    AssociationLetters = stored.AssociationLetters;
    SetChecked(IDC_FinishChkBx, stored.Launch);
}

void TMainDlgForm::SaveSetupChoices() {
    StoredComponents = MergeComponentBits(StoredComponents, RowStates());
    StoredChoices choices;
    choices.MainDir = MainDir;
    choices.StoredComponents = StoredComponents;
    choices.InstallToAll = Checked(IDC_InstallToAllChkBx);
    choices.DesktopShortcut = Checked(IDC_DesktopChkBx);
    choices.AssociationLetters = AssociationLetters;
    choices.Launch = Checked(IDC_FinishChkBx);
    // One registry object for both, as the uninstall entry follows the
    // stored choices with the same object.
    TRegistry registry;
    WriteStoredChoices(registry, choices);
    if (!IsPortableInstall()) WriteUninstallEntry(registry, MainDir);
}

}  // namespace qwp
