// The end of the Windows session (a log-off, a shut-down) while the setup
// works. While files are copied the setup refuses it, with a reason Windows
// shows the user ("Installing Quilvane Word Processor"). When the session
// ends all the same, the process is ended as soon as its window has
// answered WM_ENDSESSION: whatever was installed must be recorded before
// that answer.
#pragma once

#include "payload/InstallFrontEnd.h"

#include <windows.h>

namespace qwp {

extern const wchar_t kInstallingBlockReason[];  // L"Installing Quilvane Word Processor"

// The window's reason for refusing the end of the session, for as long as
// this object lives.
class ShutdownBlock {
public:
    explicit ShutdownBlock(HWND window);
    ~ShutdownBlock();
    ShutdownBlock(const ShutdownBlock&) = delete;
    ShutdownBlock& operator=(const ShutdownBlock&) = delete;

private:
    HWND window_;
};

// The front end of the ending run while the session ends: nobody is asked,
// a copy stops, and what could not be recorded goes to the run log.
class SessionEndingFrontEnd final : public InstallFrontEnd {
public:
    ProgressAnswer OnProgress(const InstallProgress&) override { return ProgressAnswer::Stop; }
    CopyAnswer OnCopyFailed(const std::string&, const std::string&) override { return CopyAnswer::Abort; }
    void OnFailure(const std::string& message) override;
};

}  // namespace qwp
