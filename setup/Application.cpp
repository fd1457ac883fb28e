#include "setup/Application.h"

#include "instutils/TempFiles.h"

namespace qwp {

namespace {

const char kOwnerClass[] = "QuilvaneSetupApplication";
constexpr WORD kApplicationIconId = 1;

ATOM RegisterOwnerClass(HINSTANCE instance, HICON icon) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = instance;
    wc.hIcon = icon;
    wc.lpszClassName = kOwnerClass;
    return RegisterClassA(&wc);
}

}  // namespace

Application::Application(HINSTANCE instance) : instance_(instance) {}

HICON Application::Icon() {
    // Loading an icon brings in the display driver: a run without windows
    // never asks for it.
    if (!icon_) icon_ = LoadIconA(instance_, MAKEINTRESOURCEA(kApplicationIconId));
    return icon_;
}

HWND Application::Owner() {
    if (owner_) return owner_;
    RegisterOwnerClass(instance_, Icon());
    // Never shown: it owns the wizard and the message dialogs, and gives the
    // process its title.
    owner_ = CreateWindowExA(0, kOwnerClass, kSetupTitle, WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                             instance_, nullptr);
    if (owner_) {
        SendMessageA(owner_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
        SetWindowTextA(owner_, kSetupTitle);
    }
    return owner_;
}

void Application::ShowTaskbarButton() {
    if (!Owner()) return;
    // A visible window that nothing owns gets a taskbar button; with no
    // area, nothing of it is drawn.
    ShowWindow(owner_, SW_SHOWNA);
    SetActiveWindow(owner_);
}

Application::~Application() {
    if (!owner_) return;
    DestroyWindow(owner_);
    UnregisterClassA(kOwnerClass, instance_);
}

}  // namespace qwp
