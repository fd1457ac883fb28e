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
    const std::string log = folder + "\\setup run.log";
    const RunSeen run = WatchSetup(DestinationArgument() + " /S " + Quoted("/LOG=" + log));
    PrintRun("/S with a log", run);
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_EQ(Joined(run.shown, "; "), "");

    const std::string text = ReadWholeFile(log);
    const std::vector<std::string> lines = LinesOf(text);
    ASSERT_FALSE(lines.empty()) << "no log written";
    for (std::size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', at + 1))
        EXPECT_TRUE(at > 0 && text[at - 1] == '\r') << "a line not ended by CR LF at byte " << at;
    for (const std::string& line : lines) EXPECT_TRUE(IsLogLine(line)) << "not \"Kind: text\": " << line;

    EXPECT_TRUE(StartsWith(lines.front(), "Command line: ")) << lines.front();
    EXPECT_NE(lines.front().find("/LOG=" + log), std::string::npos) << lines.front();
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

    EXPECT_EQ(lines.back(), "Exit: 0 (installed)");
    std::printf("[ unattended ] %zu log lines, %zu copies, %zu registry values; first and last:\n", lines.size(),
                copies.size(), registry.size());
    std::printf("[ unattended ]   %s\n[ unattended ]   %s\n", lines.front().c_str(), lines.back().c_str());
}

TEST_F(UnattendedLog, LogInAMissingFolderLeavesTheInstallAlone) {
    const std::string log = scratch_ / "no such folder\\run.log";
    const RunSeen run = WatchSetup(DestinationArgument() + " " + Quoted("/LOG=" + log) + " /S");
    PrintRun("/S with a log in a missing folder", run);
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_EQ(Joined(run.shown, "; "), "");
    EXPECT_EQ(Joined(WrongInstalledFiles(Destination()), "\n"), "");
    EXPECT_EQ(Lower(ReadWholeFile(InDestination("Install.log"))), Lower(ExpectedInstallLog(Destination())));
    std::printf("[ unattended ] the log %s\n", FileExists(log) ? "was written anyway" : "was not written");
}

TEST_F(UnattendedLog, CancelledWizardLogsItsExit) {
    const std::string log = scratch_ / "wizard.log";
    ChildProcess setup(Quoted(BuildFile("setup.exe")) + " " + Quoted("/LOG=" + log));
    ASSERT_TRUE(setup.Started());
    HWND wizard = WaitForWindow(setup.Id(), kCaption, kStartTimeout);
    ASSERT_NE(wizard, nullptr) << "no wizard";
    ASSERT_TRUE(WaitForControlText(wizard, IDC_TopLbl, kTitles[0], kPageTimeout));
    Sleep(300);
    EXPECT_TRUE(CaptureWindow(wizard, CaseScreens("wizard-log") + "page0-welcome.png"));
    // Made when the run starts, with what it was told.
    EXPECT_TRUE(StartsWith(ReadWholeFile(log), "Command line: ")) << "no log while the wizard runs";

    ClickControl(wizard, IDC_CancelBtn);
    HWND confirm = WaitForWindow(setup.Id(), "Confirm", kPageTimeout);
    ASSERT_NE(confirm, nullptr) << "no close question";
    EXPECT_TRUE(CaptureWindow(confirm, CaseScreens("wizard-log") + "close-question.png"));
    PressButton(confirm, "&Abort");
    EXPECT_EQ(setup.WaitForExit(kStartTimeout), 0u);

    const std::vector<std::string> lines = RunLogLines(log);
    ASSERT_FALSE(lines.empty()) << "no log written";
    EXPECT_TRUE(StartsWith(lines.front(), "Command line: ")) << lines.front();
    EXPECT_TRUE(StartsWith(lines.back(), "Exit: 0")) << lines.back();
    EXPECT_FALSE(FolderExists(DefaultDestination()));
    for (const std::string& line : lines) std::printf("[ unattended ]   %s\n", line.c_str());
}

}  // namespace
}  // namespace qwp::test::unattended
