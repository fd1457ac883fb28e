// Stands in for a front end of the install session: records every progress
// report, question and failure, and answers the questions from a script.
#pragma once

#include "payload/InstallFrontEnd.h"

#include "tests/support/AnswerScript.h"

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace qwp::test {

class ScriptedFrontEnd : public InstallFrontEnd {
public:
    struct Question {
        std::string destination;
        std::string message;
    };

    // Answers given in turn; once they run out, every question is answered
    // with the fallback (Abort unless set), so a test can never hang in a
    // Retry loop. The step's action runs while the question is "up".
    void Queue(CopyAnswer answer, std::function<void()> before = {}) { script_.Queue(answer, std::move(before)); }
    void SetFallback(CopyAnswer answer) { script_.SetFallback(answer); }
    // Called for every progress report; its answer is given back (Continue
    // when unset).
    std::function<ProgressAnswer(const InstallProgress&)> onProgress;

    const std::vector<Question>& Questions() const { return questions_; }
    const std::vector<InstallProgress>& Progress() const { return progress_; }
    const std::vector<std::string>& Failures() const { return failures_; }

    ProgressAnswer OnProgress(const InstallProgress& progress) override;
    CopyAnswer OnCopyFailed(const std::string& destination, const std::string& message) override;
    void OnFailure(const std::string& message) override { failures_.push_back(message); }

private:
    AnswerScript<CopyAnswer> script_{CopyAnswer::Abort};
    std::vector<Question> questions_;
    std::vector<InstallProgress> progress_;
    std::vector<std::string> failures_;
};

}  // namespace qwp::test
