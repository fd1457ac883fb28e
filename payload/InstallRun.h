// The install run: opens the install log, plans the chosen components and
// writes every planned copy, group by group. The install session runs its
// two halves as two steps for both front ends; the tests run it whole.
#pragma once

#include "payload/AttachFiles.h"
#include "payload/InstallFrontEnd.h"
#include "payload/InstallPlan.h"

namespace qwp {

enum class InstallResult {
    Completed,  // every copy written (or ignored by the user)
    Aborted,    // the user chose Abort, or the front end asked to stop; copies written so far stay
};

// The first half of the run: whether the target is portable decided for
// good, the install log opened (loading an earlier Install.log of the
// destination unless portable), the plan's groups built.
void PlanInstall(TInstallPlan& plan, InstallTarget& target);
// The second half: every planned copy, in group order.
InstallResult CopyPlannedFiles(const TInstallPlan& plan, InstallFrontEnd& frontEnd);

// The whole run for the target: whether it is portable decided for good,
// log opened (loading an earlier Install.log of the destination unless
// portable), plan built from its catalogue, copies written in group order. The front end hears
// of the progress before each copy and once at the end, and answers for a
// copy that fails.
InstallResult RunInstall(TInstallPlan& plan, InstallTarget& target, InstallFrontEnd& frontEnd);

}  // namespace qwp
