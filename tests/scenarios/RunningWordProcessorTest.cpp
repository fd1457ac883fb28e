// The word processor is running while the user goes on from the welcome
// page, or starts the installation from the ready page: the setup says so
// and stays where it is, as often as Next is pressed, and goes on once the
// word processor has been closed.
#include "tests/scenarios/WizardScenario.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

namespace qwp::test::interactive {
namespace {

constexpr char kScenario[] = "running-word-processor";

const char kRunningMessage[] =
    "A copy of Quilvane Word Processor is already running on your system.\r"
    "Please close any running instance(s) of Quilvane Word Processor, then click OK in this dialog.";

class RunningWordProcessor : public NoInstallationTest {
protected:
    // Next on the page while the word processor runs: the information
    // message, OK, and the page as it was.
    void ExpectRefusedMove(SetupRun& run, int page, const std::string& shot) {
        const std::string buttons = run.Buttons();
        run.Next();
        const MessageBoxSeen message = run.WaitForMessage("Information");
        ASSERT_NE(message.window, nullptr) << "Next on page " << page << " said nothing about the running program";
        EXPECT_EQ(message.text, WithCrLf(kRunningMessage));
        EXPECT_EQ(message.buttons, "OK");
        if (!shot.empty()) run.Shoot(shot, message.window);
        ASSERT_TRUE(SetupRun::Answer(message, "OK"));
        EXPECT_TRUE(run.OnPage(page)) << "the move was made; page " << run.Page() << " is shown";
        EXPECT_EQ(run.Buttons(), buttons);
    }
};

TEST_F(RunningWordProcessor, WelcomePageWaitsUntilItIsClosed) {
    StandInWordProcessor wordProcessor;
    ASSERT_TRUE(wordProcessor.Start()) << "the stand-in word processor did not show its marked window";
    SetupRun run(ScreensFolder(kScenario));
    ASSERT_TRUE(run.Started()) << "no wizard window";
    ASSERT_TRUE(run.WalkTo(0));
    HWND window = run.Window();

    ExpectRefusedMove(run, 0, "page0-running-message");
    EXPECT_EQ(ControlText(window, IDC_LicenseMemo), "") << "the licence was loaded although the move was refused";
    ExpectRefusedMove(run, 0, "");  // every press asks again
    run.ShootPage(0, "-after-message");

    ASSERT_TRUE(wordProcessor.Stop()) << "the stand-in did not end";
    run.Next();
    ASSERT_TRUE(run.WaitForPage(1)) << "Next did not work after the word processor was closed; page " << run.Page();
    run.ShootPage(1);
    EXPECT_NE(ControlText(window, IDC_LicenseMemo), "") << "the licence text was not loaded";
    ASSERT_TRUE(run.AbortThroughCloseQuestion());
    EXPECT_EQ(StoredValue("MAINDIR"), "absent");
}

TEST_F(RunningWordProcessor, InstallationWaitsUntilItIsClosed) {
    SetupRun run(ScreensFolder(kScenario));
    ASSERT_TRUE(run.Started()) << "no wizard window";
    ASSERT_TRUE(run.WalkTo(4));

    StandInWordProcessor wordProcessor;
    ASSERT_TRUE(wordProcessor.Start()) << "the stand-in word processor did not show its marked window";
    ExpectRefusedMove(run, 4, "page4-running-message");
    EXPECT_EQ(run.Buttons(), "< &Back|&Next >|Cancel");
    run.ShootPage(4, "-after-message");
    EXPECT_FALSE(FolderExists(DefaultDestination())) << "the install run started although the move was refused";
    EXPECT_FALSE(FolderExists(CommonDataFolder())) << "the install run started although the move was refused";

    ASSERT_TRUE(wordProcessor.Stop()) << "the stand-in did not end";
    run.Next();
    ASSERT_TRUE(run.WaitForPage(6, kInstallTimeout))
        << "the installation did not run after the word processor was closed; page " << run.Page();
    run.ShootPage(6);
    EXPECT_TRUE(FileExists(JoinPath(DefaultDestination(), "qwp.exe")));
    ASSERT_TRUE(run.AbortThroughCloseQuestion());
    EXPECT_EQ(Lower(StoredValue("MAINDIR")), Lower("REG_SZ:" + DefaultDestination()));
}

}  // namespace
}  // namespace qwp::test::interactive
