// The real setup run twice with the default choices into the same folder,
// driven from outside: afterwards every file and folder is in Install.log
// once, Update.log holds one block, the installed word processor was given
// the association command and launched after each run, and the uninstall
// entry points at the destination; the destination, the common data
// folder, the stored choices and the shortcuts hold what one installation
// leaves.
#include "instutils/PathText.h"
#include "instutils/Paths.h"
#include "registration/PostInstall.h"
#include "tests/registration/PostInstallTraces.h"
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

#include <set>
#include <string>
#include <vector>

namespace qwp::test {
namespace {

class ReinstallEndToEnd : public NoInstallationTest {
protected:
    // Next on every page and Finish on the last, as a user with the
    // defaults does, keeping a picture of each page when a screens folder
    // is given; true when the setup ended with exit code 0. The folder the
    // destination page showed goes to mainDir.
    static bool InstallWithDefaults(std::string& mainDir, const std::string& screens = {}) {
        SetupRun run(screens);
        if (!run.Started()) {
            ADD_FAILURE() << "no wizard window, error " << GetLastError();
            return false;
        }
        WalkOptions walk;
        walk.check = [&](int page) {
            if (page == 2) mainDir = ControlText(run.Window(), IDC_DestDirEdt);
        };
        return run.InstallThroughFinish(walk);
    }
};

TEST_F(ReinstallEndToEnd, SecondDefaultInstallIntoTheSameFolder) {
    std::string first, second;
    ASSERT_TRUE(InstallWithDefaults(first));
    ASSERT_TRUE(StandInWindowAppears(10000)) << "Finish did not launch the word processor";
    const std::string logAfterFirst = ReadWholeFile(JoinPath(first, "Install.log"));
    // The launched word processor would stop the second run at its licence page.
    EXPECT_EQ(CloseStandInWindows(), 1);
    ASSERT_TRUE(InstallWithDefaults(second, ScreensFolder("reinstall")));
    ASSERT_TRUE(StandInWindowAppears(10000)) << "Finish did not launch the word processor";
    CloseStandInWindows();
    EXPECT_EQ(Lower(second), Lower(first)) << "the stored folder is offered again";
    EXPECT_EQ(Lower(first), Lower(DefaultDestination()));
    const std::string mainDir = first;
    const std::string program = JoinPath(mainDir, "qwp.exe");

    // Install.log: the same lines as after the first run, none twice.
    const std::string logText = ReadWholeFile(JoinPath(mainDir, "Install.log"));
    EXPECT_EQ(logText, logAfterFirst);
    const std::vector<std::string> log = LinesOf(logText);
    std::set<std::string> distinct;
    for (const std::string& line : log) EXPECT_TRUE(distinct.insert(Lower(line)).second) << "twice: " << line;
    for (const std::string& shortcut : {ShortcutPlaces()[0], ShortcutPlaces()[2]})
        EXPECT_EQ(distinct.count(Lower("File Copy: " + shortcut)), 1u) << shortcut;
    EXPECT_EQ(distinct.count(Lower("File Copy: " + program)), 1u);

    // Update.log: one block, stamped as the second run's install_stamp, with
    // every file below the shared Public folder once.
    std::set<std::string> shared;
    for (const std::string& path : ExpectedCopies(mainDir))
        if (StartsWith(path, Lower(PublicFolder()))) shared.insert(path);
    ASSERT_NO_FATAL_FAILURE(ExpectOneUpdateBlock(shared));

    // The stand-in's start log: the association command on page 7 and the
    // launch after Finish, once per run.
    const std::string assoc = "\"" + program + "\" -assoc qdpr_cod", launch = "\"" + program + "\"";
    EXPECT_EQ(LinesOf(ReadWholeFile(JoinPath(mainDir, "qwp-starts.log"))),
              (std::vector<std::string>{assoc, launch, assoc, launch}));

    // The uninstall entry, in the registry view this build writes to.
    EXPECT_EQ(UninstallEntryValue("DisplayIcon"), "REG_SZ:" + program);
    EXPECT_EQ(UninstallEntryValue("DisplayName"), "REG_SZ:Quilvane Word Processor");
    EXPECT_EQ(UninstallEntryValue("DisplayVersion"), "REG_SZ:4.0.6.7");
    EXPECT_EQ(UninstallEntryValue("Publisher"), "REG_SZ:The Quilvane Word Processor Team");
    EXPECT_EQ(UninstallEntryValue("UninstallString"), "REG_SZ:\"" + program + "\" -ui");
    if (sizeof(void*) == 4) {
        // The i686 setup on 64-bit Windows: seen from the 64-bit view, the
        // entry lies below Wow6432Node, where the system lists 32-bit programs.
        HKEY raw = nullptr;
        BOOL wow64 = FALSE;
        IsWow64Process(GetCurrentProcess(), &wow64);
        if (wow64) {
            EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE,
                                    "Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\"
                                    "Quilvane Word Processor",
                                    0, KEY_READ | KEY_WOW64_64KEY, &raw),
                      ERROR_SUCCESS);
            if (raw) RegCloseKey(raw);
        }
    }
    const std::string size = UninstallEntryValue("EstimatedSize");
    EXPECT_EQ(size.rfind("REG_DWORD:", 0), 0u) << size;
    EXPECT_NE(size, "REG_DWORD:0");

    // What the two runs left is what one leaves: the payload's files, the
    // stand-in's start log beside it, the choices and the shortcuts of a
    // default installation.
    EXPECT_EQ(Joined(WrongInstalledFiles(mainDir), "\n"), "");
    const std::string destination = Lower(JoinPath(mainDir, ""));
    std::set<std::string> expected = {"install.log", "qwp-starts.log"}, found;
    for (const std::string& path : ExpectedCopies(mainDir))
        if (StartsWith(path, destination))
            expected.insert(path.substr(destination.size(), path.find('\\', destination.size()) - destination.size()));
    for (const std::string& name : Entries(destination)) found.insert(Lower(name));
    EXPECT_EQ(found, expected) << "in the destination";
    EXPECT_EQ(Entries(CommonDataFolder()),
              (std::vector<std::string>{"Hidden", "Public", "Update.log", kCommonDataName}));
    ExpectDefaultChoicesStored(mainDir);
    const std::vector<std::string> places = ShortcutPlaces();
    for (const int at : {0, 2}) EXPECT_TRUE(PathPresent(places[at])) << places[at];
    for (const int at : {1, 3}) EXPECT_FALSE(PathPresent(places[at])) << places[at];
}

}  // namespace
}  // namespace qwp::test
