// One installation, from the choices to Install.log, between the two front
// ends (the wizard and the unattended run) and the engine.
//
// The session owns the run's choices: the destination, normalised once; the
// component selection; the boxes of the ready and associations pages; and,
// once the copy starts, whether the installation is portable, decided then
// for the rest of the run. It runs the steps of an installation in their one
// order:
//
//   Plan, Copy, PostInstallActions, UpdateLog, StoredChoices, InstallLog
//
// An unattended run goes through them straight; the wizard moves the session
// on page by page (the plan and copy on entering the installing page, the
// post-install actions on entering the completion page, the update log at
// Finish). Whatever way the run leaves after the copy started (finished,
// aborted, closed, failed), End stores the choices with the uninstall entry
// and saves Install.log: there is one ending for every front end.
//
// The session never opens a window: progress, the Abort/Retry/Ignore
// question and failures go to the front end given to each step.
#pragma once

#include "payload/AttachFiles.h"
#include "payload/InstallFrontEnd.h"
#include "payload/InstallPlan.h"
#include "registration/HeldProgram.h"
#include "registration/SetupChoices.h"
#include "session/ComponentSelection.h"
#include "session/DestinationText.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace qwp {

enum class InstallStep : int {
    Plan,
    Copy,
    PostInstallActions,
    UpdateLog,
    StoredChoices,
    InstallLog,
    Done,
};

// The boxes a front end sets; the destination and the components are kept
// by the session itself.
struct InstallOptions {
    bool InstallToAll = true;
    bool DesktopShortcut = true;
    std::string AssociationLetters = "B";  // letters A to D; empty: none
    bool Launch = true;                    // kept for the next run; only the wizard launches
};

// How the word processor is started at the end of the wizard.
enum class LaunchRoute {
    Direct,        // as a process of this one, with its rights
    DesktopShell,  // by the desktop's shell, as the user who logged on
};
// The desktop's shell for a process with an elevated token, so the word
// processor never runs with the setup's administrator rights; directly
// otherwise.
LaunchRoute LaunchRouteOfThisProcess();

class InstallSession {
public:
    // The catalogue is the run's; it must outlive the session.
    explicit InstallSession(const TAttachedFiles& catalogue);
    InstallSession(const InstallSession&) = delete;
    InstallSession& operator=(const InstallSession&) = delete;

    const TAttachedFiles& Catalogue() const { return catalogue_; }
    // The plan, once the Plan step has made it.
    const TInstallPlan& Plan() const { return plan_; }

    // ---- the choices ----

    // The choices stored by the last run (or their defaults), with the
    // command line's "-d" folder taking the stored folder's place. A stored
    // folder too long for the installation (FitsDestination) is passed over
    // as one the destination rules refuse.
    void ReadStoredChoices(const std::optional<std::string>& commandLineFolder, ChoiceKeys keys);

    // The destination as given, taken as the folder page takes typed text
    // (see NormalizedDestination); driveLetter is the drive a text without
    // one goes to, '\0' for the Program Files drive. A folder the rules
    // refuse, or one too long for the installation (TooLong), leaves the
    // destination as it was and comes back with its fault.
    CheckedDestination SetDestination(const std::string& typed, char driveLetter);
    // Every file and folder a whole installation (all components) makes
    // below the folder, and the ending's files there (Install.log in a
    // normal installation, qwp_common.dat in a portable one, as the
    // folder's drive makes it), keep within the limits of FitsPathLimits.
    // Paths outside the folder (the shared data folders, the shortcuts) do
    // not depend on it. The shortcut's target is qwp.exe and its working
    // folder the folder itself, both among these.
    bool FitsDestination(const std::string& folder) const;
    const std::string& Destination() const { return target_.MainDir; }

    ComponentSelection& Selection() { return selection_; }
    InstallOptions& Options() { return options_; }
    const InstallOptions& Options() const { return options_; }

    // Asked afresh until the copy starts; decided for good from then on.
    bool IsPortable() const { return target_.IsPortableInstall(); }

    // The disk space component n takes on a volume of that cluster size.
    std::int32_t ComponentSize(int component, std::int32_t clusterSize) const;
    // The destination volume's cluster size, asked of the volume each time.
    std::int32_t DestinationClusterSize() const;
    // The chosen components' sizes, summed as the components page sums
    // them, against the destination drive's free space; a drive that
    // cannot be asked has no room.
    bool ChosenComponentsFit() const;

    // ---- the steps ----

    // The plan was made: from here on the run ends through End.
    bool Started() const { return next_ > InstallStep::Plan; }

    // Runs the steps from the next one up to and including last. False when
    // a step failed: an aborted copy (the run then goes on only to End), or
    // an Update.log that could not be written (reported to the front end;
    // the step stays next, so it can be tried again).
    bool RunThrough(InstallStep last, InstallFrontEnd& frontEnd);

    // The ending, once the run started: the stored choices with the
    // uninstall entry, and Install.log, whichever of them is still to come.
    // Every write that failed, here or in an earlier step (install_stamp,
    // qwp_common.dat, the shortcuts), is named in one report to the front
    // end. Nothing happens when the run never started or has ended already.
    void End(InstallFrontEnd& frontEnd);

    bool CopyAborted() const { return copyAborted_; }
    // Nothing the installation writes besides its copies failed:
    // install_stamp, qwp_common.dat, the shortcuts, Update.log, the stored
    // choices, the uninstall entry, Install.log; and, once asked to report
    // them, no association command failed to start.
    bool AllRecorded() const { return unrecorded_.empty() && !updateLogFailed_; }
    // For a run nobody watches, before its post-install actions: an
    // association command that cannot be started then counts as not
    // recorded and is named in the ending's report. Otherwise (the wizard,
    // whose user sees the result) it is only logged.
    void ReportFailedStarts() { reportFailedStarts_ = true; }

    // Starts the installed word processor without arguments, the run's last
    // start, and lets its program file go. The desktop's shell starts it
    // (as the user who logged on) when this process runs elevated; directly
    // otherwise. Never started when its file is not the one installed, and
    // never started elevated when the shell does not do it. True when it was
    // started; the run log has the line either way.
    bool LaunchWordProcessor(LaunchRoute route);

private:
    bool RunStep(InstallStep step, InstallFrontEnd& frontEnd);
    void PrepareDestination();
    void RunPostInstallActions();
    bool StartChecked(const std::string& command);
    bool WriteUpdateLog(InstallFrontEnd& frontEnd);
    void StoreChoices();
    void SaveInstallLogFile();
    // Keeps what could not be written (or started) for the ending's report,
    // as "<what> (<path or command>)".
    void Unrecorded(const char* what, const std::string& path);

    const TAttachedFiles& catalogue_;
    TInstallPlan plan_;
    InstallTarget target_;
    ComponentSelection selection_;
    InstallOptions options_;
    InstallStep next_ = InstallStep::Plan;
    bool copyAborted_ = false;
    bool ended_ = false;
    bool updateLogFailed_ = false;  // at its last attempt
    std::vector<std::string> unrecorded_;  // what could not be written, for the report
    std::size_t reported_ = 0;            // how many of them the front end has heard of
    bool reportFailedStarts_ = false;     // a failed association start is among them
    HeldProgram program_;                 // from its check until the last start
    std::vector<std::string> destinationMade_;  // before the plan, for Install.log
};

}  // namespace qwp
