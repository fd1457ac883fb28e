// The front end of a run that nobody watches ("/S", "/P"): every question
// gets the answer that stops or changes nothing (Abort for a file that
// cannot be written, so no Retry loop can spin), and every question and
// failure goes to the run's log. With a progress window, the window shows
// the copies.
#pragma once

#include "instutils/RunLog.h"
#include "payload/InstallFrontEnd.h"
#include "wizard/ProgressWindow.h"

namespace qwp {

class UnattendedFrontEnd final : public InstallFrontEnd {
public:
    explicit UnattendedFrontEnd(TProgressWindow* window = nullptr) : window_(window) {}

    ProgressAnswer OnProgress(const InstallProgress& progress) override {
        if (window_) window_->Show(progress);
        return stopped_ ? ProgressAnswer::Stop : ProgressAnswer::Continue;
    }
    // The copy stops at its next report, as after Abort.
    void Stop() { stopped_ = true; }
    CopyAnswer OnCopyFailed(const std::string&, const std::string& message) override {
        RunLogLine("Message", message + " (answered Abort)");
        return CopyAnswer::Abort;
    }
    void OnFailure(const std::string& message) override { RunLogLine("Failure", message); }

private:
    TProgressWindow* window_;  // not owned; may be null
    bool stopped_ = false;
};

}  // namespace qwp
