#include "tests/support/ScriptedAnswerer.h"

namespace qwp::test {

ScriptedAnswerer::ScriptedAnswerer() {
    SetMessageAnswerer([this](const MessageRequest& request) { return Answer(request); });
}

ScriptedAnswerer::~ScriptedAnswerer() { SetMessageAnswerer({}); }

void ScriptedAnswerer::Queue(MsgResult answer, std::function<void()> before) {
    script_.push_back(Step{answer, std::move(before)});
}

MsgResult ScriptedAnswerer::Answer(const MessageRequest& request) {
    requests_.push_back(request);
    if (script_.empty()) return fallback_;
    Step step = std::move(script_.front());
    script_.pop_front();
    if (step.before) step.before();
    return step.answer;
}

}  // namespace qwp::test
