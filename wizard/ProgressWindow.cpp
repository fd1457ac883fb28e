#include "wizard/ProgressWindow.h"
#include "instutils/EscapedException.h"
#include "wizard/WindowThunk.h"

#include "instutils/SetupError.h"
#include "instutils/SystemLibrary.h"
#include "instutils/TempFiles.h"
#include "wizard/ControlIds.h"
#include "wizard/EndOfSession.h"
#include "wizard/PageLayout.h"
#include "wizard/WizardTexts.h"

#include <commctrl.h>

namespace qwp {

const char kProgressWindowClass[] = "QuilvaneSetupProgress";

namespace {

constexpr WORD kApplicationIconId = 1;
// The client area in pixels at 96 DPI.
constexpr int kWindowWidth = 400;
constexpr int kWindowHeight = 96;
constexpr int kMargin = 12;

void RegisterProgressClass(HINSTANCE instance, WNDPROC windowProc) {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    if (GetClassInfoExA(instance, kProgressWindowClass, &wc)) return;
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = windowProc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(kApplicationIconId));
    wc.hCursor = LoadCursorA(nullptr, IDC_APPSTARTING);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kProgressWindowClass;
    RegisterClassExA(&wc);
}

}  // namespace

TProgressWindow::TProgressWindow(HWND owner, int dpi) {
    if (dpi <= 0) dpi = SystemDpi();
    HINSTANCE instance = GetModuleHandleA(nullptr);
    InitCommonControlClasses(ICC_PROGRESS_CLASS);
    RegisterProgressClass(instance, WindowThunk<TProgressWindow>);

    // A caption without a system menu: no close box and no menu to close
    // from. The window carries its own taskbar button.
    const DWORD style = WS_POPUP | WS_CAPTION | WS_CLIPCHILDREN;
    const DWORD exStyle = WS_EX_APPWINDOW;
    RECT frame{0, 0, Scale(kWindowWidth, dpi), Scale(kWindowHeight, dpi)};
    AdjustWindowRectEx(&frame, style, FALSE, exStyle);
    const int width = frame.right - frame.left, height = frame.bottom - frame.top;
    const int x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    const int y = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    CreateWindowExA(exStyle, kProgressWindowClass, kSetupTitle, style, x, y, width, height, owner, nullptr, instance,
                    this);
    if (!hwnd_) throw SetupError("the progress window could not be created");
    try {
        CreateControls(dpi);
    } catch (...) {
        DestroyWindow(hwnd_);
        throw;
    }
    block_ = std::make_unique<ShutdownBlock>(hwnd_);
    ShowWindow(hwnd_, SW_SHOWNORMAL);
    UpdateWindow(hwnd_);
}

TProgressWindow::~TProgressWindow() {
    block_.reset();
    if (hwnd_) DestroyWindow(hwnd_);
}

void TProgressWindow::CreateControls(int dpi) {
    font_.reset(CreateDialogFont(dpi));

    HINSTANCE instance = GetModuleHandleA(nullptr);
    const int margin = Scale(kMargin, dpi), inner = Scale(kWindowWidth - 2 * kMargin, dpi);
    auto make = [&](const char* className, const char* text, DWORD style, int id, int y, int height) {
        HWND control = CreateWindowExA(0, className, text, WS_CHILD | WS_VISIBLE | style, margin, Scale(y, dpi),
                                       inner, Scale(height, dpi), hwnd_,
                                       reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
        if (!control) throw SetupError(std::string("control not created: ") + className);
        SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
        return control;
    };
    make("STATIC", kPageTitles[5], SS_LEFT | SS_NOPREFIX, IDC_InstallTitleLbl, 12, 16);
    // A long path loses its middle rather than its file name.
    fileLabel_ = make("STATIC", "", SS_LEFT | SS_NOPREFIX | SS_PATHELLIPSIS, IDC_InstallFileLbl, 34, 16);
    progressBar_ = make(PROGRESS_CLASSA, "", 0, IDC_InstallProgressBar, 58, 18);
    SendMessageA(progressBar_, PBM_SETRANGE32, 0, 1000);
}

void TProgressWindow::Show(const InstallProgress& progress) {
    SetWindowTextA(fileLabel_, progress.currentDestination.c_str());
    const std::int64_t position =
        progress.bytesPlanned > 0 ? progress.bytesWritten * 1000 / progress.bytesPlanned : 0;
    SendMessageA(progressBar_, PBM_SETPOS, static_cast<WPARAM>(position), 0);
    PumpMessages();
    RethrowEscapedException();
}

// Keeps the window painting and movable while the run works on this thread.
// A quit request is put back for whoever runs the next loop.
void TProgressWindow::PumpMessages() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

LRESULT TProgressWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CLOSE:
            return 0;  // nothing may stop the run half way
        case WM_QUERYENDSESSION:
            return FALSE;
        case WM_ENDSESSION:
            if (wParam && ending_) {
                const std::function<void()> ending = std::move(ending_);
                ending_ = nullptr;
                ending();
            }
            return 0;
        case WM_CTLCOLORSTATIC: {
            HDC dc = reinterpret_cast<HDC>(wParam);
            SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
            SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
            return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
        }
        default:
            return DefWindowProcA(hwnd_, message, wParam, lParam);
    }
}

}  // namespace qwp
