// Taking over a system control's messages (subclassing it) without its
// GWLP_USERDATA, which belongs to whoever created the control: the object
// and the control's own window procedure live in two window properties.
#pragma once

#include <windows.h>

#include <functional>

namespace qwp {

// Routes a window's messages to a handler until detached or until the window
// is destroyed; the window's own procedure stays reachable through
// CallPrevious. One object per window: the properties have fixed names.
class SubclassedWindow {
public:
    using Handler = std::function<LRESULT(UINT, WPARAM, LPARAM)>;
    SubclassedWindow() = default;
    ~SubclassedWindow() { Detach(); }
    SubclassedWindow(const SubclassedWindow&) = delete;
    SubclassedWindow& operator=(const SubclassedWindow&) = delete;

    // Does nothing for a window that does not exist. WM_NCDESTROY does not
    // reach the handler: the window's own procedure handles it, the window
    // is let go, and then destroyed, when given, is called.
    void Attach(HWND window, Handler handler, std::function<void()> destroyed = {});
    void Detach();
    // NULL once detached or destroyed.
    HWND Handle() const { return window_; }
    LRESULT CallPrevious(UINT message, WPARAM wParam, LPARAM lParam) const;

private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    HWND window_ = nullptr;
    WNDPROC previous_ = nullptr;
    Handler handler_;
    std::function<void()> destroyed_;
};

}  // namespace qwp
