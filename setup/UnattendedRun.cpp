#include "setup/UnattendedRun.h"

#include "instutils/RunLog.h"
#include "registration/RunningInstance.h"
#include "setup/ExitCodes.h"
#include "setup/UnattendedFrontEnd.h"
#include "wizard/ProgressWindow.h"

#include <memory>

namespace qwp {

namespace {

// A folder argument nobody can take as meant: empty (an empty variable in a
// script) or without a drive ("Apps", "\Apps"). The wizard would offer the
// default folder for it; a run without anybody to see that refuses it
// rather than install somewhere else. A share ("\\server\share") has a drive.
bool FolderArgumentWithoutDrive(const SetupOptions& options) {
    if (!options.hasDestDir) return false;
    const std::string& folder = options.destDir;
    const std::size_t first = folder.find_first_not_of(' ');
    if (first == std::string::npos || folder.size() - first < 2) return true;
    return folder[first + 1] != ':' && folder.compare(first, 2, "\\\\") != 0;
}

}  // namespace

int RunUnattended(InstallSession& session, const SetupOptions& options, HWND owner) {
    RunLogLine("Mode", options.mode == RunMode::Silent ? "silent" : "progress window");
    if (FolderArgumentWithoutDrive(options)) {
        RunLogLine("Destination without a drive", options.destDir);
        return RunLogExit(kExitBadDestination, "the destination folder cannot be used");
    }

    // Nothing is written until the install goes ahead: the keys are read
    // without being created.
    session.ReadStoredChoices(options.hasDestDir ? std::optional<std::string>(options.destDir) : std::nullopt,
                              ChoiceKeys::Untouched);
    const CheckedDestination checked = session.SetDestination(session.Destination(), '\0');
    if (checked.fault != DestinationFault::None) {
        RunLogLine("Destination", UnusableFolderMessage(checked));
        return RunLogExit(kExitBadDestination, "the destination folder cannot be used");
    }
    if (IsWordProcessorInUse(session.Destination()))
        return RunLogExit(kExitWordProcessorRunning, "the word processor is running");
    if (!session.ChosenComponentsFit())
        return RunLogExit(kExitNoDiskSpace, "not enough free space on the destination drive");

    CreateChoiceKeys();
    std::unique_ptr<TProgressWindow> window;
    if (options.mode == RunMode::Progress) window = std::make_unique<TProgressWindow>(owner);
    UnattendedFrontEnd frontEnd(window.get());
    // Nobody sees the word processor make the associations: a start that
    // failed is told by the exit code.
    session.ReportFailedStarts();
    // A log-off the window could not refuse: what was installed is recorded
    // before the process is ended.
    if (window)
        window->OnEndOfSession([&] {
            frontEnd.Stop();
            session.End(frontEnd);
        });
    session.RunThrough(InstallStep::UpdateLog, frontEnd);
    window.reset();
    session.End(frontEnd);

    if (session.CopyAborted()) return RunLogExit(kExitFileNotWritten, "a file could not be written");
    if (!session.AllRecorded()) return RunLogExit(kExitNotRecorded, "installed, but not all of it could be recorded");
    return RunLogExit(kExitSuccess, "installed");
}

}  // namespace qwp
