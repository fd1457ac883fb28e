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

    // The run that has just ended started the association command and
    // nothing else (its log names every start it made, so no launch can
    // follow), and the installed stand-in received it: its own start log
    // holds that command as often as runs have started it.
    void ExpectOnlyTheAssociationStarted(std::size_t runs) {
        EXPECT_EQ(log_.Starts(), std::vector<std::string>{AssociationStart()}) << "the run's starts";
        const std::string starts = InDestination("qwp-starts.log");
        const std::vector<std::string> expected(runs, AssociationStart());
        EXPECT_TRUE(WaitUntil([&] { return LinesOf(ReadWholeFile(starts)) == expected; }, kStartTimeout, 20))
            << "the stand-in's start log:\n"
            << ReadWholeFile(starts);
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
    const RunSeen first = WatchSetup(DestinationArgument() + " /S " + log_.Switch());
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
    ExpectOnlyTheAssociationStarted(1);

    // Again, with LAUNCH stored cleared and the folder taken from the stored
    // choices: the same files, no line twice in either log.
    ASSERT_TRUE(WriteDwordValue(kInstallKey, "LAUNCH", 0));
    const RunSeen second = WatchSetup("/S " + log_.Switch());
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

    ExpectOnlyTheAssociationStarted(2);
}

// What the watcher saw of the progress window while the run went on.
struct ProgressSeen {
    HWND window = nullptr;
    LONG_PTR style = 0;
    std::string barClass;  // the class of the control with the progress bar's id
    bool labelFound = false;
    bool closeSent = false;
    bool closeAnswered = false;  // the window answered the close request
    bool aliveAfterClose = false;
    // The run had come to its last step before the window goes (its log
    // names the Update.log it wrote) by the time the close request was
    // through: a window gone by then may have been taken away by the run.
    bool endingReachedAtClose = false;
    int pictures = 0;
};

// Finds the progress window, asks it to close once (as the system does for
// Alt+F4 or the taskbar's Close), and keeps a picture of it once it names a
// file being written, when a picture is given.
WindowWatcher WatchProgress(ProgressSeen& seen, const RunLogFile& log, const std::string& picture = {}) {
    return [&seen, &log, picture](const ChildProcess& process, const std::vector<HWND>& visible) {
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
            DWORD_PTR ignored = 0;
            seen.closeAnswered =
                SendMessageTimeoutA(seen.window, WM_CLOSE, 0, 0, SMTO_ABORTIFHUNG, 5000, &ignored) != 0;
            seen.aliveAfterClose = IsWindow(seen.window) && IsWindowVisible(seen.window);
            seen.endingReachedAtClose = !LinesOfKind(log.Lines(), "Update log").empty();
            return;
        }
        if (seen.pictures > 0 || picture.empty()) return;
        if (ControlText(seen.window, IDC_InstallFileLbl).empty() ||
            WaitForSingleObject(process.Handle(), 0) == WAIT_OBJECT_0)
            return;
        if (CaptureWindow(seen.window, picture)) ++seen.pictures;
    };
}

TEST_F(UnattendedInstall, ProgressWindowShowsTheCopiesAndIgnoresClose) {
    ProgressSeen seen;
    const std::string picture = ScreensWanted() ? CaseScreens("progress") + "copying.png" : std::string();
    const RunSeen run = WatchSetup(DestinationArgument() + " /P " + log_.Switch(), kInstallTimeout,
                                   WatchProgress(seen, log_, picture));
    EXPECT_EQ(run.exitCode, 0u);
    ASSERT_NE(seen.window, nullptr) << "no progress window";
    EXPECT_EQ(run.shown, std::vector<std::string>{std::string(kProgressClass) + " \"" + kCaption + "\""})
        << "the progress window alone";
    EXPECT_EQ(seen.style & WS_SYSMENU, 0) << "a close box";
    EXPECT_NE(seen.style & WS_CAPTION, 0) << "no caption";
    EXPECT_EQ(seen.barClass, PROGRESS_CLASSA);
    EXPECT_TRUE(seen.labelFound) << "no file label";

    // The window is there from before the first copy until after the last
    // step: the request, made when it first shows, finds it while it
    // pumps, and it stays.
    EXPECT_TRUE((seen.closeAnswered && seen.aliveAfterClose) || seen.endingReachedAtClose)
        << "the close request was " << (seen.closeAnswered ? "answered" : "not answered") << " and the window "
        << (seen.aliveAfterClose ? "stayed" : "went") << " while the run went on";
    if (ScreensWanted()) {
        EXPECT_EQ(seen.pictures, 1) << "no picture of the window while it copies";
    }

    // The close request stopped nothing.
    EXPECT_EQ(Joined(WrongInstalledFiles(Destination()), "\n"), "");
    EXPECT_EQ(Lower(ReadWholeFile(InDestination("Install.log"))), Lower(ExpectedInstallLog(Destination())));
    CheckRegistryAndShortcuts(1);
    ExpectOnlyTheAssociationStarted(1);
}

TEST_F(UnattendedInstall, SwitchesInAnyCaseAnywhereAfterTheFolder) {
    ProgressSeen seen;
    const RunSeen lower = WatchSetup(DestinationArgument() + " /p " + log_.Switch(), kInstallTimeout,
                                     WatchProgress(seen, log_));
    EXPECT_EQ(lower.exitCode, 0u);
    EXPECT_NE(seen.window, nullptr) << "no progress window for /p";
    EXPECT_EQ(Lower(ReadWholeFile(InDestination("Install.log"))), Lower(ExpectedInstallLog(Destination())));
    ExpectOnlyTheAssociationStarted(1);

    // /S wins over /P, wherever it stands after the folder.
    ASSERT_TRUE(WaitUntil([&] { return DeleteFileA(Program().c_str()) != FALSE; }, 10000, 50));
    const RunSeen both = WatchSetup(DestinationArgument() + " /p /S " + log_.Switch());
    EXPECT_EQ(both.exitCode, 0u);
    EXPECT_EQ(Joined(both.shown, "; "), "") << "windows shown with /S after /p";
    EXPECT_TRUE(FileExists(Program())) << "the second run installed nothing";
    ExpectOnlyTheAssociationStarted(2);
}

}  // namespace
}  // namespace qwp::test::unattended
