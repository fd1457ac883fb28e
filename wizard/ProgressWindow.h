// The one window of a "/P" run: the installing page's progress bar and the
// name of the file being written, under the setup's caption. It asks
// nothing and has no button or close box; a close request is ignored, since
// nothing may stop the run half way. While it is shown it refuses the end of
// the Windows session, with the reason "Installing Quilvane Word Processor".
#pragma once

#include "instutils/Handles.h"
#include "payload/InstallFrontEnd.h"

#include <windows.h>

#include <functional>
#include <memory>

namespace qwp {

extern const char kProgressWindowClass[];  // "QuilvaneSetupProgress"

class ShutdownBlock;

class TProgressWindow {
public:
    // Creates and shows the window, centred on the screen, owned by owner.
    // A dpi of 0 takes the system's. Throws when the window cannot be made.
    explicit TProgressWindow(HWND owner, int dpi = 0);
    ~TProgressWindow();
    TProgressWindow(const TProgressWindow&) = delete;
    TProgressWindow& operator=(const TProgressWindow&) = delete;

    HWND Handle() const { return hwnd_; }
    // What to do, once, when the Windows session ends all the same (the end
    // is refused while the window lives): the run's ending, which records
    // what was installed before the process is ended.
    void OnEndOfSession(std::function<void()> ending) { ending_ = std::move(ending); }
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
    std::unique_ptr<ShutdownBlock> block_;
    std::function<void()> ending_;
};

}  // namespace qwp
