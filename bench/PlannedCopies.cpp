#include "bench/PlannedCopies.h"

#include "bench/BenchSupport.h"
#include "payload/InstallPlan.h"

namespace qwp::bench {

std::vector<PlannedCopy> PlannedCopies(const TAttachedFiles& catalogue, const std::string& mainDir) {
    RemoveInstalled(mainDir);
    InstallTarget target;
    target.MainDir = mainDir;
    target.SelectedComponents = 0x3F;
    TInstallPlan plan(catalogue);
    target.BuildInstallPlan(plan);
    std::vector<PlannedCopy> copies;
    for (const auto& group : plan.Groups)
        for (const auto& copy : group) copies.push_back({copy->Entry, copy->Destination});
    RemoveInstalled(mainDir);
    return copies;
}

}  // namespace qwp::bench
