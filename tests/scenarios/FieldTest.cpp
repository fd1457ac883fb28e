// The real setup as administrators and deployment tools meet it: a second
// setup while one runs, an upgrade by another account, a word processor
// held open where its windows cannot be seen, folders that are not folders,
// the switches packaging tools send, a run killed by a time-out, and Cancel
// while the files are copied.
#include "tests/scenarios/UnattendedScenario.h"

#include "tests/support/SetupRun.h"
#include "wizard/ControlIds.h"

namespace qwp::test::unattended {
namespace {

constexpr char kAlreadyRunning[] = "Setup of Quilvane Word Processor is already running.";

class Field : public UnattendedTest {
protected:
    // No choice stored, no uninstall entry, nothing in the data folders.
    void ExpectNothingRecorded(const std::string& what) {
        EXPECT_FALSE(KeyExists(kProductKey)) << what;
        EXPECT_EQ(UninstallEntryValue("UninstallString"), "absent") << what;
        EXPECT_FALSE(FileExists(HiddenFolder() + "install_stamp")) << what;
        EXPECT_FALSE(FolderExists(DefaultDestination())) << what;
    }
};

TEST_F(Field, SecondSetupWhileAWizardRunsWritesNothing) {
    SetupRun first(CaseScreens("second-setup"), DestinationArgument());
    ASSERT_TRUE(first.Started());

    const RunSeen silent = WatchSetup(DestinationArgument() + " /S " + log_.Switch(), kStartTimeout);
    EXPECT_EQ(silent.exitCode, 6u);
    EXPECT_EQ(Joined(silent.shown, "; "), "") << "windows shown by a silent run";
    EXPECT_EQ(log_.LastLine(), "Exit: 6 (another setup of the product is running)");
    EXPECT_FALSE(FolderExists(Destination()));

    ChildProcess second(Quoted(BuildFile("setup.exe")));
    HWND box = WaitForWindow(second.Id(), "Error", kStartTimeout);
    ASSERT_NE(box, nullptr) << "no message for the second wizard";
    // The box fills its label while it starts.
    EXPECT_TRUE(WaitUntil([&] { return ChildTextOfClass(box, "Static") == kAlreadyRunning; }, kPageTimeout))
        << ChildTextOfClass(box, "Static");
    first.Shoot("second-wizard-message", box);
    EXPECT_TRUE(PressButton(box, "OK"));
    EXPECT_EQ(second.WaitForExit(kStartTimeout), 6u);
    EXPECT_TRUE(first.Running()) << "the first setup goes on";

    EXPECT_TRUE(first.AbortThroughCloseQuestion());
    const RunSeen after = WatchSetup(DestinationArgument() + " /S");
    EXPECT_EQ(after.exitCode, 0u) << "once the first has ended, a setup goes ahead";
}

TEST_F(Field, UpgradeByAnotherAccountFindsTheInstalledFolder) {
    ASSERT_EQ(WatchSetup(DestinationArgument() + " /S").exitCode, 0u);
    // Another account: none of this user's choices.
    ASSERT_EQ(RegDeleteTreeA(HKEY_CURRENT_USER, kProductKey), ERROR_SUCCESS);

    const RunSeen upgrade = WatchSetup("/S " + log_.Switch());
    EXPECT_EQ(upgrade.exitCode, 0u);
    EXPECT_EQ(Lower(StoredValue("MAINDIR")), Lower("REG_SZ:" + Destination()));
    EXPECT_EQ(Lower(UninstallEntryValue("InstallLocation")), Lower("REG_SZ:" + Destination()));
    EXPECT_EQ(UninstallEntryValue("NoModify"), "REG_DWORD:1");
    EXPECT_EQ(UninstallEntryValue("NoRepair"), "REG_DWORD:1");
    EXPECT_FALSE(FolderExists(DefaultDestination())) << "a second copy was installed";
}

TEST_F(Field, HeldProgramFileExitsThreeWritingNothing) {
    ASSERT_EQ(SHCreateDirectoryExA(nullptr, Destination().c_str(), nullptr), ERROR_SUCCESS);
    const std::string program = InDestination("qwp.exe");
    ASSERT_TRUE(WriteWholeFile(program, "the word processor, running elsewhere"));
    UniqueFile holder(CreateFileA(program.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(holder.valid());

    const RunSeen run = WatchSetup(DestinationArgument() + " /S " + log_.Switch(), kStartTimeout);
    EXPECT_EQ(run.exitCode, 3u);
    EXPECT_EQ(log_.LastLine(), "Exit: 3 (the word processor is running)");
    EXPECT_EQ(Entries(JoinPath(Destination(), "")), std::vector<std::string>{"qwp.exe"});
    ExpectNothingRecorded("held qwp.exe");
}

TEST_F(Field, UnusableFoldersExitSevenWritingNothing) {
    for (const char* folder : {"C:Apps", "C:\\Apps\\con", "C:\\Apps\\lpt1.log\\Sub", "C:\\Apps.\\Sub",
                               "C:\\Apps \\Sub", "C:\\A|b", "\\\\server"}) {
        log_.Remove();
        const RunSeen run = WatchSetup(Quoted(std::string("-d") + folder) + " /S " + log_.Switch(), kStartTimeout);
        EXPECT_EQ(run.exitCode, 7u) << folder;
        EXPECT_EQ(Joined(run.shown, "; "), "") << folder;
        EXPECT_EQ(log_.LastLine(), "Exit: 7 (the destination folder cannot be used)") << folder;
        ExpectNothingRecorded(folder);
    }
}

// Each line as a deployment tool sends it, straight to CreateProcess: the
// raw command line, no argument vector that would quote it.
TEST_F(Field, PackagersSwitchesOnTheRealProgram) {
    const std::string spaced = scratch_ / "Q W P";
    const struct {
        std::string arguments;
        DWORD code;
        const char* answered;  // the caption of the one message box answered with OK
        std::string installedIn;
    } cases[] = {
        {"/VERYSILENT /SUPPRESSMSGBOXES /NORESTART /D=" + spaced, 0, nullptr, spaced},
        {"/norestart /s \"/DIR=" + spaced + "\"", 0, nullptr, spaced},
        {"/SILENT /D=" + spaced, 0, nullptr, spaced},
        {"/?", 0, "Information", ""},
        {"/HELP /S", 0, nullptr, ""},  // no box without the wizard
        {"/X /S", 8, nullptr, ""},
        {"/Silent2", 8, "Error", ""},
    };
    for (const auto& c : cases) {
        RemoveInstallation();
        RemoveTree(JoinPath(spaced, ""));
        std::vector<std::string> answered;
        const RunSeen run = WatchSetup(c.arguments, kInstallTimeout, [&](const ChildProcess&, const std::vector<HWND>& windows) {
            for (HWND window : windows) {
                const std::string caption = WindowText(window);
                if (WindowClass(window) != kProgressClass && PressButton(window, "OK")) answered.push_back(caption);
            }
        });
        EXPECT_EQ(run.exitCode, c.code) << c.arguments;
        EXPECT_EQ(Joined(answered, "; "), c.answered ? c.answered : "") << c.arguments;
        if (c.installedIn.empty()) {
            ExpectNothingRecorded(c.arguments);
            EXPECT_FALSE(FolderExists(spaced)) << c.arguments;
        } else {
            EXPECT_TRUE(FileExists(JoinPath(c.installedIn, "qwp.exe"))) << c.arguments;
            EXPECT_EQ(Lower(StoredValue("MAINDIR")), Lower("REG_SZ:" + c.installedIn)) << c.arguments;
        }
        const bool progress = Joined(run.shown, "; ").find(kProgressClass) != std::string::npos;
        EXPECT_EQ(progress, StartsWith(c.arguments, "/SILENT")) << c.arguments;
    }
}

// A deployment tool's time-out kills the run half way: the log still holds
// every line up to the copy.
TEST_F(Field, KilledRunLeavesItsLogUpToTheCopy) {
    ChildProcess run(Quoted(BuildFile("setup.exe")) + " " + DestinationArgument() + " /S " + log_.Switch());
    ASSERT_TRUE(run.Started());
    ASSERT_TRUE(WaitUntil([&] { return ReadWholeFile(log_.Path()).find("\r\nCopied: ") != std::string::npos; },
                          kStartTimeout, 1))
        << "no copy logged";
    ASSERT_TRUE(TerminateProcess(run.Handle(), 99));
    ASSERT_EQ(run.WaitForExit(kStartTimeout), 99u) << "the run ended before it was killed";
    const std::vector<std::string> lines = log_.Lines();
    ASSERT_FALSE(lines.empty());
    EXPECT_TRUE(StartsWith(lines.front(), "Command line: ")) << lines.front();
    EXPECT_EQ(LinesOfKind(lines, "Mode"), std::vector<std::string>{"silent"});
    EXPECT_EQ(LinesOfKind(lines, "Destination").size(), 1u);
    EXPECT_FALSE(LinesOfKind(lines, "Copied").empty());
    EXPECT_TRUE(LinesOfKind(lines, "Exit").empty()) << "the killed run cannot have ended";
}

// Cancel while the files are copied: the close question belongs to the
// wizard, which cannot be clicked meanwhile; Abort stops the copy and the
// ending still records the installation.
TEST_F(Field, CancelWhileCopyingAbortStopsTheCopyAndRecordsIt) {
    SetupRun run(CaseScreens("cancel-while-copying"), DestinationArgument());
    ASSERT_TRUE(run.Started());
    ASSERT_TRUE(run.WalkTo(4));
    const MessageBoxSeen question = run.HoldCopyAtFirstReport();
    ASSERT_NE(question.window, nullptr);
    run.Shoot("question-while-copying", question.window, false);
    EXPECT_EQ(question.text, WithCrLf(kCloseQuestion));
    EXPECT_EQ(GetWindow(question.window, GW_OWNER), run.Window());
    EXPECT_FALSE(IsWindowEnabled(run.Window())) << "the wizard stays clickable under its question";
    EXPECT_TRUE(run.OnPage(5));
    ASSERT_TRUE(SetupRun::Answer(question, "&Abort"));
    EXPECT_EQ(run.WaitForExit(kInstallTimeout), 0u);

    EXPECT_FALSE(FileExists(InDestination("License.txt"))) << "the copy went on after Abort";
    ExpectDefaultChoicesStored(Destination());
    EXPECT_EQ(Lower(UninstallEntryValue("UninstallString")), Lower("REG_SZ:" + Quoted(InDestination("qwp.exe")) + " -ui"));
    EXPECT_TRUE(FileExists(InDestination("Install.log")));
}

}  // namespace
}  // namespace qwp::test::unattended
