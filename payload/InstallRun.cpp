#include "payload/InstallRun.h"

#include "instutils/InstUtils.h"
#include "instutils/RunLog.h"

namespace qwp {

namespace {

std::int64_t PlannedBytes(const TAttachedFiles& catalogue) {
    std::int64_t total = 0;
    for (const auto& group : catalogue.Groups)
        for (const auto& copy : group) total += copy->Entry->Size;
    return total;
}

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

}  // namespace

void PlanInstall(TAttachedFiles& catalogue, InstallTarget& target) {
    target.DecidePortable();
    OpenInstallLog(target.MainDir);
    target.BuildInstallPlan(catalogue);
    LogPlan(target);
}

InstallResult CopyPlannedFiles(TAttachedFiles& catalogue, InstallFrontEnd& frontEnd) {
    InstallProgress state;
    state.bytesPlanned = PlannedBytes(catalogue);
    for (const auto& group : catalogue.Groups) {
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

InstallResult RunInstall(TAttachedFiles& catalogue, InstallTarget& target, InstallFrontEnd& frontEnd) {
    PlanInstall(catalogue, target);
    return CopyPlannedFiles(catalogue, frontEnd);
}

}  // namespace qwp
