// The window procedure of each window kind of ours.
//
// The object arrives through CreateWindowEx's creation parameter, is kept in
// the window's user data and is forgotten at WM_NCDESTROY, so no message
// reaches an object that is gone. Nothing may unwind through user32: an
// exception ends the message as handled and is kept (EscapedException.h),
// for the loop that runs the window to end the run with it.
//
// A window kind names it as a friend and keeps a member `HWND hwnd_` and a
// member `LRESULT HandleMessage(UINT, WPARAM, LPARAM)`.
#pragma once

#include "instutils/EscapedException.h"

#include <windows.h>

namespace qwp {

template <typename Window>
LRESULT CALLBACK WindowThunk(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    Window* self;
    if (message == WM_NCCREATE) {
        self = static_cast<Window*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        self->hwnd_ = hwnd;
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    } else {
        self = reinterpret_cast<Window*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    }
    if (!self) return DefWindowProcA(hwnd, message, wParam, lParam);
    try {
        const LRESULT result = self->HandleMessage(message, wParam, lParam);
        if (message == WM_NCDESTROY) {
            SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
            self->hwnd_ = nullptr;
        }
        return result;
    } catch (...) {
        KeepEscapedException();
        return 0;
    }
}

}  // namespace qwp
