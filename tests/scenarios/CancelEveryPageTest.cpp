// Leaving the setup on each page before the installation: the Cancel
// button, and the title bar's close box, ask the close question; No keeps
// the page as it was, Abort ends the setup with exit code 0. Nothing is
// written but the two registry keys every start opens: no stored choice,
// no uninstall entry, no file in the destination or the product's data
// folders, no temporary file left.
#include "tests/scenarios/WizardScenario.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

namespace qwp::test::interactive {
namespace {

constexpr char kScenario[] = "cancel-every-page";

enum class CloseWay { CancelButton, CloseBox };

struct LeavingCase {
    int page;
    CloseWay way;
};

std::string WayName(CloseWay way) { return way == CloseWay::CancelButton ? "cancel-button" : "close-box"; }

std::string CaseName(const ::testing::TestParamInfo<LeavingCase>& info) {
    return "Page" + std::to_string(info.param.page) +
           (info.param.way == CloseWay::CancelButton ? "CancelButton" : "CloseBox");
}

class CancelEveryPage : public NoInstallationTest, public ::testing::WithParamInterface<LeavingCase> {
protected:
    // The close question as the way asks it: the close box's system
    // command first, the window's close message on the second time, so
    // both reach the question.
    static void AskToClose(SetupRun& run, CloseWay way, bool secondTime) {
        if (way == CloseWay::CancelButton)
            run.Cancel();
        else if (!secondTime)
            run.CloseBox();
        else
            run.CloseMessage();
    }
};

TEST_P(CancelEveryPage, NoKeepsThePageAbortEndsTheSetupWritingNothing) {
    const int page = GetParam().page;
    const CloseWay way = GetParam().way;
    const std::string productBefore = RegistrySnapshot(HKEY_CURRENT_USER, kProductKey);
    ASSERT_EQ(productBefore, "(absent)\n");
    const std::string uninstallBefore = UninstallSnapshot();

    TempFolder temporary;
    {
        TempRedirect redirect(temporary.Path());
        SetupRun run(ScreensFolder(kScenario));
        ASSERT_TRUE(run.Started()) << "no wizard window";
        ASSERT_TRUE(run.WalkTo(page));
        const std::string buttons = run.Buttons();
        const std::string shot = "page" + std::to_string(page) + "-" + WayName(way);

        AskToClose(run, way, false);
        const MessageBoxSeen first = run.WaitForMessage("Confirm");
        ASSERT_NE(first.window, nullptr) << "no close question on page " << page;
        EXPECT_EQ(first.text, WithCrLf(kCloseQuestion));
        EXPECT_EQ(first.buttons, "&No|&Abort");
        run.Shoot(shot + "-question", first.window);
        ASSERT_TRUE(SetupRun::Answer(first, "&No"));

        EXPECT_TRUE(run.Running()) << "No ended the setup";
        EXPECT_TRUE(run.OnPage(page)) << "No left page " << page << " for page " << run.Page();
        EXPECT_EQ(run.Buttons(), buttons) << "No changed the buttons";
        run.Shoot(shot + "-after-no");

        AskToClose(run, way, true);
        const MessageBoxSeen second = run.WaitForMessage("Confirm");
        ASSERT_NE(second.window, nullptr) << "no close question the second time on page " << page;
        EXPECT_EQ(second.buttons, "&No|&Abort");
        ASSERT_TRUE(SetupRun::Answer(second, "&Abort"));
        EXPECT_EQ(run.WaitForExit(), 0u) << "exit code after Abort";
    }

    EXPECT_EQ(RegistrySnapshot(HKEY_CURRENT_USER, kProductKey),
              std::string(kProductKey) + "\n" + kInstallKey + "\n" + kInternalKey + "\n")
        << "only the two keys every start opens, with no values";
    EXPECT_EQ(UninstallSnapshot(), uninstallBefore);
    EXPECT_FALSE(FolderExists(DefaultDestination()));
    EXPECT_EQ(FilesBelow(CommonDataFolder()), "(no folder)");
    EXPECT_EQ(FilesBelow(UserDataFolder()), "(no folder)");
    EXPECT_EQ(FilesBelow(temporary.Path()), "") << "temporary files left behind";
    for (const std::string& place : ShortcutPlaces()) EXPECT_FALSE(PathPresent(place)) << place;
}

INSTANTIATE_TEST_SUITE_P(Pages, CancelEveryPage,
                         ::testing::Values(LeavingCase{0, CloseWay::CancelButton}, LeavingCase{0, CloseWay::CloseBox},
                                           LeavingCase{1, CloseWay::CancelButton}, LeavingCase{1, CloseWay::CloseBox},
                                           LeavingCase{2, CloseWay::CancelButton}, LeavingCase{2, CloseWay::CloseBox},
                                           LeavingCase{3, CloseWay::CancelButton}, LeavingCase{3, CloseWay::CloseBox},
                                           LeavingCase{4, CloseWay::CancelButton}, LeavingCase{4, CloseWay::CloseBox}),
                         CaseName);

}  // namespace
}  // namespace qwp::test::interactive
