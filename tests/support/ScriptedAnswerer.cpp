#include "tests/support/ScriptedAnswerer.h"

namespace qwp::test {

ScriptedAnswerer::ScriptedAnswerer() {
    SetMessageAnswerer([this](const MessageRequest& request) { return Answer(request); });
}

ScriptedAnswerer::~ScriptedAnswerer() { SetMessageAnswerer({}); }

MsgResult ScriptedAnswerer::Answer(const MessageRequest& request) {
    requests_.push_back(request);
    return script_.Next();
}

}  // namespace qwp::test
