// The moves between pages, the questions the wizard asks and how it ends:
// button states, captions and titles after every move, the licence loading,
// the running-instance test, the close question and the modal results.
#include "instutils/TempFiles.h"
#include "tests/registration/PostInstallTraces.h"
#include "tests/support/SetupWalk.h"
#include "tests/wizard/WizardFixture.h"

#include <algorithm>
#include <stdexcept>

namespace qwp::test {
namespace {

const char kRunningText[] =
    "A copy of Quilvane Word Processor is already running on your system.\r"
    "Please close any running instance(s) of Quilvane Word Processor, then click OK in this dialog.";
const char kRefusalText[] =
    "To install this program, you need to agree to all the terms of the License Agreement.\r"
    "Do you really want to cancel the Quilvane install?";

struct PageState {
    int page;
    const char* title;
    bool backVisible, backEnabled, nextEnabled;
    const char* nextCaption;
    bool cancelEnabled;
    int focus;  // 0: not checked
};

// What every page shows after a move into it, as the user sees it.
const PageState kWalk[] = {
    {0, "Welcome to the Quilvane Word Processor Setup", false, true, true, "&Next >", true, 0},
    {1, "License Agreement", true, true, true, "&Next >", true, IDC_LicenseMemo},
    {2, "Choose Destination Folder", true, true, true, "&Next >", true, IDC_DestDirEdt},
    {3, "Select Components", true, true, true, "&Next >", true, IDC_SelCompLstBx},
    {4, "Ready to Install", true, true, true, "&Next >", true, IDC_NextBtn},
    {6, "Associate With Document Types", true, false, true, "&Next >", true, IDC_AssocChkBx1},
    {7, "Installation Complete", true, false, true, "&Finish", false, 0},
};

class NavigationTest : public InstallingWizardTest {
protected:
    // A refused move leaves the focus where the click put it.
    void ExpectStateAfterRefusal(PageState s) {
        s.focus = 0;
        ExpectState(s);
    }
    void ExpectState(const PageState& s) {
        SCOPED_TRACE("page " + std::to_string(s.page));
        EXPECT_EQ(form().CurrentPage(), s.page);
        EXPECT_EQ(TextOf(IDC_TopLbl), s.title);
        EXPECT_EQ(IsWindowVisible(Ctl(IDC_BackBtn)) != FALSE, s.backVisible);
        EXPECT_EQ(IsWindowEnabled(Ctl(IDC_BackBtn)) != FALSE, s.backEnabled);
        EXPECT_EQ(TextOf(IDC_BackBtn), "< &Back");
        EXPECT_EQ(IsWindowEnabled(Ctl(IDC_NextBtn)) != FALSE, s.nextEnabled);
        EXPECT_EQ(TextOf(IDC_NextBtn), s.nextCaption);
        EXPECT_EQ(IsWindowEnabled(Ctl(IDC_CancelBtn)) != FALSE, s.cancelEnabled);
        EXPECT_EQ(TextOf(IDC_CancelBtn), "Cancel");
        static const int sheets[] = {IDC_WelcomeTabSheet, IDC_LicenseTabSheet, IDC_DestDirTabSheet,
                                     IDC_SelCompTabSheet, IDC_StartTabSheet,   IDC_InstallingTabSheet,
                                     IDC_AssocTabSheet,   IDC_FinishTabSheet};
        for (int i = 0; i < 8; ++i) EXPECT_EQ(IsWindowVisible(Ctl(sheets[i])) != FALSE, i == s.page) << "sheet " << i;
        if (s.focus) {
            EXPECT_EQ(GetFocus(), Ctl(s.focus)) << "focus on " << GetDlgCtrlID(GetFocus());
        }
    }
    // Temporary files of the setup left in the temporary folder.
    static std::vector<std::string> SetupTempFiles() {
        std::vector<std::string> found;
        for (const std::string& name : Entries(GetTempFolder()))
            if (name.compare(0, TempNamePrefix().size(), TempNamePrefix()) == 0) found.push_back(name);
        return found;
    }
};

TEST_F(NavigationTest, FullWalkSetsButtonsTitlesAndFocusAndFinishEndsWithOk) {
    // Finish launches the installed word processor and page 7 makes shortcuts.
    PostInstallCleanup cleanup;
    MakeForm(DestinationArgument());
    ExpectState(kWalk[0]);
    for (std::size_t i = 1; i < std::size(kWalk); ++i) {
        Next();
        ExpectState(kWalk[i]);
    }
    EXPECT_TRUE(session().Started());
    EXPECT_EQ(GetFileAttributesA((dest_ / "qwp.exe").c_str()) != INVALID_FILE_ATTRIBUTES, true);
    // The trailing backslash of the "-d" folder went when page 2 was left.
    EXPECT_EQ(session().Destination() + "\\", dest_.Path());
    EXPECT_EQ(form().ModalResult(), 0);
    PostMessageA(Ctl(IDC_NextBtn), BM_CLICK, 0, 0);
    EXPECT_EQ(ShowModalWithin(), kModalOK);
    EXPECT_TRUE(form().ClosedByProgram);
    EXPECT_TRUE(Requests().empty()) << Requests().front().text;
}

TEST_F(NavigationTest, BackMovesWithoutLicenceCheckOrReload) {
    MakeForm(DestinationArgument());
    WalkTo(3);
    const std::string licence = TextOf(IDC_LicenseMemo);
    ASSERT_FALSE(licence.empty());
    SendMessageA(Ctl(IDC_LicenseChkBx), BM_SETCHECK, BST_UNCHECKED, 0);
    Back();
    EXPECT_EQ(form().CurrentPage(), 2);
    Back();
    EXPECT_EQ(form().CurrentPage(), 1);
    Back();
    ExpectState(kWalk[0]);
    Next();
    EXPECT_EQ(form().CurrentPage(), 1);
    EXPECT_EQ(TextOf(IDC_LicenseMemo), licence);
    EXPECT_TRUE(Requests().empty());
}

TEST_F(NavigationTest, LicenceLoadedOnceUnloggedAndItsTemporaryFileGone) {
    MakeForm();
    OpenInstallLog(dest_.Path());  // a log that would take the line
    ASSERT_TRUE(InstallLog);
    const std::size_t linesBefore = InstallLog->size();
    EXPECT_TRUE(SetupTempFiles().empty());
    Next();
    ASSERT_EQ(form().CurrentPage(), 1);
    const std::string licence = TextOf(IDC_LicenseMemo);
    EXPECT_NE(licence.find("QUILVANE WORD PROCESSOR"), std::string::npos);
    // Its lines in the box, each ending in CR LF.
    EXPECT_EQ(licence.find('\n') != std::string::npos, true);
    EXPECT_EQ(std::count(licence.begin(), licence.end(), '\n'), std::count(licence.begin(), licence.end(), '\r'));
    EXPECT_EQ(InstallLog->size(), linesBefore) << InstallLog->back();
    EXPECT_EQ(LogSuppression, 0);
    EXPECT_TRUE(SetupTempFiles().empty()) << SetupTempFiles().front();
    EXPECT_TRUE(IsWindowEnabled(Ctl(IDC_NextBtn)));
    EXPECT_TRUE(IsWindowEnabled(Ctl(IDC_CancelBtn)));

    // A second visit does not extract again: a text put in the box stays.
    SetWindowTextA(Ctl(IDC_LicenseMemo), "kept");
    Back();
    Next();
    EXPECT_EQ(TextOf(IDC_LicenseMemo), "kept");
}

TEST_F(NavigationTest, LicenceRefusalNoStaysYesClosesWithoutCloseQuestion) {
    MakeForm();
    WalkTo(1);
    SendMessageA(Ctl(IDC_LicenseChkBx), BM_SETCHECK, BST_UNCHECKED, 0);
    answerer_.Queue(MsgResult::No);
    Next();
    ASSERT_EQ(Requests().size(), 1u);
    const MessageRequest& question = Requests()[0];
    EXPECT_EQ(question.text, kRefusalText);
    EXPECT_EQ(question.kind, MsgKind::Information);
    EXPECT_EQ(question.buttons, static_cast<MsgButtons>(mbYes | mbNo));
    EXPECT_EQ(question.defaultButton, mbYes);
    EXPECT_EQ(question.escapeButton, mbNo);
    ExpectStateAfterRefusal(kWalk[1]);
    EXPECT_EQ(form().ModalResult(), 0);
    EXPECT_FALSE(form().ClosedByProgram);

    answerer_.Queue(MsgResult::Yes);
    Next();
    EXPECT_EQ(Requests().size(), 2u);
    EXPECT_EQ(form().CurrentPage(), 1);
    EXPECT_EQ(form().ModalResult(), kModalCancel);
    EXPECT_TRUE(form().ClosedByProgram);
    // The program has decided: closing asks nothing more.
    CloseBox();
    EXPECT_EQ(Requests().size(), 2u);
}

TEST_F(NavigationTest, CloseQuestionNoKeepsTheWizardAbortEndsWithCancel) {
    MakeForm();
    WalkTo(2);
    answerer_.Queue(MsgResult::No);
    CloseBox();
    ASSERT_EQ(Requests().size(), 1u);
    EXPECT_EQ(Requests()[0].text, kCloseQuestion);
    EXPECT_EQ(Requests()[0].kind, MsgKind::Confirm);
    EXPECT_EQ(Requests()[0].buttons, static_cast<MsgButtons>(mbNo | mbAbort));
    EXPECT_EQ(Requests()[0].defaultButton, mbNone);
    EXPECT_EQ(Requests()[0].escapeButton, mbNo);
    EXPECT_EQ(form().ModalResult(), 0);
    EXPECT_FALSE(form().ClosedByProgram);

    // The Cancel button asks the same question; Abort ends the modal run.
    answerer_.Queue(MsgResult::Abort);
    PostMessageA(Ctl(IDC_CancelBtn), BM_CLICK, 0, 0);
    EXPECT_EQ(ShowModalWithin(), kModalCancel);
    EXPECT_EQ(Requests().size(), 2u);
    EXPECT_EQ(Requests()[1].text, kCloseQuestion);
    EXPECT_TRUE(form().ClosedByProgram);
    CloseBox();
    EXPECT_EQ(Requests().size(), 2u);
}

TEST_F(NavigationTest, RunningWordProcessorBlocksTheLicenceAndTheInstallMoves) {
    MakeForm(DestinationArgument());
    {
        RunningInstanceWindow running(1);
        Next();
        ASSERT_EQ(Requests().size(), 1u);
        EXPECT_EQ(Requests()[0].text, kRunningText);
        EXPECT_EQ(Requests()[0].kind, MsgKind::Information);
        EXPECT_EQ(Requests()[0].buttons, static_cast<MsgButtons>(mbOK));
        ExpectStateAfterRefusal(kWalk[0]);
        EXPECT_EQ(GetWindowTextLengthA(Ctl(IDC_LicenseMemo)), 0) << "nothing is loaded";
    }
    {
        RunningInstanceWindow stopped(0);  // a zero value does not count
        WalkTo(4);
        EXPECT_EQ(Requests().size(), 1u);
    }
    {
        RunningInstanceWindow running(0x10000);
        Next();
        EXPECT_EQ(Requests().size(), 2u);
        ExpectStateAfterRefusal(kWalk[4]);
        EXPECT_FALSE(session().Started() && GetFileAttributesA((dest_ / "qwp.exe").c_str()) != INVALID_FILE_ATTRIBUTES);
    }
}

TEST_F(NavigationTest, KeyboardTabOrderAccessKeysEnterAndEscape) {
    MakeForm(DestinationArgument());
    WalkTo(4);
    ASSERT_EQ(GetFocus(), Ctl(IDC_NextBtn));
    // Tab goes through the buttons and the visible page's controls and
    // comes back round.
    const int order[] = {IDC_CancelBtn, IDC_InstallToAllChkBx, IDC_DesktopChkBx, IDC_BackBtn, IDC_NextBtn};
    for (int id : order) {
        MSG tab{GetFocus(), WM_KEYDOWN, VK_TAB, 0, 0, {}};
        EXPECT_TRUE(IsDialogMessageA(form().Handle(), &tab));
        EXPECT_EQ(GetDlgCtrlID(GetFocus()), id);
    }
    Back();
    Back();
    ASSERT_EQ(form().CurrentPage(), 2);
    // The label's access key focuses the edit box.
    SetFocus(Ctl(IDC_NextBtn));
    MSG key{GetFocus(), WM_SYSCHAR, 'f', 0, 0, {}};
    IsDialogMessageA(form().Handle(), &key);
    EXPECT_EQ(GetFocus(), Ctl(IDC_DestDirEdt));
    // A button's access key presses it: Alt+N is Next; on page 3 the
    // label's key focuses the component list.
    MSG altN{GetFocus(), WM_SYSCHAR, 'n', 0, 0, {}};
    IsDialogMessageA(form().Handle(), &altN);
    ASSERT_EQ(form().CurrentPage(), 3);
    SetFocus(Ctl(IDC_NextBtn));
    MSG altC{GetFocus(), WM_SYSCHAR, 'c', 0, 0, {}};
    IsDialogMessageA(form().Handle(), &altC);
    EXPECT_EQ(GetFocus(), Ctl(IDC_SelCompLstBx));
    Back();

    // Tab leaves the licence box (a multi-line edit box asks its parent to
    // move the focus); Enter in it goes on; Escape asks the close question.
    Back();
    ASSERT_EQ(GetFocus(), Ctl(IDC_LicenseMemo));
    MSG tab{GetFocus(), WM_KEYDOWN, VK_TAB, 0, 0, {}};
    if (!IsDialogMessageA(form().Handle(), &tab)) DispatchMessageA(&tab);
    EXPECT_EQ(GetFocus(), Ctl(IDC_LicenseChkBx));
    SetFocus(Ctl(IDC_LicenseMemo));
    PostMessageA(Ctl(IDC_LicenseMemo), WM_KEYDOWN, VK_RETURN, 0);
    answerer_.Queue(MsgResult::Abort, [this] { EXPECT_EQ(form().CurrentPage(), 2); });
    PostMessageA(Ctl(IDC_LicenseMemo), WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_EQ(ShowModalWithin(), kModalCancel);
    ASSERT_EQ(Requests().size(), 1u);
    EXPECT_EQ(Requests()[0].text, kCloseQuestion);
}

// Enter in the open drive list closes the list; it does not leave page 2
// with a drive the user has not confirmed.
TEST_F(NavigationTest, EnterInTheOpenDriveListStaysOnTheDestinationPage) {
    MakeForm(DestinationArgument());
    WalkTo(2);
    HWND drives = Ctl(IDC_DestDirCmbBx);
    ASSERT_NE(drives, nullptr);
    SetFocus(drives);
    SendMessageA(drives, CB_SHOWDROPDOWN, TRUE, 0);
    ASSERT_TRUE(SendMessageA(drives, CB_GETDROPPEDSTATE, 0, 0));
    PostMessageA(drives, WM_KEYDOWN, VK_RETURN, 0);
    answerer_.Queue(MsgResult::Abort, [this] { EXPECT_EQ(form().CurrentPage(), 2); });
    PostMessageA(Ctl(IDC_CancelBtn), BM_CLICK, 0, 0);
    EXPECT_EQ(ShowModalWithin(), kModalCancel);
    EXPECT_EQ(Requests().size(), 1u);
}

// An exception inside a message handler is neither swallowed nor left to
// keep the wizard sitting on its page: the window closes and the modal run
// throws it on, for the program to end as failed.
TEST_F(NavigationTest, ExceptionInAHandlerClosesTheWizardAndComesOutOfTheModalRun) {
    MakeForm();
    answerer_.Queue(MsgResult::No, [] { throw std::runtime_error("out of handles"); });
    PostMessageA(Ctl(IDC_CancelBtn), BM_CLICK, 0, 0);
    PostMessageA(Ctl(IDC_NextBtn), BM_CLICK, 0, 0);  // must not be handled any more
    std::string caught;
    try {
        ShowModalWithin();
    } catch (const std::exception& error) {
        caught = error.what();
    }
    EXPECT_EQ(caught, "out of handles");
    EXPECT_EQ(form().ModalResult(), kModalCancel);
    EXPECT_EQ(form().CurrentPage(), 0);
    EXPECT_FALSE(IsWindowVisible(form().Handle()));
    EXPECT_FALSE(EscapedExceptionPending());
}

// Every question the wizard asks belongs to it, whichever window is active.
TEST_F(NavigationTest, QuestionsAreOwnedByTheWizardWhateverWindowIsActive) {
    HWND other = CreateWindowExA(0, "STATIC", "another program", WS_OVERLAPPED | WS_VISIBLE, 0, 0, 100, 100, nullptr,
                                 nullptr, nullptr, nullptr);
    MakeForm(DestinationArgument());
    SetActiveWindow(other);
    {
        RunningInstanceWindow running(1);
        Next();  // the running word processor's message
    }
    WalkTo(1);
    Click(IDC_LicenseChkBx);
    answerer_.Queue(MsgResult::No);
    SetActiveWindow(other);
    Next();  // the refused licence
    answerer_.Queue(MsgResult::No);
    SetActiveWindow(other);
    Click(IDC_CancelBtn);  // the close question
    ASSERT_EQ(Requests().size(), 3u);
    for (const MessageRequest& asked : Requests()) EXPECT_EQ(asked.owner, form().Handle()) << asked.text;
    DestroyWindow(other);
}

}  // namespace
}  // namespace qwp::test
