// Unattended installs that go through: "/S" shows no window at any moment
// and leaves what the wizard leaves, without launching the word processor;
// "/P" shows only its progress window, which a close request does not stop;
// the switches work in any case and anywhere after the folder.
#include "tests/scenarios/UnattendedScenario.h"

#include "wizard/ControlIds.h"

#include <commctrl.h>

namespace qwp::test::unattended {
namespace {

class UnattendedInstall : public UnattendedTest {
protected:
    std::string Program() const { return InDestination("qwp.exe"); }
    std::string AssociationStart() const { return Quoted(Program()) + " -assoc qdpr_cod"; }

    // The start log of the installed stand-in once it holds the number of
    // lines expected, and a moment more, so a launch that follows the
    // association start would be in it too.
    std::vector<std::string> StartsAfterRun(std::size_t expected) const {
        const std::string log = InDestination("qwp-starts.log");
        WaitUntil([&] { return LinesOf(ReadWholeFile(log)).size() >= expected; }, 10000, 50);
        Sleep(500);
        return LinesOf(ReadWholeFile(log));
    }

    // What every install with the defaults into the scratch destination
    // leaves in the registry and among the shortcuts.
    void CheckRegistryAndShortcuts(DWORD launch) {
        // The stored LAUNCH is kept.
        ExpectDefaultChoicesStored(Destination(), launch);
        EXPECT_TRUE(KeyExists(kInternalKey));

        EXPECT_EQ(Lower(UninstallEntryValue("DisplayIcon")), Lower("REG_SZ:" + Program()));
        EXPECT_EQ(Lower(UninstallEntryValue("UninstallString")), Lower("REG_SZ:" + Quoted(Program()) + " -ui"));
        EXPECT_EQ(UninstallEntryValue("DisplayName"), "REG_SZ:Quilvane Word Processor");

        // All users' Programs and Desktop; none of the user's own.
        const std::vector<std::string> places = ShortcutPlaces();
        EXPECT_TRUE(PathPresent(places[0])) << places[0];
        EXPECT_FALSE(PathPresent(places[1])) << places[1];
        EXPECT_TRUE(PathPresent(places[2])) << places[2];
        EXPECT_FALSE(PathPresent(places[3])) << places[3];
        for (const std::string& place : {places[0], places[2]}) {
            const LinkFields link = ReadLink(place);
            EXPECT_TRUE(link.loaded) << place;
            EXPECT_EQ(Lower(link.path), Lower(Program())) << place;
        }
    }
};

TEST_F(UnattendedInstall, SilentInstallShowsNoWindowAndReinstallsCleanly) {
    const RunSeen first = WatchSetup(DestinationArgument() + " /S");
    PrintRun("/S into a new folder", first);
    EXPECT_EQ(first.exitCode, 0u);
    EXPECT_EQ(Joined(first.shown, "; "), "") << "windows shown by a silent run";
    ASSERT_TRUE(FileExists(Program())) << "nothing installed";

    EXPECT_EQ(Joined(WrongInstalledFiles(Destination()), "\n"), "");
    // The payload has no British cache: the American one is written twice.
    EXPECT_EQ(ReadWholeFile(SpellingFolder() + "English (British).cache"),
              ReadWholeFile(SpellingFolder() + "English (American).cache"));
    const std::string logAfterFirst = ReadWholeFile(InDestination("Install.log"));
    EXPECT_EQ(Lower(logAfterFirst), Lower(ExpectedInstallLog(Destination())));
    CheckRegistryAndShortcuts(1);
    EXPECT_TRUE(FileExists(CommonDataFolder() + "Update.log"));
    EXPECT_EQ(StartsAfterRun(1), std::vector<std::string>{AssociationStart()}) << "only the association start";
    EXPECT_EQ(FindWindowExA(nullptr, nullptr, "QuilvaneWordProcessor", nullptr), nullptr)
        << "the word processor was launched";

    // Again, with LAUNCH stored cleared and the folder taken from the stored
    // choices: the same files, no line twice in either log.
    ASSERT_TRUE(WriteDwordValue(kInstallKey, "LAUNCH", 0));
    const RunSeen second = WatchSetup("/S");
    PrintRun("/S again, stored folder", second);
    EXPECT_EQ(second.exitCode, 0u);
    EXPECT_EQ(Joined(second.shown, "; "), "") << "windows shown by a silent run";
    EXPECT_FALSE(FolderExists(DefaultDestination())) << "the stored folder was not used";

    EXPECT_EQ(Joined(WrongInstalledFiles(Destination()), "\n"), "");
    const std::string logText = ReadWholeFile(InDestination("Install.log"));
    EXPECT_EQ(logText, logAfterFirst);
    std::set<std::string> distinct;
    for (const std::string& line : LinesOf(logText))
        EXPECT_TRUE(distinct.insert(Lower(line)).second) << "Install.log twice: " << line;
    CheckRegistryAndShortcuts(0);

    // Update.log: one block, stamped as the second run's install_stamp, with
    // every file below the shared Public folder once.
    std::set<std::string> shared;
    for (const std::string& path : ExpectedCopies(Destination()))
        if (StartsWith(path, Lower(PublicFolder()))) shared.insert(path);
    ASSERT_NO_FATAL_FAILURE(ExpectOneUpdateBlock(shared));

    EXPECT_EQ(StartsAfterRun(2), (std::vector<std::string>{AssociationStart(), AssociationStart()}))
        << "only the association start, once per run";
    EXPECT_EQ(FindWindowExA(nullptr, nullptr, "QuilvaneWordProcessor", nullptr), nullptr)
        << "the word processor was launched";
}

// What the watcher saw of the progress window while the run went on.
struct ProgressSeen {
    HWND window = nullptr;
    LONG_PTR style = 0;
    std::string barClass;       // the class of the control with the progress bar's id
    bool labelFound = false;
    bool closeSent = false;
    bool closeAnswered = false;  // the window answered the close request
    bool aliveAfterClose = false;
    DWORD_PTR positionAtClose = 0;
    int pictures = 0;
    std::string labelInPicture;
    DWORD_PTR positionInPicture = 0;
};

DWORD_PTR BarPosition(HWND window) {
    DWORD_PTR position = 0;
    SendMessageTimeoutA(FindControl(window, IDC_InstallProgressBar), PBM_GETPOS, 0, 0, SMTO_ABORTIFHUNG, 2000,
                        &position);
    return position;
}

// Finds the progress window, asks it to close once (as the system does for
// Alt+F4 or the taskbar's Close), and keeps a picture of it once it names a
// file being written.
WindowWatcher WatchProgress(ProgressSeen& seen, const std::string& picture) {
    return [&seen, picture](const ChildProcess& process, const std::vector<HWND>& visible) {
        for (HWND window : visible)
            if (!seen.window && WindowClass(window) == kProgressClass) {
                seen.window = window;
                seen.style = GetWindowLongPtrA(window, GWL_STYLE);
                HWND bar = FindControl(window, IDC_InstallProgressBar);
                seen.barClass = bar ? WindowClass(bar) : "(none)";
                seen.labelFound = FindControl(window, IDC_InstallFileLbl) != nullptr;
            }
        if (!seen.window || !IsWindow(seen.window)) return;
        if (!seen.closeSent) {
            seen.closeSent = true;
            seen.positionAtClose = BarPosition(seen.window);
            DWORD_PTR ignored = 0;
            seen.closeAnswered =
                SendMessageTimeoutA(seen.window, WM_CLOSE, 0, 0, SMTO_ABORTIFHUNG, 5000, &ignored) != 0;
            seen.aliveAfterClose = IsWindow(seen.window) && IsWindowVisible(seen.window);
            return;
        }
        if (seen.pictures > 0 || picture.empty()) return;
        const std::string label = ControlText(seen.window, IDC_InstallFileLbl);
        const DWORD_PTR position = BarPosition(seen.window);
        if (label.empty() || WaitForSingleObject(process.Handle(), 0) == WAIT_OBJECT_0) return;
        if (CaptureWindow(seen.window, picture)) {
            ++seen.pictures;
            seen.labelInPicture = label;
            seen.positionInPicture = position;
        }
    };
}

TEST_F(UnattendedInstall, ProgressWindowShowsTheCopiesAndIgnoresClose) {
    ProgressSeen seen;
    const RunSeen run =
        WatchSetup(DestinationArgument() + " /P", kInstallTimeout, WatchProgress(seen, CaseScreens("progress") + "copying.png"));
    PrintRun("/P", run);
    EXPECT_EQ(run.exitCode, 0u);
    ASSERT_NE(seen.window, nullptr) << "no progress window";
    EXPECT_EQ(run.shown, std::vector<std::string>{std::string(kProgressClass) + " \"" + kCaption + "\""})
        << "the progress window alone";
    EXPECT_EQ(seen.style & WS_SYSMENU, 0) << "a close box";
    EXPECT_NE(seen.style & WS_CAPTION, 0) << "no caption";
    EXPECT_EQ(seen.barClass, PROGRESS_CLASSA);
    EXPECT_TRUE(seen.labelFound) << "no file label";

    EXPECT_TRUE(seen.closeAnswered) << "the close request was not answered";
    std::printf("[ unattended ] close request at progress %lu of 1000: window %s\n",
                static_cast<unsigned long>(seen.positionAtClose), seen.aliveAfterClose ? "stays" : "gone");
    if (seen.positionAtClose < 1000) {
        EXPECT_TRUE(seen.aliveAfterClose) << "the window closed while the copies were still being written";
    }
    EXPECT_GE(seen.pictures, 1) << "no picture of the window while it copies";
    if (seen.pictures > 0) {
        std::printf("[ unattended ] picture taken at progress %lu of 1000, file label just before \"%s\"\n",
                    static_cast<unsigned long>(seen.positionInPicture), seen.labelInPicture.c_str());
    }

    // The close request stopped nothing.
    EXPECT_EQ(Joined(WrongInstalledFiles(Destination()), "\n"), "");
    EXPECT_EQ(Lower(ReadWholeFile(InDestination("Install.log"))), Lower(ExpectedInstallLog(Destination())));
    CheckRegistryAndShortcuts(1);
    EXPECT_EQ(StartsAfterRun(1), std::vector<std::string>{AssociationStart()}) << "only the association start";
}

TEST_F(UnattendedInstall, SwitchesInAnyCaseAnywhereAfterTheFolder) {
    ProgressSeen seen;
    const RunSeen lower = WatchSetup(DestinationArgument() + " /p", kInstallTimeout, WatchProgress(seen, {}));
    PrintRun("/p", lower);
    EXPECT_EQ(lower.exitCode, 0u);
    EXPECT_NE(seen.window, nullptr) << "no progress window for /p";
    EXPECT_EQ(Lower(ReadWholeFile(InDestination("Install.log"))), Lower(ExpectedInstallLog(Destination())));

    // /S wins over /P, wherever it stands after the folder.
    ASSERT_TRUE(WaitUntil([&] { return DeleteFileA(Program().c_str()) != FALSE; }, 10000, 50));
    const RunSeen both = WatchSetup(DestinationArgument() + " /p /S");
    PrintRun("/p /S", both);
    EXPECT_EQ(both.exitCode, 0u);
    EXPECT_EQ(Joined(both.shown, "; "), "") << "windows shown with /S after /p";
    EXPECT_TRUE(FileExists(Program())) << "the second run installed nothing";
    EXPECT_EQ(StartsAfterRun(2), (std::vector<std::string>{AssociationStart(), AssociationStart()}));
}

}  // namespace
}  // namespace qwp::test::unattended
