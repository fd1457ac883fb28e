#include "instutils/EscapedException.h"

namespace qwp {

namespace {

std::exception_ptr& Kept() {
    static std::exception_ptr kept;
    return kept;
}

}  // namespace

void KeepEscapedException(std::exception_ptr exception) {
    if (!Kept()) Kept() = std::move(exception);
}

bool EscapedExceptionPending() { return static_cast<bool>(Kept()); }

void RethrowEscapedException() {
    if (!Kept()) return;
    std::exception_ptr exception = Kept();
    Kept() = nullptr;
    std::rethrow_exception(exception);
}

}  // namespace qwp
