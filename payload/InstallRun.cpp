#include "payload/InstallRun.h"

#include "instutils/InstUtils.h"
#include "instutils/RunLog.h"

#include <algorithm>

namespace qwp {

bool InstallStarted = false;

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

std::uint8_t SelectionFromRows(const std::vector<int>& rowComponents, const std::vector<bool>& rowChecked) {
    std::uint8_t selection = 0;
    for (std::size_t row = std::min(rowComponents.size(), rowChecked.size()); row-- > 0;)
        if (rowChecked[row] && rowComponents[row] >= 0 && rowComponents[row] <= 7)
            selection = static_cast<std::uint8_t>(selection | (1u << rowComponents[row]));
    return selection;
}

InstallResult RunInstall(TAttachedFiles& catalogue, InstallTarget& target, const InstallProgressCallback& progress) {
    OpenInstallLog(target.MainDir);
    InstallStarted = true;
    target.BuildInstallPlan(catalogue);
    LogPlan(target);

    InstallProgress state;
    state.bytesPlanned = PlannedBytes(catalogue);
    for (const auto& group : catalogue.Groups) {
        for (const auto& copy : group) {
            if (progress) {
                state.currentDestination = copy->Destination;
                progress(state);
            }
            bool written;
            {
                UnloggedCopyScope scope(copy->Logged);
                written = catalogue.ExtractEntry(copy->Entry, std::string(), copy->Destination);
            }
            if (!written) {
                RunLogLine("Install", "stopped before the remaining copies");
                return InstallResult::Aborted;
            }
            RunLogLine("Copied", copy->Destination);
            state.bytesWritten += copy->Entry->Size;
        }
    }
    if (progress) {
        state.currentDestination.clear();
        progress(state);
    }
    return InstallResult::Completed;
}

}  // namespace qwp
