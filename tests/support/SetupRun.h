// One run of this build's real setup program, its wizard worked from outside
// as a user works it: moving between pages, reading the buttons, answering
// the setup's message boxes, clicking rows of the components list, and
// keeping a picture of any window of the run.
#pragma once

#include "tests/support/ProcessDriver.h"
#include "tests/support/SetupWalk.h"

#include <windows.h>

#include <memory>
#include <string>

namespace qwp::test {

// The pages in the order the wizard shows them, as the pictures name them.
inline constexpr const char* kPageNames[8] = {"welcome", "license", "destination", "components",
                                              "ready",   "installing", "associations", "complete"};

// The program's texts break lines with a lone CR; its message box shows
// them with CR LF.
std::string WithCrLf(const std::string& text);

// One message box of the setup, found by its caption.
struct MessageBoxSeen {
    HWND window = nullptr;
    std::string text;     // the message as its label shows it
    std::string buttons;  // the push buttons left to right, "&No|&Abort"
};

class SetupRun {
public:
    // Starts setup.exe (this build's, or the copy given) with the arguments
    // given, in the folder given (the test's current folder when empty), and
    // waits for the wizard. Pictures go to the screens folder (a folder
    // text).
    explicit SetupRun(const std::string& screens, const std::string& arguments = {},
                      const std::string& folder = {}, const std::string& program = {});
    SetupRun(const SetupRun&) = delete;
    SetupRun& operator=(const SetupRun&) = delete;

    bool Started() const { return window_ != nullptr; }
    HWND Window() const { return window_; }
    ChildProcess& Process() { return *process_; }
    DWORD WaitForExit(DWORD milliseconds = kStartTimeout) { return process_->WaitForExit(milliseconds); }
    bool Running() { return process_->WaitForExit(0) == STILL_ACTIVE; }

    // The page is shown: its title in the top label and its sheet visible.
    bool OnPage(int page) const;
    bool WaitForPage(int page, DWORD timeout = kPageTimeout) const;
    // The page shown, -1 when none is.
    int Page() const;

    void Next();
    void Cancel();
    // The title bar's close box sends this command; Alt+F4 as well.
    void CloseBox();
    void CloseMessage();

    // The buttons as "Back|Next|Cancel", each caption with a "-" when
    // disabled; a hidden button is "(hidden)".
    std::string Buttons() const;

    // Keeps a picture of a window of the run (the wizard by default), by
    // default once it has painted; a page that is busy is taken as it is.
    void Shoot(const std::string& name, HWND window = nullptr, bool settle = true);
    void ShootPage(int page, const std::string& suffix = {});
    // The whole screen, for what lies outside the wizard (a dropped list).
    void ShootScreen(const std::string& name);

    // Next on every page from the one shown up to the page given, with a
    // picture of each page passed; false (and a failure) when a page does
    // not appear.
    bool WalkTo(int page, const std::string& suffix = {});

    // A message box of this run with the caption given, read once it is
    // there; window NULL when none appears in time.
    MessageBoxSeen WaitForMessage(const char* caption, DWORD timeout = kPageTimeout);
    // Presses a button of a message box and waits until the box is gone.
    static bool Answer(const MessageBoxSeen& box, const std::string& caption);
    // Closes the run through the close question (its Abort), with a picture
    // of the question when a name is given; true when the process then ended
    // with exit code 0.
    bool AbortThroughCloseQuestion(const std::string& shotName = {});

    // Clicks the check box part of a row of the components list, as the
    // mouse does.
    bool ClickComponentBox(int row);

private:
    std::string screens_;
    std::unique_ptr<ChildProcess> process_;
    HWND window_ = nullptr;
};

}  // namespace qwp::test
