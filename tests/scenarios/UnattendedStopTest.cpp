// Unattended runs that stop where the wizard would have asked a person:
// the word processor running (3), no room on the destination drive or no
// such drive (4), a file that cannot be written (5), a damaged setup
// program (2). None of them shows a window; only the last-but-one leaves
// anything behind, and then only what was done before the failure.
#include "tests/scenarios/UnattendedScenario.h"

#include <cstdlib>

namespace qwp::test::unattended {
namespace {

class UnattendedStop : public UnattendedTest {
protected:
    // The run ended with the code given, showed no window and left nothing
    // but its own log (when asked for) in the scratch folder.
    void ExpectStoppedClean(const RunSeen& run, DWORD code, const std::string& mainDir, bool logged) {
        EXPECT_EQ(run.exitCode, code);
        EXPECT_EQ(Joined(run.shown, "; "), "") << "windows shown by an unattended run";
        EXPECT_EQ(Joined(TracesOfInstallation(mainDir), "; "), "") << "written by a run that stopped";
        EXPECT_FALSE(FolderExists(DefaultDestination()));
        EXPECT_EQ(Entries(scratch_.Path()), logged ? std::vector<std::string>{"run.log"} : std::vector<std::string>{});
    }

    // The log begins with the command line and its last line gives the code.
    void ExpectLogEndsWith(DWORD code) {
        const std::vector<std::string> lines = log_.Lines();
        ASSERT_FALSE(lines.empty()) << "no log written";
        EXPECT_TRUE(StartsWith(lines.front(), "Command line: ")) << lines.front();
        EXPECT_TRUE(StartsWith(lines.back(), "Exit: " + std::to_string(code) + " (")) << lines.back();
    }

    // The required and free bytes of the log's "Disk space: <folder>:
    // required ..." line; free is -1 when the log says it is unknown.
    static bool DiskSpaceOfLog(const std::vector<std::string>& lines, long long& required, long long& free) {
        const std::vector<std::string> space = LinesOfKind(lines, "Disk space");
        if (space.size() != 1) return false;
        const std::size_t figures = space[0].find(": required ");
        if (figures == std::string::npos) return false;
        required = std::atoll(space[0].c_str() + figures + 11);
        const std::size_t at = space[0].find(", free ");
        if (at == std::string::npos) return false;
        const std::string rest = space[0].substr(at + 7);
        free = StartsWith(rest, "unknown") ? -1 : std::atoll(rest.c_str());
        return true;
    }
};

TEST_F(UnattendedStop, RunningWordProcessorExitsThreeWritingNothing) {
    StandInWordProcessor standIn;
    ASSERT_TRUE(standIn.Start()) << "the stand-in word processor did not start";

    const RunSeen silent = WatchSetup(DestinationArgument() + " /S " + log_.Switch(), kStartTimeout);
    ExpectStoppedClean(silent, 3, Destination(), true);
    ExpectLogEndsWith(3);

    log_.Remove();
    const RunSeen progress = WatchSetup(DestinationArgument() + " /P", kStartTimeout);
    ExpectStoppedClean(progress, 3, Destination(), false);
}

TEST_F(UnattendedStop, SmallDriveExitsFourWritingNothing) {
    const std::string small = Environment("QWP_SMALL_DRIVE");
    if (small.empty()) GTEST_SKIP() << "no small drive: the test environment could not mount one";
    const std::string mainDir = small + "\\Quilvane";
    RemoveTree(mainDir + "\\");

    const RunSeen silent = WatchSetup(Quoted("-d" + mainDir) + " /S " + log_.Switch(), kStartTimeout);
    ExpectStoppedClean(silent, 4, mainDir, true);
    ExpectLogEndsWith(4);
    long long required = 0, free = 0;
    ASSERT_TRUE(DiskSpaceOfLog(log_.Lines(), required, free)) << "no disk space line";
    EXPECT_GE(free, 0) << "the small drive could not be asked";
    EXPECT_GT(required, free) << "the components fit: the drive is not small enough for this test";

    log_.Remove();
    const RunSeen progress = WatchSetup(Quoted("-d" + mainDir) + " /P", kStartTimeout);
    ExpectStoppedClean(progress, 4, mainDir, false);
    RemoveTree(mainDir + "\\");
}

TEST_F(UnattendedStop, MissingDriveExitsFourWritingNothing) {
    char letter = 0;
    const DWORD drives = GetLogicalDrives();
    for (char candidate = 'Y'; candidate >= 'G' && !letter; --candidate)
        if (!(drives & (1u << (candidate - 'A')))) letter = candidate;
    ASSERT_NE(letter, 0) << "every drive letter is taken";
    const std::string mainDir = std::string(1, letter) + ":\\Quilvane";

    const RunSeen silent = WatchSetup(Quoted("-d" + mainDir) + " /S " + log_.Switch(), kStartTimeout);
    ExpectStoppedClean(silent, 4, mainDir, true);
    ExpectLogEndsWith(4);
    long long required = 0, free = 0;
    ASSERT_TRUE(DiskSpaceOfLog(log_.Lines(), required, free)) << "no disk space line";
    EXPECT_EQ(free, -1) << "free space reported for a drive that does not exist";
}

TEST_F(UnattendedStop, HeldSpellingFileExitsFiveKeepingWhatWasDone) {
    // A spelling file of the shared data folder held open by another
    // program, as a running spell checker would.
    ASSERT_EQ(SHCreateDirectoryExA(nullptr, SpellingFolder().c_str(), nullptr), ERROR_SUCCESS);
    const std::string held = SpellingFolder() + "English (British).asc";
    UniqueFile holder(CreateFileA(held.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(holder) << "the file could not be held, error " << GetLastError();

    const RunSeen run = WatchSetup(DestinationArgument() + " /S " + log_.Switch(), kInstallTimeout);
    holder.reset();
    EXPECT_EQ(run.exitCode, 5u);
    EXPECT_EQ(Joined(run.shown, "; "), "") << "windows shown by a silent run";

    // The copies before the held file are written; the held file is as it
    // was; nothing after it, of its group or a later one.
    const std::set<std::string> before = {Lower(InDestination("qwp.exe")), Lower(InDestination("License.txt")),
                                          Lower(SpellingFolder() + "English (American).asc"),
                                          Lower(SpellingFolder() + "English (American).cache")};
    for (const PayloadEntry& entry : ReadManifest()) {
        const std::string path = InstalledPath(Destination(), entry.name);
        if (before.count(Lower(path)))
            EXPECT_EQ(ReadWholeFile(path), SourceBytes(entry)) << path;
        else if (Lower(path) == Lower(held))
            EXPECT_EQ(ReadWholeFile(path), "") << "the held file was written";
        else
            EXPECT_FALSE(FileExists(path)) << "written after the failed copy: " << path;
    }
    EXPECT_FALSE(FileExists(SpellingFolder() + "English (British).cache"));
    EXPECT_FALSE(FolderExists(PublicFolder() + "Templates"));
    EXPECT_FALSE(FolderExists(PublicFolder() + "Clip Library"));

    // The choices, the uninstall entry and Install.log, as after Abort in
    // the wizard; no shortcut and no Update.log.
    ExpectDefaultChoicesStored(Destination());
    EXPECT_EQ(Lower(UninstallEntryValue("UninstallString")),
              Lower("REG_SZ:" + Quoted(InDestination("qwp.exe")) + " -ui"));
    EXPECT_EQ(Lower(ReadWholeFile(InDestination("Install.log"))),
              Lower(MadeDirLine(HiddenFolder()) + MadeDirLine(JoinPath(Destination(), "")) +
                    WordProcessorCopiesLog(Destination())));
    for (const std::string& place : ShortcutPlaces()) EXPECT_FALSE(PathPresent(place)) << place;
    EXPECT_FALSE(FileExists(CommonDataFolder() + "Update.log"));

    // One failed copy, answered with Abort: no Retry.
    ExpectLogEndsWith(5);
    const std::vector<std::string> lines = log_.Lines();
    EXPECT_EQ(LinesOfKind(lines, "Copy failed"), std::vector<std::string>{held + " (Abort)"});
}

TEST_F(UnattendedStop, DamagedSetupExitsTwoWithoutAWindow) {
    TempFolder folder;
    const std::string program = folder / "setup.exe";
    ASSERT_TRUE(MakeDamagedSetup(program)) << "no damaged copy could be made";

    const RunSeen silent = WatchRun(program, DestinationArgument() + " /S " + log_.Switch(), kStartTimeout);
    ExpectStoppedClean(silent, 2, Destination(), true);
    ExpectLogEndsWith(2);

    log_.Remove();
    const RunSeen progress = WatchRun(program, DestinationArgument() + " /P", kStartTimeout);
    ExpectStoppedClean(progress, 2, Destination(), false);
}

}  // namespace
}  // namespace qwp::test::unattended
