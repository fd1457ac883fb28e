// Stands in for the user at the message dialog: records every request and
// answers from a script. Puts the real dialog back when it goes.
#pragma once

#include "controls/MessageDlg.h"

#include "tests/support/AnswerScript.h"

#include <functional>
#include <utility>
#include <vector>

namespace qwp::test {

class ScriptedAnswerer {
public:
    ScriptedAnswerer();
    ~ScriptedAnswerer();
    ScriptedAnswerer(const ScriptedAnswerer&) = delete;
    ScriptedAnswerer& operator=(const ScriptedAnswerer&) = delete;

    // Answers given in turn; once they run out, every request is answered
    // with the fallback (Abort unless set), so a test can never hang in a
    // Retry loop.
    void Queue(MsgResult answer, std::function<void()> before = {}) { script_.Queue(answer, std::move(before)); }
    void SetFallback(MsgResult answer) { script_.SetFallback(answer); }

    const std::vector<MessageRequest>& Requests() const { return requests_; }

private:
    MsgResult Answer(const MessageRequest& request);

    AnswerScript<MsgResult> script_{MsgResult::Abort};
    std::vector<MessageRequest> requests_;
};

}  // namespace qwp::test
