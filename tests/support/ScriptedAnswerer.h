// Stands in for the user at the message dialog: records every request and
// answers from a script. Puts the real dialog back when it goes.
#pragma once

#include "controls/MessageDlg.h"

#include <deque>
#include <functional>
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
    void Queue(MsgResult answer, std::function<void()> before = {});
    void SetFallback(MsgResult answer) { fallback_ = answer; }

    const std::vector<MessageRequest>& Requests() const { return requests_; }

private:
    struct Step {
        MsgResult answer;
        std::function<void()> before;  // runs while the "dialog" is up
    };
    MsgResult Answer(const MessageRequest& request);

    std::deque<Step> script_;
    std::vector<MessageRequest> requests_;
    MsgResult fallback_ = MsgResult::Abort;
};

}  // namespace qwp::test
