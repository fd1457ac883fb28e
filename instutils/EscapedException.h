// An exception that reached a window procedure. Nothing may unwind through
// user32, so the window boundary keeps what the first such exception said;
// the loop that runs the window (the wizard's modal loop, the progress
// window's pump) ends and throws it again on the program's own side, where
// the run ends as a failure instead of going on as if nothing had happened.
// Only the reason travels (not the exception object itself): that is all
// the end of the run reports, and it spares the program the runtime's
// exception-pointer support.
#pragma once

#include <string>

namespace qwp {

// The reason of the exception being handled, as a user can read it. Only
// inside a catch block.
std::string ReasonOfCurrentException();

// What an exception said, kept to be thrown again elsewhere (on another
// thread, or after a window boundary).
struct KeptException {
    bool noMemory = false;
    std::string reason;

    // The exception being handled; only inside a catch block.
    static KeptException OfCurrentException() noexcept;
    // std::bad_alloc for a lack of memory, SetupError with the reason
    // otherwise.
    [[noreturn]] void Rethrow();
};

// Keeps the reason of the exception being handled, unless one is kept
// already (the first is the cause). Only inside a catch block.
void KeepEscapedException() noexcept;
bool EscapedExceptionPending();
// Throws what was kept again, forgetting it: std::bad_alloc for a lack of
// memory, SetupError with the reason otherwise; does nothing when nothing
// is kept.
void RethrowEscapedException();

}  // namespace qwp
