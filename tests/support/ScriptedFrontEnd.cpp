#include "tests/support/ScriptedFrontEnd.h"

namespace qwp::test {

ProgressAnswer ScriptedFrontEnd::OnProgress(const InstallProgress& progress) {
    progress_.push_back(progress);
    return onProgress ? onProgress(progress) : ProgressAnswer::Continue;
}

CopyAnswer ScriptedFrontEnd::OnCopyFailed(const std::string& destination, const std::string& message) {
    questions_.push_back(Question{destination, message});
    return script_.Next();
}

}  // namespace qwp::test
