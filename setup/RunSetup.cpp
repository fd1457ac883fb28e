#include "setup/RunSetup.h"

#include "controls/MessageDlg.h"
#include "instutils/InstUtils.h"
#include "instutils/ProcessStart.h"
#include "instutils/RunLog.h"
#include "payload/AttachFiles.h"
#include "payload/InstallRun.h"
#include "registration/SetupChoices.h"
#include "setup/Application.h"
#include "setup/CommandLine.h"
#include "setup/UnattendedRun.h"
#include "wizard/MainDlg.h"

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

// The wizard runs modally between the catalogue and the finishing steps;
// the install run happens inside it. When the run was started, whether it
// finished or the user aborted a copy, the choices are stored, and the
// install log saved unless the installation is portable (a failure to save
// is silent). The wizard is gone before the catalogue goes.
void RunWizard(HWND owner, const std::vector<std::string>& args) {
    TMainDlgForm wizard(owner, args);
    const int result = wizard.ShowModal();
    if (InstallStarted) {
        wizard.SaveSetupChoices();
        if (!wizard.IsPortableInstall()) SaveInstallLog();
    }
    RunLogLine("Exit", std::string("0 (") + (result == kModalOK ? "wizard finished" : "wizard cancelled") + ")");
}

// Ends the run's diagnostic log, whatever way the run leaves.
class RunLogScope {
public:
    explicit RunLogScope(const std::string& path) {
        StartRunLog(path);
        RunLogLine("Command line", GetCommandLineA());
    }
    ~RunLogScope() { FinishRunLog(); }
    RunLogScope(const RunLogScope&) = delete;
    RunLogScope& operator=(const RunLogScope&) = delete;
};

}  // namespace

int RunSetup(HINSTANCE instance) {
    ProcessStart processStart;
    const std::vector<std::string> args = ProgramArguments();
    const SetupOptions options = ParseSetupOptions(args);
    RunLogScope runLog(options.logPath);
    Application application(instance);

    std::unique_ptr<TAttachedFiles> catalogue = LoadCatalogue();
    if (!catalogue) {
        RunLogLine("Exit", std::to_string(kExitPayloadDamaged) + " (the setup program is damaged)");
        // An unattended run must never wait for a person.
        if (options.mode != RunMode::Wizard) return kExitPayloadDamaged;
        // No wizard will carry the taskbar button: the owner window does.
        application.ShowTaskbarButton();
        MessageDlg(kPayloadDamagedMessage, MsgKind::Error, mbOK, mbOK, mbOK);
        return kExitPayloadDamaged;
    }
    CatalogueScope scope(std::move(catalogue));
    if (options.mode != RunMode::Wizard) return RunUnattended(options.mode, args, application.Owner());
    RunWizard(application.Owner(), args);
    return kExitSuccess;
}

}  // namespace qwp
