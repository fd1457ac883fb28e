// The copies the setup's own plan makes for every component into a
// destination, for the benchmarks that write or compare the same files.
#pragma once

#include "payload/AttachFiles.h"

#include <string>
#include <vector>

namespace qwp::bench {

struct PlannedCopy {
    const TAttachedFile* entry;
    std::string destination;
};

// Plans into a fresh mainDir and removes what planning made there.
std::vector<PlannedCopy> PlannedCopies(const TAttachedFiles& catalogue, const std::string& mainDir);

}  // namespace qwp::bench
