#include "instutils/EscapedException.h"

#include "instutils/SetupError.h"

#include <new>

namespace qwp {

namespace {

const char kNoMemory[] = "There is not enough memory.";

struct Kept {
    bool pending = false;
    KeptException exception;
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

KeptException KeptException::OfCurrentException() noexcept {
    KeptException kept;
    try {
        kept.reason = ReasonOfCurrentException();
        kept.noMemory = kept.reason == kNoMemory;
    } catch (...) {
        // No memory even for the reason's text.
        kept.noMemory = true;
    }
    return kept;
}

void KeptException::Rethrow() {
    if (noMemory) throw std::bad_alloc();
    throw SetupError(std::move(reason));
}

void KeepEscapedException() noexcept {
    Kept& kept = State();
    if (kept.pending) return;
    kept.exception = KeptException::OfCurrentException();
    kept.pending = true;
}

bool EscapedExceptionPending() { return State().pending; }

void RethrowEscapedException() {
    Kept& kept = State();
    if (!kept.pending) return;
    kept.pending = false;
    kept.exception.Rethrow();
}

}  // namespace qwp
