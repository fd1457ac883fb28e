// A user who wants the word processor alone: every other component unticked
// on the components page, the required space falling to the word
// processor's own, the install run writing its two files only and moving on
// to the associations page, where the user leaves through the close
// question. The choices are stored with the other components' bits clear.
#include "tests/scenarios/WizardScenario.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

namespace qwp::test::interactive {
namespace {

constexpr char kScenario[] = "component-0-only";

using ComponentZeroOnly = NoInstallationTest;

// The components list's current row: the list selects the row a click
// lands on, in the same handler that toggles its box.
int CurrentRow(HWND window) {
    HWND list = FindControl(window, IDC_SelCompLstBx);
    DWORD_PTR row = static_cast<DWORD_PTR>(-1);
    if (!list || !SendMessageTimeoutA(list, LB_GETCURSEL, 0, 0, SMTO_ABORTIFHUNG, 2000, &row)) return -1;
    return static_cast<int>(row);
}

// What a file of this size takes on the volume of the folder: whole
// clusters.
long long ClusterRounded(long long size, const std::string& folder) {
    DWORD sectorsPerCluster = 0, bytesPerSector = 0, freeClusters = 0, clusters = 0;
    const std::string root = folder.substr(0, 3);
    if (!GetDiskFreeSpaceA(root.c_str(), &sectorsPerCluster, &bytesPerSector, &freeClusters, &clusters)) return -1;
    const long long cluster = static_cast<long long>(sectorsPerCluster) * bytesPerSector;
    return (size + cluster - 1) / cluster * cluster;
}

long long FileSize(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return -1;
    return (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

TEST_F(ComponentZeroOnly, OnlyTheWordProcessorIsWrittenAndTheChoiceStored) {
    // The destination does not exist yet, so the page measures on the
    // volume of the folder the setup was started in.
    TempFolder startFolder;
    SetupRun run(ScreensFolder(kScenario), {}, startFolder.Path());
    ASSERT_TRUE(run.Started()) << "no wizard window";
    ASSERT_TRUE(run.WalkTo(3));
    HWND window = run.Window();
    const std::string mainDir = DefaultDestination();
    EXPECT_EQ(CurrentRow(window), 1) << "the list starts on the spellchecker's row";

    // The word processor's own box cannot be cleared: the total stays.
    const std::string everything = ControlText(window, IDC_SelCompDiskSpaceReqLbl2);
    ASSERT_TRUE(run.ClickComponentBox(0));
    ASSERT_TRUE(WaitUntil([&] { return CurrentRow(window) == 0; }, kPageTimeout)) << "the click on row 0 was lost";
    Settle(window);
    EXPECT_EQ(ControlText(window, IDC_SelCompDiskSpaceReqLbl2), everything)
        << "clicking the word processor's box changed the required space";

    // Every other row cleared, one at a time: the total falls each time.
    std::string before = everything;
    for (int row = 1; row <= 5; ++row) {
        ASSERT_TRUE(run.ClickComponentBox(row));
        const bool changed = WaitUntil(
            [&] { return CurrentRow(window) == row && ControlText(window, IDC_SelCompDiskSpaceReqLbl2) != before; },
            kPageTimeout);
        EXPECT_TRUE(changed) << "clearing row " << row << " left the required space at " << before;
        before = ControlText(window, IDC_SelCompDiskSpaceReqLbl2);
    }
    const long long ownSize = ClusterRounded(FileSize(BuildFile("qwp.exe")), startFolder.Path()) +
                              ClusterRounded(FileSize(SourceFile("sample/files/License.txt")), startFolder.Path());
    ASSERT_GT(ownSize, 0);
    ASSERT_LT(ownSize, 1000 * 1024) << "the expected text below has no digit groups";
    EXPECT_EQ(ControlText(window, IDC_SelCompDiskSpaceReqLbl2), std::to_string(ownSize / 1024) + " KB")
        << "the required space is not the word processor's own";
    EXPECT_TRUE(ControlEnabled(window, IDC_NextBtn));
    run.ShootPage(3, "-only-row-0");

    run.Next();
    ASSERT_TRUE(run.WaitForPage(4));
    run.ShootPage(4);
    run.Next();
    ASSERT_TRUE(run.WaitForPage(6, kInstallTimeout)) << "the install run did not move on; the title reads \""
                                                     << ControlText(window, IDC_TopLbl) << "\"";
    run.ShootPage(6);
    EXPECT_EQ(run.Buttons(), "< &Back-|&Next >|Cancel");

    // On the associations page: the two files and the folders the plan
    // makes whatever is chosen, and nothing of the other components.
    EXPECT_EQ(FilesBelow(mainDir), "License.txt|qwp.exe");
    EXPECT_EQ(FilesBelow(PublicFolder()), "") << "files of unticked components were written";
    EXPECT_TRUE(FolderExists(SpellingFolder())) << "the spelling folder is made even without the spellchecker";
    EXPECT_EQ(FilesBelow(CommonDataFolder()), "Hidden\\install_stamp");

    ASSERT_TRUE(run.AbortThroughCloseQuestion("page6-close-question"));

    EXPECT_EQ(FilesBelow(mainDir), "Install.log|License.txt|qwp.exe");
    EXPECT_EQ(ReadWholeFile(JoinPath(mainDir, "qwp.exe")), ReadWholeFile(BuildFile("qwp.exe")));
    EXPECT_EQ(ReadWholeFile(JoinPath(mainDir, "License.txt")), ReadWholeFile(SourceFile("sample/files/License.txt")));
    EXPECT_EQ(Lower(ReadWholeFile(JoinPath(mainDir, "Install.log"))),
              Lower(FoldersMadeLog(mainDir) + WordProcessorCopiesLog(mainDir)));

    // Bits 1 to 5 clear, bit 0 never stored, the bits above kept as read
    // (none stored: every bit of the default).
    const DWORD components = StoredDword("COMPS (1.6.6.2)");
    EXPECT_EQ(components & 0x3Fu, 0u) << std::hex << components;
    EXPECT_EQ(components, 0x7FFFFFC0u) << std::hex << components;
    EXPECT_EQ(Lower(StoredValue("MAINDIR")), Lower("REG_SZ:" + mainDir));
    // The run was started, so the uninstall entry was written as well.
    EXPECT_EQ(UninstallEntryValue("UninstallString"), "REG_SZ:\"" + JoinPath(mainDir, "qwp.exe") + "\" -ui");
    for (const std::string& place : ShortcutPlaces()) EXPECT_FALSE(PathPresent(place)) << place;
}

}  // namespace
}  // namespace qwp::test::interactive
