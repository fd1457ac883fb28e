// An exception that reached a window procedure. Nothing may unwind through
// user32, so the window boundary keeps the first such exception here; the
// loop that runs the window (the wizard's modal loop, the progress window's
// pump) ends and throws it again on the program's own side, where the run
// ends as a failure instead of going on as if nothing had happened.
#pragma once

#include <exception>

namespace qwp {

// Keeps the exception unless one is kept already (the first is the cause).
void KeepEscapedException(std::exception_ptr exception);
bool EscapedExceptionPending();
// Throws the kept exception, forgetting it; does nothing when none is kept.
void RethrowEscapedException();

}  // namespace qwp
