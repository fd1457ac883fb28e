// The real setup run as a user runs it with "-d" naming a folder on the
// removable drive: a portable installation, every file below the destination
// and the spelling files in its "Spellcheck" sub-folder, no install log, the
// choices stored for the user. When pictures are wanted, the pages passed
// are kept, page 2 at 96 and 144 dots per inch and with the drive list
// dropped down, under screens/portable/<arch>/ beside the build folder.
#include "instutils/PathText.h"
#include "instutils/Paths.h"
#include "tests/support/InstalledFiles.h"
#include "tests/support/Installation.h"
#include "tests/support/ProcessDriver.h"
#include "tests/support/Screens.h"
#include "tests/support/SetupRun.h"
#include "tests/support/SetupWalk.h"
#include "tests/support/TempFolder.h"
#include "tests/support/Text.h"
#include "wizard/ControlIds.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

namespace qwp::test {
namespace {

class PortableEndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        removable_ = Environment("QWP_REMOVABLE_DRIVE");
        if (removable_.empty()) GTEST_SKIP() << "no removable drive in this environment";
        dest_ = removable_ + "\\QwpPortable-" + ArchName();
        RemoveTree(dest_ + "\\");
        RegDeleteTreeA(HKEY_CURRENT_USER, kProductKey);
        ASSERT_TRUE(SetSystemDpi(96));
    }
    void TearDown() override {
        SetSystemDpi(96);
        if (removable_.empty()) return;
        RemoveTree(dest_ + "\\");
        RegDeleteTreeA(HKEY_CURRENT_USER, kProductKey);
    }

    std::string DestinationArgument() const { return Quoted("-d" + dest_); }

    // The drive list drops down and closes again; page 2 is kept with the
    // list down (the list is a window of its own, so the screen is kept).
    void DropDriveList(SetupRun& run) {
        HWND combo = FindControl(run.Window(), IDC_DestDirCmbBx);
        ASSERT_NE(combo, nullptr);
        const auto dropped = [&] {
            DWORD_PTR state = 0;
            SendMessageTimeoutA(combo, CB_GETDROPPEDSTATE, 0, 0, SMTO_ABORTIFHUNG, 5000, &state);
            return state;
        };
        DWORD_PTR ignored = 0;
        SendMessageTimeoutA(combo, CB_SHOWDROPDOWN, TRUE, 0, SMTO_ABORTIFHUNG, 5000, &ignored);
        EXPECT_EQ(dropped(), 1u) << "the drive list did not drop down";
        run.ShootScreen("page2-drive-list-dropped");
        SendMessageTimeoutA(combo, CB_SHOWDROPDOWN, FALSE, 0, SMTO_ABORTIFHUNG, 5000, &ignored);
        EXPECT_EQ(dropped(), 0u) << "the drive list did not close";
    }

    // What page 2 shows for the destination on the removable drive.
    void CheckPage2(HWND window) {
        EXPECT_EQ(ControlText(window, IDC_DestDirEdt), dest_) << "the -d text is shown as given";
        HWND combo = FindControl(window, IDC_DestDirCmbBx);
        HWND list = FindControl(window, IDC_DestDirLstBx);
        ASSERT_TRUE(combo && list);
        DWORD_PTR index = 0, length = 0;
        SendMessageTimeoutA(combo, CB_GETCURSEL, 0, 0, SMTO_ABORTIFHUNG, 5000, &index);
        SendMessageTimeoutA(combo, CB_GETLBTEXTLEN, index, 0, SMTO_ABORTIFHUNG, 5000, &length);
        ASSERT_LT(length, 200u);
        // The list strings are read through the system's own marshalling of
        // these messages, as a screen reader reads them.
        const auto listString = [&](HWND control, UINT message) {
            WCHAR wide[256] = {};
            SendMessageTimeoutW(control, message, index, reinterpret_cast<LPARAM>(wide), SMTO_ABORTIFHUNG, 5000,
                                &length);
            char text[512] = {};
            WideCharToMultiByte(CP_ACP, 0, wide, -1, text, sizeof text, nullptr, nullptr);
            return std::string(text);
        };
        const std::string drive = listString(combo, CB_GETLBTEXT);
        EXPECT_EQ(drive.substr(0, 3), Lower(removable_) + " ") << drive;
        SendMessageTimeoutA(list, LB_GETCURSEL, 0, 0, SMTO_ABORTIFHUNG, 5000, &index);
        const std::string text = listString(list, LB_GETTEXT);
        EXPECT_EQ(Lower(text), Lower(removable_ + "\\")) << "the folder list shows the nearest existing folder";
    }

    std::string removable_, dest_;
};

TEST_F(PortableEndToEnd, DestinationOnTheRemovableDriveInstallsPortably) {
    SetupRun run(ScreensFolder("portable", 96), DestinationArgument());
    ASSERT_TRUE(run.Process().Started()) << "GetLastError " << GetLastError();
    HWND window = run.Window();
    ASSERT_NE(window, nullptr) << "no wizard window";

    std::vector<int> pages;
    WalkOptions walk;
    walk.check = [&](int page) {
        pages.push_back(page);
        if (page == 2) {
            CheckPage2(window);
            DropDriveList(run);
        }
        if (page == 4) {
            EXPECT_FALSE(ControlVisible(window, IDC_InstallToAllChkBx)) << "portable: no all-users choice";
            EXPECT_FALSE(ControlVisible(window, IDC_DesktopChkBx));
        }
        // No word processor left running after the test.
        if (page == 7) {
            if (CheckState(window, IDC_FinishChkBx) == BST_CHECKED) ClickControl(window, IDC_FinishChkBx);
            EXPECT_TRUE(WaitUntil([&] { return CheckState(window, IDC_FinishChkBx) == BST_UNCHECKED; }, kPageTimeout));
        }
    };
    ASSERT_TRUE(run.InstallThroughFinish(walk));
    EXPECT_EQ(pages, (std::vector<int>{0, 1, 2, 3, 4, 7})) << "the associations page is skipped";

    const std::vector<PayloadEntry> manifest = ReadManifest();
    ASSERT_EQ(manifest.size(), 272u);
    int wrong = 0;
    for (const PayloadEntry& entry : manifest) {
        const std::string path = dest_ + (IsSpellingFile(entry.name) ? "\\Spellcheck\\" : "\\") + entry.name;
        if (ReadWholeFile(path) != SourceBytes(entry) && ++wrong <= 10) ADD_FAILURE() << path << " missing or wrong";
    }
    EXPECT_EQ(wrong, 0) << "of 272 files not below the destination";
    EXPECT_EQ(GetFileAttributesA((dest_ + "\\Install.log").c_str()), INVALID_FILE_ATTRIBUTES)
        << "a portable run writes no install log";
    EXPECT_EQ(Lower(StoredValue("MAINDIR")), Lower("REG_SZ:" + dest_)) << "the choices are stored for the user";
}

TEST_F(PortableEndToEnd, DestinationPageAt144Dpi) {
    ASSERT_TRUE(SetSystemDpi(144));
    SetupRun run(ScreensFolder("portable", 144), DestinationArgument());
    ASSERT_TRUE(run.Process().Started());
    HWND window = run.Window();
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(run.WalkTo(2));
    CheckPage2(window);
    RECT combo{}, sheet{};
    GetWindowRect(FindControl(window, IDC_DestDirCmbBx), &combo);
    GetWindowRect(FindControl(window, IDC_DestDirTabSheet), &sheet);
    EXPECT_LE(combo.bottom, sheet.bottom) << "the closed drive list lies inside the page";
    EXPECT_EQ(combo.right - combo.left, MulDiv(11 + 345, 144, 96) - MulDiv(11, 144, 96));
    DropDriveList(run);

    run.Cancel();
    HWND confirm = WaitForWindow(run.Process().Id(), "Confirm", kPageTimeout);
    ASSERT_NE(confirm, nullptr);
    ASSERT_TRUE(PressButton(confirm, "&Abort"));
    EXPECT_EQ(run.WaitForExit(), 0u);
    EXPECT_EQ(GetFileAttributesA(dest_.c_str()), INVALID_FILE_ATTRIBUTES) << "nothing is written when cancelled";
}

}  // namespace
}  // namespace qwp::test
