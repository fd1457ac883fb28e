// Update.log in the common data folder: one block per installation that
// placed files in the shared "Public" folder, a stamp line and the paths,
// each path only in the block of the latest installation that wrote it.
#pragma once

#include <string>
#include <vector>

namespace qwp {

constexpr char kUpdateLogName[] = "Update.log";

// The user locale's comparison, case ignored, string sort (hyphen and
// apostrophe sort with the other symbols): negative, zero or positive.
int CompareByUserLocale(const std::string& a, const std::string& b);

// What became of a merge; on failure the file is as it was before.
struct UpdateLogResult {
    bool ok = true;
    std::string message;  // for the user, naming the file and the system's reason
};

// Sorts sharedList (it stays sorted) and merges it into folder's Update.log
// (folder ends in a backslash), stamped with installStamp. The file is
// replaced in one step: a new file beside it, renamed over it. An empty list
// neither reads nor writes anything. A file that exists but cannot be read,
// or a new content that cannot be written, leaves the file unchanged and
// gives ok false with the message.
UpdateLogResult WriteUpdateLog(std::vector<std::string>& sharedList, double installStamp,
                               const std::string& folder);

}  // namespace qwp
