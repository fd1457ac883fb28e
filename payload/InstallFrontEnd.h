// What an installation asks of whoever runs it: the wizard, a "/P" run with
// its progress window, a "/S" run with nobody there, or a test. The engine
// and the install session never open a window; every question and every
// report goes through this interface.
#pragma once

#include <cstdint>
#include <string>

namespace qwp {

struct InstallProgress {
    std::int64_t bytesPlanned = 0;
    std::int64_t bytesWritten = 0;     // of copies finished so far
    std::string currentDestination;    // the copy about to be written; empty at the end
};

// The answer to a file that could not be written.
enum class CopyAnswer {
    Abort,   // stop the installation; what was copied stays
    Retry,   // try the same file again
    Ignore,  // go on without it
};

// The answer to a progress report: whether the copies go on.
enum class ProgressAnswer { Continue, Stop };

class InstallFrontEnd {
public:
    virtual ~InstallFrontEnd() = default;

    // Before each copy and once when the copies are done. Stop ends the run
    // before the next copy, as Abort after a failed copy does; at the last
    // report nothing is left to stop.
    virtual ProgressAnswer OnProgress(const InstallProgress& progress) = 0;
    // A file could not be written; message is the text to show the user.
    virtual CopyAnswer OnCopyFailed(const std::string& destination, const std::string& message) = 0;
    // A step failed that the user or the deployment must hear of; the run
    // goes on.
    virtual void OnFailure(const std::string& message) = 0;
};

}  // namespace qwp
