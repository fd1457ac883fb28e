#include "wizard/EndOfSession.h"

#include "instutils/RunLog.h"

namespace qwp {

const wchar_t kInstallingBlockReason[] = L"Installing Quilvane Word Processor";

ShutdownBlock::ShutdownBlock(HWND window) : window_(window) {
    // Where the system only pretends to keep the reason, refusing still
    // works: the reason is what the user reads, not what holds the session.
    ShutdownBlockReasonCreate(window_, kInstallingBlockReason);
}

ShutdownBlock::~ShutdownBlock() { ShutdownBlockReasonDestroy(window_); }

void SessionEndingFrontEnd::OnFailure(const std::string& message) { RunLogLine("Failure", message); }

}  // namespace qwp
