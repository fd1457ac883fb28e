// The answers a scripted stand-in for the user gives, in turn: each with an
// action that runs while the question is "up"; once they run out, the
// fallback answers every question, so a test can never hang in a Retry loop.
#pragma once

#include <deque>
#include <functional>
#include <utility>

namespace qwp::test {

template <typename Answer>
class AnswerScript {
public:
    explicit AnswerScript(Answer fallback) : fallback_(fallback) {}

    void Queue(Answer answer, std::function<void()> before = {}) {
        steps_.push_back(Step{answer, std::move(before)});
    }
    void SetFallback(Answer answer) { fallback_ = answer; }

    // The next answer, after running its action.
    Answer Next() {
        if (steps_.empty()) return fallback_;
        Step step = std::move(steps_.front());
        steps_.pop_front();
        if (step.before) step.before();
        return step.answer;
    }

private:
    struct Step {
        Answer answer;
        std::function<void()> before;
    };
    std::deque<Step> steps_;
    Answer fallback_;
};

}  // namespace qwp::test
