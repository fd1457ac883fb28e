// Whether a folder exists, asked so that a folder on the network cannot hold
// the run up: for a server that is gone Windows waits out the network's
// time-out, tens of seconds, before it answers.
#pragma once

#include <string>

namespace qwp {

enum class FolderAnswer { Exists, Missing, NoAnswer };

// True when the folder exists. Runs on a thread of its own, so it may use
// nothing but its argument: not the current directory, not the folder stack.
using FolderQuery = bool (*)(const std::string& folder);

// The answer FolderExists gives, without making the folder the current
// directory: the folder's attributes say it is a folder, and its full path
// reads back as the same text (case ignored, trailing backslash added).
bool FolderAttributesSayFolder(const std::string& folder);

// How a folder on the network is asked, and how long it is waited for.
struct NetworkFolderQuery {
    FolderQuery exists = FolderAttributesSayFolder;
    unsigned long milliseconds = 3000;
};

// A folder on a share or a remote drive (IsNetworkPath) is asked through
// query.exists on a worker thread, waited for at most query.milliseconds.
// A worker that has not answered by then is left to itself: it owns a copy
// of the folder, nobody waits for it again (nor does the end of the
// process), and NoAnswer comes back. Where no thread can be made the query
// is asked on the spot. Any other folder is asked with FolderExists,
// without a thread.
FolderAnswer AskFolder(const std::string& folder, const NetworkFolderQuery& query = {});

}  // namespace qwp
