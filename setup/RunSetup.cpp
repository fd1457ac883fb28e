#include "setup/RunSetup.h"

#include "controls/MessageDlg.h"
#include "instutils/InstUtils.h"
#include "instutils/ProcessStart.h"
#include "payload/AttachFiles.h"
#include "payload/InstallRun.h"
#include "setup/Application.h"

#include <memory>

namespace qwp {

const char kPayloadDamagedMessage[] =
    "The setup program is damaged and cannot continue.\r"
    "Please download the setup of Quilvane Word Processor again.";

namespace {

// Sets the one global reference to the catalogue for as long as it lives.
class CatalogueScope {
public:
    explicit CatalogueScope(std::unique_ptr<TAttachedFiles> catalogue) : catalogue_(std::move(catalogue)) {
        AttachedFiles = catalogue_.get();
    }
    ~CatalogueScope() {
        AttachedFiles = nullptr;
        catalogue_.reset();
    }
    CatalogueScope(const CatalogueScope&) = delete;
    CatalogueScope& operator=(const CatalogueScope&) = delete;

private:
    std::unique_ptr<TAttachedFiles> catalogue_;
};

std::unique_ptr<TAttachedFiles> LoadCatalogue() {
    try {
        return std::make_unique<TAttachedFiles>();
    } catch (const PayloadDamaged&) {
        return nullptr;
    }
}

// The wizard, and with it the install run, runs between the catalogue and
// the finishing steps; it fills the target with the user's choices. Until
// the wizard window is part of the program, nothing starts an installation
// and the run goes straight on to the finishing steps.
void RunWizard(InstallTarget& /*target*/) {}

// The saves that belong to a run in which the installation was started,
// whether it finished or the user aborted a copy. Storing the choices and
// the uninstall entry comes first, once they exist; then the install log,
// which a portable installation never writes. A failure to save is silent.
void FinishStartedInstall(const InstallTarget& target) {
    if (!target.IsPortableInstall()) SaveInstallLog();
}

}  // namespace

int RunSetup(HINSTANCE instance) {
    ProcessStart processStart;
    Application application(instance);

    std::unique_ptr<TAttachedFiles> catalogue = LoadCatalogue();
    if (!catalogue) {
        MessageDlg(kPayloadDamagedMessage, MsgKind::Error, mbOK, mbOK, mbOK);
        return kExitPayloadDamaged;
    }
    {
        CatalogueScope scope(std::move(catalogue));
        InstallTarget target;
        RunWizard(target);
        if (InstallStarted) FinishStartedInstall(target);
    }
    return kExitSuccess;
}

}  // namespace qwp
