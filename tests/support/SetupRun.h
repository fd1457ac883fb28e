// One run of this build's real setup program, its wizard worked from outside
// as a user works it: moving between pages, walking through them, reading
// the buttons, answering the setup's message boxes, clicking rows of the
// components list, and keeping a picture of any window of the run when
// pictures are wanted.
#pragma once

#include "tests/support/ProcessDriver.h"
#include "tests/support/SetupWalk.h"

#include <windows.h>

#include <functional>
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

// What a walk through the pages does besides pressing Next.
struct WalkOptions {
    // Called on each page reached, once it is shown and before its picture
    // and Next.
    std::function<void(int page)> check;
    // The installing page is reached as well: the copy is held at its first
    // report under the close question (see HoldCopyAtFirstReport), the page
    // checked and pictured there, and the copy let go on with No.
    bool holdWhileCopying = false;
};

class SetupRun {
public:
    // Starts setup.exe (this build's, or the copy given) with the arguments
    // given, in the folder given (the test's current folder when empty), and
    // waits for the wizard. Pictures go to the screens folder (a folder
    // text); none are taken when it is empty.
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
    // Nothing when no pictures are wanted (see ScreensWanted).
    void Shoot(const std::string& name, HWND window = nullptr, bool settle = true);
    void ShootPage(int page, const std::string& suffix = {});
    // The whole screen, for what lies outside the wizard (a dropped list).
    void ShootScreen(const std::string& name);

    // Next on every page from the welcome page up to the page given, with a
    // picture of each page reached. The installing page moves on by itself,
    // to the associations page or, when there is none, the completion page;
    // the page after it may take as long as an installation. False (and a
    // failure) when a page does not appear.
    bool WalkTo(int page, const WalkOptions& options = {});
    // The walk up to the completion page and Finish there; true when the
    // setup then ended with exit code 0.
    bool InstallThroughFinish(const WalkOptions& options = {});
    // Next on the ready page with Cancel posted right behind it: the copy's
    // first message pump takes the Cancel, so the installation waits at its
    // first report, on the installing page, under the close question, which
    // is returned (window NULL, and a failure, when none came).
    MessageBoxSeen HoldCopyAtFirstReport();

    // A message box of this run with the caption given, read once it is
    // there; window NULL when none appears in time.
    MessageBoxSeen WaitForMessage(const char* caption, DWORD timeout = kPageTimeout);
    // Presses a button of a message box and waits until the box is gone and
    // the window that asked has gone on with the answer.
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
