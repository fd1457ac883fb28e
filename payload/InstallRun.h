// The install run: opens the install log, plans the chosen components and
// writes every planned copy, group by group. The wizard's installing page,
// an unattended run and the tests all use it.
#pragma once

#include "payload/AttachFiles.h"
#include "payload/InstallPlan.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace qwp {

// Set when the install run starts its work, never reset. After the wizard
// has closed, the setup driver stores the choices and saves the install log
// only when it is set.
extern bool InstallStarted;

struct InstallProgress {
    std::int64_t bytesPlanned = 0;
    std::int64_t bytesWritten = 0;     // of copies finished so far
    std::string currentDestination;    // the copy about to be written
};
using InstallProgressCallback = std::function<void(const InstallProgress&)>;

enum class InstallResult {
    Completed,  // every copy written (or ignored by the user)
    Aborted,    // the user chose Abort; copies written so far stay
};

// The selection from the rows of the components list, read from the last
// row to the first: a checked (or greyed) row adds the component number it
// carries, when that number is 7 or less.
std::uint8_t SelectionFromRows(const std::vector<int>& rowComponents, const std::vector<bool>& rowChecked);

// The whole run for the target: log opened (loading an earlier Install.log
// of the destination unless portable), InstallStarted set, plan built,
// copies written in group order. The progress callback, when given, is
// called before each copy and once at the end.
InstallResult RunInstall(TAttachedFiles& catalogue, InstallTarget& target,
                         const InstallProgressCallback& progress = {});

}  // namespace qwp
