#include "tests/support/ScriptedFrontEnd.h"

namespace qwp::test {

void ScriptedFrontEnd::Queue(CopyAnswer answer, std::function<void()> before) {
    script_.push_back(Step{answer, std::move(before)});
}

ProgressAnswer ScriptedFrontEnd::OnProgress(const InstallProgress& progress) {
    progress_.push_back(progress);
    return onProgress ? onProgress(progress) : ProgressAnswer::Continue;
}

CopyAnswer ScriptedFrontEnd::OnCopyFailed(const std::string& destination, const std::string& message) {
    questions_.push_back(Question{destination, message});
    if (script_.empty()) return fallback_;
    Step step = std::move(script_.front());
    script_.pop_front();
    if (step.before) step.before();
    return step.answer;
}

}  // namespace qwp::test
