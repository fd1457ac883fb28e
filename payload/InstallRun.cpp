#include "payload/InstallRun.h"

#include "instutils/InstUtils.h"
#include "instutils/RunLog.h"

namespace qwp {

namespace {

// Raises the suppression counter for a copy that is not logged, and lowers
// it again whatever the copy's outcome.
class UnloggedCopyScope {
public:
    explicit UnloggedCopyScope(bool logged) : active_(!logged) {
        if (active_) SuppressLog();
    }
    ~UnloggedCopyScope() {
        if (active_) ResumeLog();
    }
    UnloggedCopyScope(const UnloggedCopyScope&) = delete;
    UnloggedCopyScope& operator=(const UnloggedCopyScope&) = delete;

private:
    bool active_;
};

void LogPlan(const InstallTarget& target) {
    if (!RunLogActive()) return;
    RunLogLine("Destination", target.MainDir + (target.IsPortableInstall() ? " (portable)" : ""));
    std::string selection;
    for (int n = 0; n < 8; ++n)
        if ((target.SelectedComponents >> n) & 1u) selection += (selection.empty() ? "" : " ") + std::to_string(n);
    RunLogLine("Components", selection);
}

// The copies of one install run as one series of folders; whatever way the
// run leaves, later single copies ask about their folders afresh.
class CopySeriesScope {
public:
    explicit CopySeriesScope(const TAttachedFiles& catalogue) : catalogue_(catalogue) { catalogue_.BeginCopySeries(); }
    ~CopySeriesScope() { catalogue_.EndCopySeries(); }
    CopySeriesScope(const CopySeriesScope&) = delete;
    CopySeriesScope& operator=(const CopySeriesScope&) = delete;

private:
    const TAttachedFiles& catalogue_;
};

}  // namespace

void PlanInstall(TInstallPlan& plan, InstallTarget& target) {
    target.DecidePortable();
    OpenInstallLog(target.MainDir);
    target.BuildInstallPlan(plan);
    LogPlan(target);
}

InstallResult CopyPlannedFiles(const TInstallPlan& plan, InstallFrontEnd& frontEnd) {
    const TAttachedFiles& catalogue = plan.Catalogue();
    const CopySeriesScope series(catalogue);
    InstallProgress state;
    state.bytesPlanned = plan.PlannedBytes();
    for (const auto& group : plan.Groups) {
        for (const auto& copy : group) {
            state.currentDestination = copy->Destination;
            if (frontEnd.OnProgress(state) == ProgressAnswer::Stop) {
                RunLogLine("Install", "stopped by the user before " + copy->Destination);
                return InstallResult::Aborted;
            }
            bool written;
            {
                UnloggedCopyScope scope(copy->Logged);
                written = catalogue.ExtractEntry(copy->Entry, std::string(), copy->Destination, frontEnd);
            }
            if (!written) {
                RunLogLine("Install", "stopped before the remaining copies");
                return InstallResult::Aborted;
            }
            RunLogLine("Copied", copy->Destination);
            state.bytesWritten += copy->Entry->Size;
        }
    }
    state.currentDestination.clear();
    frontEnd.OnProgress(state);
    return InstallResult::Completed;
}

InstallResult RunInstall(TInstallPlan& plan, InstallTarget& target, InstallFrontEnd& frontEnd) {
    PlanInstall(plan, target);
    return CopyPlannedFiles(plan, frontEnd);
}

}  // namespace qwp
