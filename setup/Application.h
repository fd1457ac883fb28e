// The application object: its title, its icon and the hidden owner window
// that every window of the setup belongs to (it carries the taskbar text).
#pragma once

#include <windows.h>

namespace qwp {

class Application {
public:
    explicit Application(HINSTANCE instance);
    ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    // Made on first use: a run that never shows a window ("/S") makes none.
    HWND Owner();
    // Shows the owner window, without any area, and makes it the active
    // window, for a message that appears before any other window: the
    // taskbar then has a button with the title and the icon, and the
    // message, owned by the active window, needs none of its own.
    void ShowTaskbarButton();
    // Loaded on first use, as the owner window is.
    HICON Icon();

private:
    HINSTANCE instance_;
    HICON icon_ = nullptr;  // a shared resource icon: never destroyed
    HWND owner_ = nullptr;
};

}  // namespace qwp
