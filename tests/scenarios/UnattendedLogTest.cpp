// The diagnostic log a run writes when "/LOG=<path>" is given: every step
// of a silent install on its own line, no effect on the install when the
// log cannot be written, and the exit of a wizard run as well.
#include "tests/scenarios/UnattendedScenario.h"

#include "wizard/ControlIds.h"

#include <cctype>

namespace qwp::test::unattended {
namespace {

// "<Kind>: <text>": a capitalised word or words, then a colon and a space.
bool IsLogLine(const std::string& line) {
    const std::size_t colon = line.find(": ");
    if (colon == std::string::npos || colon == 0 || !std::isupper(static_cast<unsigned char>(line[0]))) return false;
    for (std::size_t i = 0; i < colon; ++i)
        if (!std::isalpha(static_cast<unsigned char>(line[i])) && line[i] != ' ') return false;
    return true;
}

using UnattendedLog = UnattendedTest;

TEST_F(UnattendedLog, SilentInstallLogsEveryStep) {
    const std::string folder = scratch_ / "run logs";
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    const RunLogFile log(folder + "\\setup run.log");
    const RunSeen run = WatchSetup(DestinationArgument() + " /S " + log.Switch());
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_EQ(Joined(run.shown, "; "), "");

    const std::string text = ReadWholeFile(log.Path());
    const std::vector<std::string> lines = LinesOf(text);
    ASSERT_FALSE(lines.empty()) << "no log written";
    for (std::size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', at + 1))
        EXPECT_TRUE(at > 0 && text[at - 1] == '\r') << "a line not ended by CR LF at byte " << at;
    for (const std::string& line : lines) EXPECT_TRUE(IsLogLine(line)) << "not \"Kind: text\": " << line;

    EXPECT_TRUE(StartsWith(lines.front(), "Command line: ")) << lines.front();
    EXPECT_NE(lines.front().find("/LOG=" + log.Path()), std::string::npos) << lines.front();
    const std::vector<std::string> destination = LinesOfKind(lines, "Destination");
    ASSERT_EQ(destination.size(), 1u);
    EXPECT_EQ(Lower(destination[0]), Lower(Destination()));

    // One line per copy, each copy once.
    std::set<std::string> copied;
    const std::vector<std::string> copies = LinesOfKind(lines, "Copied");
    for (const std::string& path : copies) EXPECT_TRUE(copied.insert(Lower(path)).second) << "copied twice: " << path;
    EXPECT_EQ(copied, ExpectedCopies(Destination()));

    // The stored choices and the uninstall entry, and both shortcuts.
    const std::vector<std::string> registry = LinesOfKind(lines, "Registry");
    for (const char* name : {"\"MAINDIR\"", "\"COMPS (1.6.6.2)\"", "\"LAUNCH\"", "\"DisplayName\"", "\"UninstallString\""})
        EXPECT_EQ(std::count_if(registry.begin(), registry.end(),
                                [&](const std::string& line) { return line.find(name) != std::string::npos; }),
                  1)
            << name;
    const std::vector<std::string> shortcuts = LinesOfKind(lines, "Shortcut");
    ASSERT_EQ(shortcuts.size(), 2u);
    const std::string program = Lower(InDestination("qwp.exe"));
    EXPECT_EQ(Lower(shortcuts[0]), Lower(ShortcutPlaces()[0]) + " -> " + program);
    EXPECT_EQ(Lower(shortcuts[1]), Lower(ShortcutPlaces()[2]) + " -> " + program);
    // The common data file, named once it is written.
    const std::vector<std::string> files = LinesOfKind(lines, "File");
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(Lower(files[0]), Lower(CommonDataFolder() + "qwp_common.dat"));
    EXPECT_EQ(LinesOfKind(lines, "Not written"), std::vector<std::string>{});

    EXPECT_EQ(lines.back(), "Exit: 0 (installed)");
}

TEST_F(UnattendedLog, LogInAMissingFolderLeavesTheInstallAlone) {
    const RunLogFile log(scratch_ / "no such folder\\run.log");
    const RunSeen run = WatchSetup(DestinationArgument() + " " + log.Switch() + " /S");
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_EQ(Joined(run.shown, "; "), "");
    EXPECT_EQ(Joined(WrongInstalledFiles(Destination()), "\n"), "");
    EXPECT_EQ(Lower(ReadWholeFile(InDestination("Install.log"))), Lower(ExpectedInstallLog(Destination())));
    // The log's folder is not the run's to make.
    EXPECT_FALSE(FolderExists(scratch_ / "no such folder")) << "the log's folder was made";
}

TEST_F(UnattendedLog, CancelledWizardLogsItsExit) {
    ChildProcess setup(Quoted(BuildFile("setup.exe")) + " " + log_.Switch());
    ASSERT_TRUE(setup.Started());
    HWND wizard = WaitForWindow(setup.Id(), kCaption, kStartTimeout);
    ASSERT_NE(wizard, nullptr) << "no wizard";
    ASSERT_TRUE(WaitForControlText(wizard, IDC_TopLbl, kTitles[0], kPageTimeout));
    KeepWindowPicture(wizard, CaseScreens("wizard-log") + "page0-welcome.png");
    // Made when the run starts, with what it was told.
    EXPECT_TRUE(StartsWith(ReadWholeFile(log_.Path()), "Command line: ")) << "no log while the wizard runs";

    ClickControl(wizard, IDC_CancelBtn);
    HWND confirm = WaitForWindow(setup.Id(), "Confirm", kPageTimeout);
    ASSERT_NE(confirm, nullptr) << "no close question";
    KeepWindowPicture(confirm, CaseScreens("wizard-log") + "close-question.png");
    PressButton(confirm, "&Abort");
    EXPECT_EQ(setup.WaitForExit(kStartTimeout), 0u);

    const std::vector<std::string> lines = log_.Lines();
    ASSERT_FALSE(lines.empty()) << "no log written";
    EXPECT_TRUE(StartsWith(lines.front(), "Command line: ")) << lines.front();
    EXPECT_EQ(lines.back(), "Exit: 0 (wizard cancelled)");
    EXPECT_FALSE(FolderExists(DefaultDestination()));
}

}  // namespace
}  // namespace qwp::test::unattended
