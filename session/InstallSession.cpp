#include "session/InstallSession.h"

#include "instutils/Files.h"
#include "instutils/FolderSecurity.h"
#include "instutils/InstUtils.h"
#include "instutils/InstallLog.h"
#include "instutils/PathText.h"
#include "instutils/Paths.h"
#include "instutils/RunLog.h"
#include "instutils/RunTimings.h"
#include "payload/InstallRun.h"
#include "registration/DesktopShell.h"
#include "registration/PostInstall.h"
#include "registration/UninstallEntry.h"
#include "registration/UpdateLog.h"
#include "session/SystemCodePage.h"

namespace qwp {

namespace {

const char kNotRecordedIntro[] =
    "The files of Quilvane Word Processor are installed, but setup could not record all of the installation:";
const char kStoppedNotRecordedIntro[] =
    "Setup of Quilvane Word Processor stopped before its end, and could not record what it installed:";
const char kStoredChoicesItem[] = "the setup choices (HKEY_CURRENT_USER\\Software\\Quilvane Word Processor\\Install)";
const char kUninstallEntryItem[] =
    "the uninstall entry (HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\"
    "Quilvane Word Processor)";

InstallStep After(InstallStep step) { return static_cast<InstallStep>(static_cast<int>(step) + 1); }

// The steps as the benchmark's table of a run's time names them.
const char* StepName(InstallStep step) {
    switch (step) {
        case InstallStep::Plan: return "plan";
        case InstallStep::Copy: return "copy";
        case InstallStep::PostInstallActions: return "post-install actions";
        case InstallStep::UpdateLog: return "update log";
        case InstallStep::StoredChoices: return "registry";
        case InstallStep::InstallLog: return "logs";
        case InstallStep::Done: break;
    }
    return "done";
}

}  // namespace

LaunchRoute LaunchRouteOfThisProcess() {
    return ProcessIsElevated() ? LaunchRoute::DesktopShell : LaunchRoute::Direct;
}

InstallSession::InstallSession(const TAttachedFiles& catalogue) : catalogue_(catalogue), plan_(catalogue) {
    UseSystemCodePage();
}

void InstallSession::ReadStoredChoices(const std::optional<std::string>& commandLineFolder, ChoiceKeys keys) {
    const FolderFits fits{[](const void* session, const std::string& folder) {
                              return static_cast<const InstallSession*>(session)->FitsDestination(folder);
                          },
                          this};
    const StoredChoices stored = qwp::ReadStoredChoices(commandLineFolder, keys, fits);
    target_.MainDir = stored.MainDir;
    selection_ = ComponentSelection(stored.StoredComponents);
    options_.InstallToAll = stored.InstallToAll;
    options_.DesktopShortcut = stored.DesktopShortcut;
    options_.AssociationLetters = stored.AssociationLetters;
    options_.Launch = stored.Launch;
}

CheckedDestination InstallSession::SetDestination(const std::string& typed, char driveLetter) {
    CheckedDestination checked = NormalizedDestination(typed, driveLetter);
    if (checked.fault == DestinationFault::None && !FitsDestination(checked.folder))
        checked.fault = DestinationFault::TooLong;
    if (checked.fault == DestinationFault::None) target_.MainDir = checked.folder;
    return checked;
}

bool InstallSession::FitsDestination(const std::string& folder) const {
    const bool portable = IsPortableLocation(folder);
    std::vector<std::string> names = PlannedNamesBelowMainDir(catalogue_, portable);
    names.push_back(portable ? kCommonDataName : kInstallLogName);
    return FitsPathLimits(folder, names);
}

std::int32_t InstallSession::ComponentSize(int component, std::int32_t clusterSize) const {
    if (component < 0 || component >= kComponentCount) return 0;
    return catalogue_.ComponentSizeOnClusters(ComponentSizePatterns[component], clusterSize);
}

std::int32_t InstallSession::DestinationClusterSize() const { return GetClusterSize(target_.MainDir); }

bool InstallSession::ChosenComponentsFit() const {
    // A 32-bit total that wraps as the components page's does; unsigned so
    // the wrap is defined.
    std::uint32_t sum = 0;
    const std::int32_t cluster = DestinationClusterSize();
    for (int n = 0; n < kComponentCount; ++n)
        if (selection_.IsChosen(n)) sum += static_cast<std::uint32_t>(ComponentSize(n, cluster));
    const auto required = static_cast<std::int32_t>(sum);
    const std::int64_t free = DriveFreeBytes(target_.MainDir);
    RunLogLine("Disk space", target_.MainDir + ": required " + std::to_string(required) + " bytes, free " +
                                 (free < 0 ? std::string("unknown") : std::to_string(free) + " bytes"));
    return free >= 0 && free >= required;
}

bool InstallSession::RunThrough(InstallStep last, InstallFrontEnd& frontEnd) {
    while (next_ <= last && next_ < InstallStep::Done) {
        const InstallStep step = next_;
        const bool done = RunStep(step, frontEnd);
        MarkPhase(StepName(step));
        if (!done) return false;
        next_ = After(next_);
    }
    return true;
}

void InstallSession::End(InstallFrontEnd& frontEnd) {
    // Once: an ending run while a step is still under way (the Windows
    // session ended inside the copy's message pump) is not run again when
    // that step returns.
    if (!Started() || ended_) return;
    ended_ = true;
    // Whatever was left before the ending (after an Abort or a close) is
    // not done now: the ending records what happened.
    if (next_ < InstallStep::StoredChoices) next_ = InstallStep::StoredChoices;
    RunThrough(InstallStep::InstallLog, frontEnd);
    if (unrecorded_.size() > reported_) {
        std::string message = copyAborted_ ? kStoppedNotRecordedIntro : kNotRecordedIntro;
        for (std::size_t i = reported_; i < unrecorded_.size(); ++i) message += "\r" + unrecorded_[i];
        reported_ = unrecorded_.size();
        frontEnd.OnFailure(message);
    }
}

bool InstallSession::RunStep(InstallStep step, InstallFrontEnd& frontEnd) {
    switch (step) {
        case InstallStep::Plan:
            target_.SelectedComponents = selection_.PlanBits();
            PrepareDestination();
            PlanInstall(plan_, target_);
            // The plan starts Install.log afresh; the destination's folders
            // come first among the copy's, as made by the first copy.
            for (const std::string& folder : destinationMade_) AddLogLine(kMadeDirPrefix + folder);
            if (!plan_.UnwrittenStamp.empty()) {
                RunLogLine("Not written", plan_.UnwrittenStamp);
                Unrecorded("the install stamp", plan_.UnwrittenStamp);
            }
            return true;
        case InstallStep::Copy:
            if (CopyPlannedFiles(plan_, frontEnd) == InstallResult::Completed) return true;
            copyAborted_ = true;
            // Nothing after the copy happens now but the ending.
            next_ = After(InstallStep::UpdateLog);
            return false;
        case InstallStep::PostInstallActions:
            RunPostInstallActions();
            return true;
        case InstallStep::UpdateLog:
            return WriteUpdateLog(frontEnd);
        case InstallStep::StoredChoices:
            StoreChoices();
            return true;
        case InstallStep::InstallLog:
            SaveInstallLogFile();
            return true;
        case InstallStep::Done:
            return true;
    }
    return true;
}

// The destination folder before anything goes into it. The setup later
// starts, with its administrator rights, the program it wrote there: a
// folder it makes where others could write (below a drive's root, in a
// user's folder) gets permissions that only let administrators change what
// it holds; one it makes where the folder above is closed to others (Program
// Files) takes that folder's. A folder that is there already keeps its
// permissions; the run log names it when others can change it. A portable
// installation goes to a drive that travels, and is left as it is.
void InstallSession::PrepareDestination() {
    if (IsPortable()) return;
    const std::string& folder = target_.MainDir;
    if (FolderExists(folder)) {
        if (OpennessOf(folder) != FolderOpenness::Closed)
            RunLogLine("Open folder", folder + " (accounts other than the administrators can change it)");
        return;
    }
    if (AccessForNewFolders(folder) != FolderAccess::AdministratorsOnly) return;
    // With its backslash, as the copy names the folders it makes.
    std::string made = folder;
    AddTrailingBackslash(made);
    destinationMade_ = MissingFolders(made);
    SuppressLog();
    const int count = ForceFolders(made, FolderAccess::AdministratorsOnly);
    ResumeLog();
    if (count > 0) RunLogLine("Protected folder", folder);
}

// The common data file always; the installed program checked and held for
// the starts that follow; unless portable, the associations handed to the
// word processor and the shortcuts. Each logs its own outcome; what failed
// is kept for the ending's report (a command that could not be started only
// when asked to).
void InstallSession::RunPostInstallActions() {
    const std::string folder = target_.GetInstallFolder(CommonDataFolder);
    if (!WriteCommonDataFile(folder)) Unrecorded("the common data file", folder + kCommonDataName);
    const TAttachedFile* program = catalogue_.FindEntry(kProgramFileName);
    if (program)
        program_ = HeldProgram(target_.InMainDir(kProgramFileName), catalogue_.Data.data() + program->Offset,
                               static_cast<std::size_t>(program->Size));
    if (IsPortable()) return;
    const AssociationBoxes boxes = AssociationBoxesOf(options_.AssociationLetters);
    options_.AssociationLetters = AssociationLettersOf(boxes);
    const std::string command = AssociationCommand(target_.MainDir, boxes);
    if (!StartChecked(command) && reportFailedStarts_) Unrecorded("the document associations", command);
    for (const std::string& shortcut : PlaceShortcuts(target_.MainDir, options_.InstallToAll, options_.DesktopShortcut))
        Unrecorded("the shortcut", shortcut);
}

// Started directly, with this process's rights, only when the program file
// held is the one installed.
bool InstallSession::StartChecked(const std::string& command) {
    if (!program_.Matches()) {
        LogNotStarted(command, std::string(kProgramFileName) + " " + program_.Problem());
        return false;
    }
    return StartCommand(command);
}

bool InstallSession::LaunchWordProcessor(LaunchRoute route) {
    const std::string command = LaunchCommand(target_.MainDir);
    bool started = false;
    if (route == LaunchRoute::Direct) {
        started = StartChecked(command);
    } else if (!program_.Matches()) {
        LogNotStarted(command, std::string(kProgramFileName) + " " + program_.Problem());
    } else {
        const ShellStartResult result =
            StartThroughDesktopShell(target_.InMainDir(kProgramFileName), target_.MainDir);
        started = result == ShellStartResult::Started;
        if (started)
            RunLogLine("Started", command + " (" + ShellStartText(result) + ")");
        else
            LogNotStarted(command, ShellStartText(result));
    }
    program_.Release();
    return started;
}

// Nothing shared was installed, or the installation is portable: the file
// is neither read nor written, and its folder is not asked for (asking
// creates it).
bool InstallSession::WriteUpdateLog(InstallFrontEnd& frontEnd) {
    if (IsPortable() || plan_.SharedUpdateList.empty()) return true;
    const std::string folder = target_.GetInstallFolder(CommonDataFolder);
    const UpdateLogResult result = qwp::WriteUpdateLog(plan_.SharedUpdateList, target_.InstallStamp, folder);
    RunLogLine("Update log", result.ok ? folder + kUpdateLogName : result.message);
    updateLogFailed_ = !result.ok;
    if (!result.ok) frontEnd.OnFailure(result.message);
    return result.ok;
}

// One registry object for both, as the uninstall entry follows the stored
// choices with the same object.
void InstallSession::StoreChoices() {
    StoredChoices choices;
    choices.MainDir = target_.MainDir;
    choices.StoredComponents = selection_.StoredValue();
    choices.InstallToAll = options_.InstallToAll;
    choices.DesktopShortcut = options_.DesktopShortcut;
    choices.AssociationLetters = options_.AssociationLetters;
    choices.Launch = options_.Launch;
    TRegistry registry;
    if (!WriteStoredChoices(registry, choices)) {
        unrecorded_.push_back(kStoredChoicesItem);
        RunLogLine("Not recorded", kStoredChoicesItem);
    }
    if (IsPortable()) return;
    if (!WriteUninstallEntry(registry, target_.MainDir)) {
        unrecorded_.push_back(kUninstallEntryItem);
        RunLogLine("Not recorded", kUninstallEntryItem);
    }
}

void InstallSession::Unrecorded(const char* what, const std::string& path) {
    unrecorded_.push_back(what + (" (" + path + ")"));
}

void InstallSession::SaveInstallLogFile() {
    if (IsPortable()) return;
    // A run stopped before its first file has not made the destination yet;
    // the log goes there all the same, with the folder among its lines.
    ForceFolders(target_.MainDir);
    const bool saved = SaveInstallLog();
    RunLogLine("Install log", InstallLogPath + (saved ? "" : " (not written)"));
    if (!saved) Unrecorded("the install log", InstallLogPath);
}

}  // namespace qwp
