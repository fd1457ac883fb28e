// The real setup run twice with the default choices into the same folder,
// driven from outside: afterwards every file and folder is in Install.log
// once, Update.log holds one block, the installed word processor was given
// the association command and launched after each run, and the uninstall
// entry points at the destination. What the runs left is printed.
#include "instutils/PathText.h"
#include "instutils/Paths.h"
#include "tests/registration/PostInstallTraces.h"
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

#include <cstdio>
#include <set>
#include <string>
#include <vector>

namespace qwp::test {
namespace {

class ReinstallEndToEnd : public NoInstallationTest {
protected:
    // Next on every page and Finish on the last, as a user with the
    // defaults does, keeping a picture of each page when a screens folder
    // is given; true when the setup ended with exit code 0.
    bool InstallWithDefaults(std::string& mainDir, const std::string& screens = {}) {
        SetupRun run(screens);
        if (!run.Process().Started()) {
            ADD_FAILURE() << "setup.exe not started, error " << GetLastError();
            return false;
        }
        if (!run.Started()) {
            ADD_FAILURE() << "no wizard window";
            return false;
        }
        for (int page = 0; page <= 7; ++page) {
            if (page == 5) continue;  // the run moves on by itself
            if (!run.WaitForPage(page, page == 6 ? kInstallTimeout : kPageTimeout)) {
                ADD_FAILURE() << "page " << page << " did not appear; the title reads \""
                              << ControlText(run.Window(), IDC_TopLbl) << "\"";
                return false;
            }
            if (page == 2) mainDir = ControlText(run.Window(), IDC_DestDirEdt);
            if (!screens.empty()) run.ShootPage(page);
            run.Next();
        }
        const DWORD exitCode = run.WaitForExit();
        EXPECT_EQ(exitCode, 0u) << "exit code after Finish";
        return exitCode == 0;
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
    std::vector<std::string> shared;
    ListFilesBelow(PublicFolder(), shared, PublicFolder());
    std::set<std::string> expected;
    for (const std::string& file : shared) expected.insert(Lower(file));
    ASSERT_NO_FATAL_FAILURE(ExpectOneUpdateBlock(expected));
    const std::vector<std::string> update = LinesOf(ReadWholeFile(CommonDataFolder() + "Update.log"));

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

    // What the two runs left, for the record.
    std::string names;
    for (const std::string& name : Entries(JoinPath(mainDir, ""))) names += " " + name;
    std::printf("[ reinstall  ] destination %s:%s\n", mainDir.c_str(), names.c_str());
    names.clear();
    for (const std::string& name : Entries(CommonDataFolder())) names += " " + name;
    std::printf("[ reinstall  ] common data %s:%s\n", CommonDataFolder().c_str(), names.c_str());
    std::vector<std::string> common;
    ListFilesBelow(CommonDataFolder(), common);
    std::printf("[ reinstall  ] %zu files below the common data folder, Update.log %zu lines, Install.log %zu lines\n",
                common.size(), update.size(), log.size());
    for (const std::string& line : log) std::printf("[ reinstall  ] Install.log: %s\n", line.c_str());
    for (std::size_t i = 0; i < update.size() && i < 3; ++i)
        std::printf("[ reinstall  ] Update.log: %s\n", update[i].c_str());
    for (const char* name : {"MAINDIR", "COMPS (1.6.6.2)", "INSTALLTOALL", "DSKSHORTCUT", "EXTENSIONS", "LAUNCH"})
        std::printf("[ reinstall  ] HKCU\\%s %s = %s\n", kInstallKey, name, StoredValue(name).c_str());
    for (const std::string& place : ShortcutPlaces())
        std::printf("[ reinstall  ] shortcut %s: %s\n", place.c_str(), PathPresent(place) ? "present" : "absent");
    std::printf("[ reinstall  ] HKLM%s\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Quilvane Word Processor:\n",
                sizeof(void*) == 4 ? " (32-bit view)" : " (64-bit view)");
    for (const char* name : {"DisplayIcon", "DisplayName", "DisplayVersion", "EstimatedSize", "Publisher",
                             "UninstallString"})
        std::printf("[ reinstall  ]   %s = %s\n", name, UninstallEntryValue(name).c_str());
}

}  // namespace
}  // namespace qwp::test
