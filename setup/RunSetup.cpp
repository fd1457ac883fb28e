#include "setup/RunSetup.h"

#include "controls/MessageDlg.h"
#include "instutils/EscapedException.h"
#include "instutils/ProcessStart.h"
#include "instutils/RunLog.h"
#include "instutils/RunTimings.h"
#include "instutils/SetupError.h"
#include "instutils/SystemLibrary.h"
#include "instutils/TempFiles.h"
#include "payload/AttachFiles.h"
#include "session/InstallSession.h"
#include "setup/Application.h"
#include "setup/CommandLine.h"
#include "setup/EarlyInflation.h"
#include "setup/ProcessCommandLine.h"
#include "setup/SingleInstance.h"
#include "setup/StandardOutput.h"
#include "setup/UnattendedFrontEnd.h"
#include "setup/UnattendedRun.h"
#include "wizard/MainDlg.h"

#include <commctrl.h>

#include <memory>
#include <optional>
#include <string>

namespace qwp {

const char kPayloadDamagedMessage[] =
    "The setup program is damaged and cannot continue.\r"
    "Please download the setup of Quilvane Word Processor again.";
const char kSetupFailedMessage[] = "Setup of Quilvane Word Processor has failed and cannot continue:\r";
const char kAlreadyRunningMessage[] = "Setup of Quilvane Word Processor is already running.";
const char kUnreadableFolderMessage[] =
    "\" given on the command line holds characters that this system's code page cannot hold.\r"
    "Please start the setup with another destination folder.";

namespace {

// "/S" never draws; "/P" shows its progress window and nothing else.
bool ShowsNoWindow(const SetupOptions& options) { return options.mode == RunMode::Silent; }

// What the run's windows draw with, the common controls' classes among
// them (a good part of a wizard's start under Wine), while the payload
// inflates.
void LoadWindowLibraries() {
    LoadDrawingLibraries();
    InitCommonControlClasses(ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES);
}

// A run that answers with the usage needs no catalogue.
bool AsksForUsage(const SetupOptions& options) {
    std::string reason;
    return options.showUsage || RefusedArgument(options, reason);
}

class ProcessLifetimeCatalogue {
public:
    explicit ProcessLifetimeCatalogue(std::unique_ptr<TAttachedFiles> catalogue) : catalogue_(catalogue.release()) {}
    ~ProcessLifetimeCatalogue() { CleanTempFiles(); }
    ProcessLifetimeCatalogue(const ProcessLifetimeCatalogue&) = delete;
    ProcessLifetimeCatalogue& operator=(const ProcessLifetimeCatalogue&) = delete;

    const TAttachedFiles& Get() const { return *catalogue_; }

private:
    TAttachedFiles* catalogue_;  // never deleted
};

std::unique_ptr<TAttachedFiles> LoadCatalogue(EarlyInflation& inflation) {
    try {
        return std::make_unique<TAttachedFiles>(inflation.Take());
    } catch (const PayloadDamaged&) {
        return nullptr;
    }
}

std::optional<std::string> CommandLineFolder(const SetupOptions& options) {
    return options.hasDestDir ? std::optional<std::string>(options.destDir) : std::nullopt;
}

// The ending's report once the wizard has closed: its window is hidden, so
// the application's owner window carries the message and its taskbar button.
class WizardEnding final : public InstallFrontEnd {
public:
    explicit WizardEnding(Application& application) : application_(application) {}
    ProgressAnswer OnProgress(const InstallProgress&) override { return ProgressAnswer::Continue; }
    CopyAnswer OnCopyFailed(const std::string&, const std::string&) override { return CopyAnswer::Abort; }
    void OnFailure(const std::string& message) override {
        RunLogLine("Failure", message);
        application_.ShowTaskbarButton();
        MessageDlg(application_.Owner(), message, MsgKind::Error, mbOK, mbOK, mbOK);
    }

private:
    Application& application_;
};

// The wizard (its windows made already) begins with the session, runs
// modally and moves the session on page by page; once it has closed,
// whether it finished or the user left after the copy started, the
// session's ending stores the choices and saves Install.log. The wizard is
// gone before the session goes.
int RunWizard(InstallSession& session, const SetupOptions& options, Application& application,
              std::unique_ptr<TMainDlgForm>& wizard) {
    wizard->Begin(session, CommandLineFolder(options));
    const int result = wizard->ShowModal();
    WizardEnding ending(application);
    session.End(ending);
    wizard.reset();
    return RunLogExit(kExitSuccess, result == kModalOK ? "wizard finished" : "wizard cancelled");
}

// After a failure half way, what is on the disk is still recorded, so the
// next run and the uninstaller find it. Nobody is asked anything, and a
// second failure here leaves the first as the one reported.
void EndAfterFailure(InstallSession& session) noexcept {
    try {
        UnattendedFrontEnd quiet;
        session.End(quiet);
    } catch (...) {
    }
}

// "/?" and "/HELP" ask for the usage; a bad argument gets it too, with its
// own exit code. Only the wizard's mode shows it in a box: a run without
// the wizard waits for nobody, so it gives the usage to the run log and to
// the standard output. Nothing is written either way.
std::optional<int> AnswerUsage(Application& application, const SetupOptions& options) {
    std::string refused;
    const bool bad = RefusedArgument(options, refused);
    if (!bad && !options.showUsage) return std::nullopt;
    if (options.mode == RunMode::Wizard) {
        LoadDrawingLibraries();
        application.ShowTaskbarButton();
        MessageDlg(application.Owner(), kUsageText, bad ? MsgKind::Error : MsgKind::Information, mbOK, mbOK, mbOK);
    } else {
        RunLogLine("Usage", kUsageText);
        WriteToStandardOutput(kUsageText);
    }
    if (!bad) return RunLogExit(kExitSuccess, "usage shown");
    return RunLogExit(kExitBadArgument, refused);
}

// A folder argument Windows could not hand over unchanged names no folder
// anybody meant: the run ends before anything is written.
std::optional<int> RefuseUnreadableFolder(Application& application, const SetupOptions& options) {
    if (options.unreadableFolder.empty()) return std::nullopt;
    const std::string message = "The folder \"" + options.unreadableFolder + kUnreadableFolderMessage;
    RunLogLine("Destination", message);
    if (options.mode == RunMode::Wizard) {
        LoadDrawingLibraries();
        application.ShowTaskbarButton();
        MessageDlg(application.Owner(), message, MsgKind::Error, mbOK, mbOK, mbOK);
    }
    return RunLogExit(kExitBadDestination, "the destination folder cannot be used");
}

// A run that answers at once (the usage, a bad argument, a folder it
// cannot read) needs neither the lock nor the payload.
bool EndsBeforeTheLock(const SetupOptions& options) { return AsksForUsage(options) || !options.unreadableFolder.empty(); }

int RunWithCatalogue(Application& application, const SetupOptions& options, const SingleInstance* instance,
                     EarlyInflation& inflation) {
    if (const std::optional<int> code = AnswerUsage(application, options)) return *code;
    if (const std::optional<int> code = RefuseUnreadableFolder(application, options)) return *code;
    // The lock was taken before anything else: a second run writes nothing,
    // not even a temporary file, and inflates nothing.
    if (!instance->InPrivateNamespace())
        RunLogLine("Single setup", std::string("no private namespaces on this system: ") + instance->MutexName());
    if (instance->State() == InstanceState::Failed)
        throw SetupError("the lock against a second setup could not be made (error " +
                         std::to_string(instance->Error()) + ")");
    if (!instance->IsFirst()) {
        if (options.mode == RunMode::Wizard) {
            LoadDrawingLibraries();
            application.ShowTaskbarButton();
            MessageDlg(application.Owner(), kAlreadyRunningMessage, MsgKind::Error, mbOK, mbOK, mbOK);
        }
        return RunLogExit(kExitAlreadyRunning, "another setup of the product is running");
    }
    if (!ShowsNoWindow(options)) LoadWindowLibraries();
    // The wizard's windows are made while the payload inflates; the wizard
    // goes before the catalogue.
    std::unique_ptr<TAttachedFiles> catalogue;
    std::unique_ptr<TMainDlgForm> wizard;
    if (options.mode == RunMode::Wizard) {
        wizard = std::make_unique<TMainDlgForm>(application.Owner());
        // The first page shows while the payload still inflates: a large
        // product's wait falls after the page is painted.
        wizard->ShowFirstPage();
    }
    MarkPhase("start-up");
    catalogue = LoadCatalogue(inflation);
    MarkPhase("catalogue");
    if (!catalogue) {
        wizard.reset();
        // An unattended run must never wait for a person.
        if (options.mode == RunMode::Wizard) {
            // No wizard will carry the taskbar button: the owner window does.
            application.ShowTaskbarButton();
            MessageDlg(application.Owner(), kPayloadDamagedMessage, MsgKind::Error, mbOK, mbOK, mbOK);
        }
        return RunLogExit(kExitPayloadDamaged, "the setup program is damaged");
    }
    // The catalogue lives until the process ends, which gives its memory
    // back at once: freeing the inflated payload and its entries one by one
    // would only make the end wait. Its temporary files still go.
    ProcessLifetimeCatalogue kept(std::move(catalogue));
    InstallSession session(kept.Get());
    try {
        if (options.mode != RunMode::Wizard)
            return RunUnattended(session, options, options.mode == RunMode::Progress ? application.Owner() : nullptr);
        return RunWizard(session, options, application, wizard);
    } catch (...) {
        wizard.reset();
        EndAfterFailure(session);
        throw;
    }
}

// Every run ends with an exit code that says what happened: an exception
// that nothing else caught ends it as a failure (1), named in the run log
// and, when someone is at the screen, in one message.
int SetupFailed(Application& application, const SetupOptions& options, const std::string& reason) noexcept {
    try {
        RunLogExit(kExitSetupFailed, "setup failed: " + reason);
        if (options.mode == RunMode::Wizard) {
            application.ShowTaskbarButton();
            MessageDlg(application.Owner(), kSetupFailedMessage + reason, MsgKind::Error, mbOK, mbOK, mbOK);
        }
    } catch (...) {
    }
    return kExitSetupFailed;
}

// Ends the run's diagnostic log, whatever way the run leaves.
class RunLogScope {
public:
    // The arguments as the run read them, not the text Windows offers in
    // ANSI, whose best fit may differ.
    explicit RunLogScope(const SetupOptions& options) {
        StartRunLog(options.logPath);
        RunLogLine("Command line", ArgumentsLine(options));
    }
    ~RunLogScope() { FinishRunLog(); }
    RunLogScope(const RunLogScope&) = delete;
    RunLogScope& operator=(const RunLogScope&) = delete;
};

// Ends the process once the run's work is written: the lock, COM, the
// inflation thread of a run that ended before its catalogue and the memory
// of the run are the process's and go with it, so none of them is torn down
// one by one first, nor waited for. ExitProcess rather than ending the
// process from outside: the system libraries still hear of the end and
// finish what they hold.
[[noreturn]] void EndProcess(int code) { ExitProcess(static_cast<UINT>(code)); }

}  // namespace

int RunReportingFailure(Application& application, const SetupOptions& options, const std::function<int()>& run) {
    try {
        const int code = run();
        // A window that failed after its loop had ended (a timer of the
        // hidden wizard, a window being destroyed) still fails the run.
        RethrowEscapedException();
        return code;
    } catch (...) {
        std::string reason;
        try {
            reason = ReasonOfCurrentException();
        } catch (...) {
            // No memory even for the reason: the exit code still tells.
        }
        return SetupFailed(application, options, reason);
    }
}

void RunSetup(HINSTANCE instance) {
    const SetupOptions options = ReadProcessCommandLine();
    std::optional<SingleInstance> lock;
    if (!EndsBeforeTheLock(options)) lock.emplace();
    EarlyInflation inflation(!ShowsNoWindow(options) && lock && lock->IsFirst());
    ProcessStart processStart(ShowsNoWindow(options) ? ComApartment::Windowless : ComApartment::WithWindows);
    int code;
    {
        RunLogScope runLog(options);
        Application application(instance);
        code = RunReportingFailure(application, options,
                                   [&] { return RunWithCatalogue(application, options, lock ? &*lock : nullptr, inflation); });
    }
    MarkPhase("logs");
    FinishRunTimings();
    EndProcess(code);
}

}  // namespace qwp
