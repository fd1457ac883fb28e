#include "controls/SubclassedWindow.h"

#include "instutils/EscapedException.h"

namespace qwp {
namespace {

constexpr char kSelfProp[] = "QwpSubclassSelf";
constexpr char kPreviousProp[] = "QwpSubclassPrevious";

}  // namespace

void SubclassedWindow::Attach(HWND window, Handler handler, std::function<void()> destroyed) {
    Detach();
    if (!IsWindow(window)) return;
    window_ = window;
    handler_ = std::move(handler);
    destroyed_ = std::move(destroyed);
    previous_ = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(window, GWLP_WNDPROC));
    // Both properties exist before the first message reaches Proc.
    SetPropA(window, kPreviousProp, reinterpret_cast<HANDLE>(previous_));
    SetPropA(window, kSelfProp, this);
    SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Proc));
}

void SubclassedWindow::Detach() {
    if (!window_) return;
    RemovePropA(window_, kSelfProp);
    // When someone subclassed the window after us, taking our procedure out
    // would cut theirs off; Proc then keeps forwarding on its own.
    if (GetWindowLongPtrA(window_, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&Proc)) {
        SetWindowLongPtrA(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous_));
        RemovePropA(window_, kPreviousProp);
    }
    window_ = nullptr;
}

LRESULT SubclassedWindow::CallPrevious(UINT message, WPARAM wParam, LPARAM lParam) const {
    return CallWindowProcA(previous_, window_, message, wParam, lParam);
}

LRESULT CALLBACK SubclassedWindow::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = static_cast<SubclassedWindow*>(GetPropA(window, kSelfProp));
    if (!self) {
        // The object is gone but could not take this procedure out.
        const auto previous = reinterpret_cast<WNDPROC>(GetPropA(window, kPreviousProp));
        if (!previous) return DefWindowProcA(window, message, wParam, lParam);
        const LRESULT result = CallWindowProcA(previous, window, message, wParam, lParam);
        if (message == WM_NCDESTROY) RemovePropA(window, kPreviousProp);
        return result;
    }
    // No exception may unwind through user32's frames.
    try {
        if (message == WM_NCDESTROY) {
            const LRESULT result = self->CallPrevious(message, wParam, lParam);
            RemovePropA(window, kSelfProp);
            RemovePropA(window, kPreviousProp);
            self->window_ = nullptr;
            if (self->destroyed_) self->destroyed_();
            return result;
        }
        return self->handler_ ? self->handler_(message, wParam, lParam) : self->CallPrevious(message, wParam, lParam);
    } catch (...) {
        // Kept for the loop that runs the window, which ends the run with it.
        KeepEscapedException();
        return 0;
    }
}

}  // namespace qwp
