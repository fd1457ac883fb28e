#include "instutils/EscapedException.h"

#include "instutils/SetupError.h"

#include <new>

namespace qwp {

namespace {

const char kNoMemory[] = "There is not enough memory.";

struct Kept {
    bool pending = false;
    bool noMemory = false;
    std::string reason;
};

Kept& State() {
    static Kept kept;
    return kept;
}

}  // namespace

std::string ReasonOfCurrentException() {
    try {
        throw;
    } catch (const std::bad_alloc&) {
        return kNoMemory;
    } catch (const std::exception& error) {
        return error.what();
    } catch (...) {
        return "An unknown error occurred.";
    }
}

void KeepEscapedException() noexcept {
    Kept& kept = State();
    if (kept.pending) return;
    try {
        kept.reason = ReasonOfCurrentException();
        kept.noMemory = kept.reason == kNoMemory;
    } catch (...) {
        // No memory even for the reason's text.
        kept.noMemory = true;
    }
    kept.pending = true;
}

bool EscapedExceptionPending() { return State().pending; }

void RethrowEscapedException() {
    Kept& kept = State();
    if (!kept.pending) return;
    kept.pending = false;
    if (kept.noMemory) throw std::bad_alloc();
    throw SetupError(std::move(kept.reason));
}

}  // namespace qwp
