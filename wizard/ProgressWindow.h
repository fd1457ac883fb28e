// The one window of a "/P" run: the installing page's progress bar and the
// name of the file being written, under the setup's caption. It asks
// nothing and has no button or close box; a close request is ignored, since
// nothing may stop the run half way.
#pragma once

#include "instutils/Handles.h"
#include "payload/InstallFrontEnd.h"

#include <windows.h>

namespace qwp {

extern const char kProgressWindowClass[];  // "QuilvaneSetupProgress"

class TProgressWindow {
public:
    // Creates and shows the window, centred on the screen, owned by owner.
    // A dpi of 0 takes the system's. Throws when the window cannot be made.
    explicit TProgressWindow(HWND owner, int dpi = 0);
    ~TProgressWindow();
    TProgressWindow(const TProgressWindow&) = delete;
    TProgressWindow& operator=(const TProgressWindow&) = delete;

    HWND Handle() const { return hwnd_; }
    // Shows the copy about to be written and the share of bytes done, then
    // lets the window paint and answer before the next copy.
    void Show(const InstallProgress& progress);

private:
    template <typename Window>
    friend LRESULT CALLBACK WindowThunk(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void CreateControls(int dpi);
    void PumpMessages();

    HWND hwnd_ = nullptr;
    HWND fileLabel_ = nullptr;
    HWND progressBar_ = nullptr;
    UniqueGdiObject font_;
};

}  // namespace qwp
