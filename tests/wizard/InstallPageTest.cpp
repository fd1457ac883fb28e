// Page 5: the install run inside the page change, the window answering
// while it copies, a portable destination, and a run the user aborts.
#include "tests/registration/MachineRegistryRedirect.h"
#include "tests/wizard/WizardFixture.h"

#include <atomic>
#include <thread>

namespace qwp::test {
namespace {

using InstallPageTest = InstallingWizardTest;

// What a second thread sees of the wizard while the install run copies.
struct Observer {
    std::atomic<bool> stop{false};
    std::atomic<int> answeredWhileInstalling{0};
    std::atomic<bool> buttonsAsExpected{true};
    std::atomic<bool> closeSent{false};
    std::atomic<int> detail{0};
};

// The title as the wizard's thread answers it: only while it looks at its
// messages, which during the run is the run's own message loop.
std::string TitleAnswered(HWND title) {
    char text[64] = {};
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutA(title, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_NORMAL, 2000,
                             &length))
        return "(no answer)";
    return text;
}

void Observe(HWND wizard, HWND title, HWND back, HWND next, HWND cancel, Observer& seen) {
    while (!seen.stop) {
        if (TitleAnswered(title) == "Installing") {
            const bool asExpected =
                IsWindowVisible(back) && !IsWindowEnabled(back) && !IsWindowEnabled(next) && IsWindowEnabled(cancel);
            // The run is still going when the title is answered again: the
            // button states were read while it ran.
            if (TitleAnswered(title) == "Installing") {
                ++seen.answeredWhileInstalling;
                if (!asExpected) {
                    seen.buttonsAsExpected = false;
                    seen.detail = (IsWindowVisible(back) ? 1 : 0) | (IsWindowEnabled(back) ? 2 : 0) |
                                  (IsWindowEnabled(next) ? 4 : 0) | (IsWindowEnabled(cancel) ? 8 : 0);
                }
                if (!seen.closeSent) {
                    PostMessageA(wizard, WM_CLOSE, 0, 0);
                    PostMessageA(wizard, WM_SYSCOMMAND, SC_CLOSE, 0);
                    PostMessageA(cancel, BM_CLICK, 0, 0);
                    seen.closeSent = true;
                }
            }
        }
        Sleep(1);
    }
}

// Cancel and the close box stay live while the files are copied: each asks
// the close question, and No lets the copy go on to the end.
TEST_F(InstallPageTest, WindowAnswersWhileCopyingAndAsksBeforeStopping) {
    MakeForm(DestinationArgument());
    WalkTo(4);
    answerer_.SetFallback(MsgResult::No);
    Observer seen;
    std::thread observer(Observe, form().Handle(), Ctl(IDC_TopLbl), Ctl(IDC_BackBtn), Ctl(IDC_NextBtn),
                         Ctl(IDC_CancelBtn), std::ref(seen));
    Next();
    // Messages sent before the run ended are answered by now.
    seen.stop = true;
    observer.join();
    EXPECT_GT(seen.answeredWhileInstalling.load(), 0) << "the window did not answer during the install run";
    EXPECT_TRUE(seen.buttonsAsExpected) << "Back must be visible and disabled, Next disabled, Cancel as page 5 sets it: " << seen.detail;
    EXPECT_EQ(form().CurrentPage(), 6);
    EXPECT_TRUE(seen.closeSent);
    EXPECT_EQ(form().ModalResult(), 0) << "No keeps the run going";
    EXPECT_EQ(Requests().size(), 3u) << "WM_CLOSE, the close command and Cancel each ask";
    for (const MessageRequest& asked : Requests()) {
        EXPECT_EQ(asked.kind, MsgKind::Confirm) << asked.text;
        EXPECT_EQ(asked.owner, form().Handle()) << "owned by the wizard";
    }
    EXPECT_EQ(GetFileAttributesA((dest_ / "License.txt").c_str()) != INVALID_FILE_ATTRIBUTES, true);
    EXPECT_EQ(SendMessageA(Ctl(IDC_InstallProgressBar), PBM_GETPOS, 0, 0), 1000);
}

TEST_F(InstallPageTest, PortableDestinationHidesThePage4BoxesAndSkipsTheAssociations) {
    const std::string removable = Environment("QWP_REMOVABLE_DRIVE");
    if (removable.empty()) GTEST_SKIP() << "no removable drive in this environment";
    const std::string folder = removable + "\\Quilvane";
    RemoveTree(folder + "\\");
    MakeForm({"-d" + folder});
    ASSERT_TRUE(form().IsPortableInstall());
    WalkTo(4);
    EXPECT_FALSE(IsWindowVisible(Ctl(IDC_InstallToAllChkBx)));
    EXPECT_FALSE(IsWindowVisible(Ctl(IDC_DesktopChkBx)));
    Next();
    EXPECT_EQ(form().CurrentPage(), 7);
    EXPECT_EQ(TextOf(IDC_TopLbl), "Installation Complete");
    EXPECT_EQ(TextOf(IDC_NextBtn), "&Finish");
    EXPECT_TRUE(IsWindowVisible(Ctl(IDC_BackBtn)));
    EXPECT_FALSE(IsWindowEnabled(Ctl(IDC_BackBtn)));
    EXPECT_FALSE(IsWindowEnabled(Ctl(IDC_CancelBtn)));
    EXPECT_EQ(GetFileAttributesA((folder + "\\qwp.exe").c_str()) != INVALID_FILE_ATTRIBUTES, true);
    // Cancel is disabled, the close box still asks.
    answerer_.Queue(MsgResult::No);
    CloseBox();
    EXPECT_EQ(Requests().size(), 1u);
    EXPECT_EQ(form().ModalResult(), 0);
    form_.reset();
    RemoveTree(folder + "\\");

    // Back on a fixed drive, the boxes are there again.
    MakeForm(DestinationArgument());
    WalkTo(4);
    EXPECT_TRUE(IsWindowVisible(Ctl(IDC_InstallToAllChkBx)));
    EXPECT_TRUE(IsWindowVisible(Ctl(IDC_DesktopChkBx)));
}

TEST_F(InstallPageTest, AbortedRunClosesWithCancelAndNoQuestion) {
    // A folder where the program file goes: its copy cannot be written.
    ASSERT_TRUE(CreateDirectoryA((dest_ / "qwp.exe").c_str(), nullptr));
    MakeForm(DestinationArgument());
    WalkTo(4);
    answerer_.SetFallback(MsgResult::Abort);
    Next();
    ASSERT_EQ(Requests().size(), 1u) << "the copy failure is asked about once";
    EXPECT_EQ(Requests()[0].kind, MsgKind::Error);
    EXPECT_EQ(Requests()[0].buttons, static_cast<MsgButtons>(mbAbort | mbRetry | mbIgnore));
    EXPECT_EQ(Requests()[0].defaultButton, mbRetry) << "Enter must not end the installation";
    EXPECT_EQ(Requests()[0].owner, form().Handle());
    EXPECT_TRUE(session().Started());
    EXPECT_EQ(form().ModalResult(), kModalCancel);
    EXPECT_TRUE(form().ClosedByProgram);
    EXPECT_EQ(form().CurrentPage(), 5);
    CloseBox();
    EXPECT_EQ(Requests().size(), 1u);
}

// Cancel while copying, answered Abort: the copy stops before the next file,
// the wizard closes with Cancel, and the ending still stores the choices and
// Install.log for what was written.
TEST_F(InstallPageTest, CancelWhileCopyingAbortStopsTheCopyAndTheEndingRecordsIt) {
    MakeForm(DestinationArgument());
    WalkTo(4);
    answerer_.SetFallback(MsgResult::Abort);
    // Taken from the queue by the first message pump of the run.
    PostMessageA(Ctl(IDC_CancelBtn), BM_CLICK, 0, 0);
    Next();
    ASSERT_EQ(Requests().size(), 1u);
    EXPECT_EQ(Requests()[0].kind, MsgKind::Confirm);
    EXPECT_EQ(form().ModalResult(), kModalCancel);
    EXPECT_TRUE(session().CopyAborted());
    EXPECT_FALSE(FileExists(dest_ / "License.txt")) << "the copy stopped before its end";

    MachineRegistryRedirect machine;
    ASSERT_TRUE(machine.Active());
    EndSession();
    EXPECT_TRUE(session().AllRecorded());
    EXPECT_EQ(ReadSzValue("Software\\Quilvane Word Processor\\Install", "MAINDIR"),
              std::optional<std::string>(dest_.Path().substr(0, dest_.Path().size() - 1)));
    EXPECT_TRUE(FileExists(dest_ / "Install.log"));
    EXPECT_EQ(Requests().size(), 1u) << "nothing more to tell";
}

// A word processor running where its windows cannot be seen (another
// session, another account) still holds its program file: the move into the
// installing page is refused as for a visible one, and nothing is written.
TEST_F(InstallPageTest, HeldProgramFileInTheDestinationBlocksTheInstall) {
    const std::string program = dest_ / "qwp.exe";
    ASSERT_TRUE(WriteWholeFile(program, "the running one"));
    UniqueFile holder(CreateFileA(program.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(holder.valid());
    MakeForm(DestinationArgument());
    WalkTo(4);
    Next();
    EXPECT_EQ(form().CurrentPage(), 4);
    ASSERT_EQ(Requests().size(), 1u);
    EXPECT_EQ(Requests()[0].kind, MsgKind::Information);
    EXPECT_FALSE(session().Started());
    EXPECT_EQ(Entries(dest_.Path()), std::vector<std::string>{"qwp.exe"});
    EXPECT_FALSE(FileExists(shared_ + "Hidden\\install_stamp"));

    holder.reset();  // the word processor ends: the install goes ahead
    Next();
    EXPECT_EQ(form().CurrentPage(), 6);
    EXPECT_EQ(Requests().size(), 1u);
}

}  // namespace
}  // namespace qwp::test
