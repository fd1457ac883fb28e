#include "setup/UnattendedRun.h"

#include "instutils/RunLog.h"
#include "registration/RunningInstance.h"
#include "setup/ExitCodes.h"
#include "setup/UnattendedFrontEnd.h"
#include "wizard/ProgressWindow.h"

#include <memory>

namespace qwp {

int RunUnattended(InstallSession& session, const SetupOptions& options, HWND owner) {
    RunLogLine("Mode", options.mode == RunMode::Silent ? "silent" : "progress window");

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
    session.RunThrough(InstallStep::UpdateLog, frontEnd);
    window.reset();
    session.End(frontEnd);

    if (session.CopyAborted()) return RunLogExit(kExitFileNotWritten, "a file could not be written");
    if (!session.AllRecorded()) return RunLogExit(kExitNotRecorded, "installed, but not all of it could be recorded");
    return RunLogExit(kExitSuccess, "installed");
}

}  // namespace qwp
