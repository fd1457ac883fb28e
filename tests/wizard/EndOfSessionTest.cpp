// The Windows session ending while the wizard installs: refused while the
// files are copied, and when it ends all the same, what was installed is
// recorded before the answer, once.
#include "tests/registration/MachineRegistryRedirect.h"
#include "tests/wizard/WizardFixture.h"

#include <thread>

namespace qwp::test {
namespace {

class EndOfSessionTest : public InstallingWizardTest {
protected:
    std::string StoredFolder() const {
        return ReadSzValue("Software\\Quilvane Word Processor\\Install", "MAINDIR").value_or("(none)");
    }
    std::string Destination() const { return dest_.Path().substr(0, dest_.Path().size() - 1); }
};

struct EndOfSessionAnswers {
    DWORD_PTR query = 99;
    BOOL queryAnswered = FALSE, endAnswered = FALSE;
};

// Sent from another thread, both are answered by the copy's own message
// pump: the first as soon as the copy reports its first file.
TEST_F(EndOfSessionTest, RefusedWhileCopyingAndRecordedWhenItEndsAllTheSame) {
    MachineRegistryRedirect machine;
    ASSERT_TRUE(machine.Active());
    MakeForm(DestinationArgument());
    WalkTo(4);
    EndOfSessionAnswers answers;
    const HWND wizard = form().Handle();
    std::thread windows([wizard, &answers] {
        answers.queryAnswered = SendMessageTimeoutA(wizard, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_NORMAL,
                                                    30000, &answers.query) != 0;
        DWORD_PTR ignored = 0;
        answers.endAnswered =
            SendMessageTimeoutA(wizard, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, SMTO_NORMAL, 30000, &ignored) != 0;
    });
    Next();
    windows.join();
    ASSERT_TRUE(answers.queryAnswered && answers.endAnswered);
    EXPECT_EQ(answers.query, 0u) << "the end of the session was not refused while copying";
    EXPECT_TRUE(session().CopyAborted()) << "the copy went on after the session ended";
    EXPECT_FALSE(FileExists(dest_ / "License.txt")) << "the copy stopped before its end";
    // Recorded before the answer: the process would be gone after it.
    EXPECT_EQ(StoredFolder(), Destination());
    EXPECT_TRUE(FileExists(dest_ / "Install.log"));
    EXPECT_TRUE(KeyExists(machine.Below("Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Quilvane Word Processor")));

    // The wizard's own ending after its loop finds nothing left to do.
    ASSERT_TRUE(DeleteFileA((dest_ / "Install.log").c_str()));
    EndSession();
    EXPECT_FALSE(FileExists(dest_ / "Install.log")) << "the ending ran twice";
    EXPECT_TRUE(Requests().empty()) << "nobody is asked while the session ends";
}

// After the copy (the associations page) nothing holds the session, and its
// end records the installation at once.
TEST_F(EndOfSessionTest, AfterTheCopyTheSessionMayEndAndTheInstallIsRecorded) {
    MachineRegistryRedirect machine;
    ASSERT_TRUE(machine.Active());
    MakeForm(DestinationArgument());
    WalkTo(4);
    Next();
    ASSERT_EQ(form().CurrentPage(), 6);
    EXPECT_EQ(SendMessageA(form().Handle(), WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), TRUE);
    EXPECT_FALSE(FileExists(dest_ / "Install.log")) << "recorded before the session ended";
    SendMessageA(form().Handle(), WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
    EXPECT_EQ(StoredFolder(), Destination());
    EXPECT_TRUE(FileExists(dest_ / "Install.log"));
    EXPECT_TRUE(FileExists(dest_ / "License.txt"));
}

}  // namespace
}  // namespace qwp::test
