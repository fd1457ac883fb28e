// An unattended install whose copies all went in but not every other file
// (the install stamp, the common data file, a shortcut): a deployment tool
// reading only the exit code hears of it as 9, and the run log names them.
#include "tests/scenarios/UnattendedScenario.h"

namespace qwp::test::unattended {
namespace {

using UnattendedNotEverything = UnattendedTest;

TEST_F(UnattendedNotEverything, FilesBesideTheCopiesThatCannotBeWrittenExitNineAndAreNamed) {
    const std::string stamp = HiddenFolder() + "install_stamp", commonData = CommonDataFolder() + "qwp_common.dat";
    const std::vector<std::string> blocked{stamp, commonData, ShortcutPlaces()[2]};
    for (const std::string& path : blocked)
        ASSERT_EQ(SHCreateDirectoryExA(nullptr, path.c_str(), nullptr), ERROR_SUCCESS) << path;

    const RunSeen run = WatchSetup(DestinationArgument() + " /S " + log_.Switch());
    EXPECT_EQ(run.exitCode, 9u);
    EXPECT_EQ(Joined(WrongInstalledFiles(Destination()), "\n"), "");
    ExpectDefaultChoicesStored(Destination());
    EXPECT_TRUE(FileExists(ShortcutPlaces()[0])) << "the Start-menu shortcut is placed all the same";

    const std::vector<std::string> lines = log_.Lines();
    EXPECT_EQ(log_.LastLine(), "Exit: 9 (installed, but not all of it could be recorded)");
    EXPECT_EQ(LinesOfKind(lines, "File"), std::vector<std::string>{}) << "the common data file named as written";
    EXPECT_EQ(Lower(Joined(LinesOfKind(lines, "Not written"), "|")), Lower(stamp + "|" + commonData));
    const std::vector<std::string> failures = LinesOfKind(lines, "Failure");
    ASSERT_EQ(failures.size(), 1u);
    for (const std::string& path : blocked)
        EXPECT_NE(Lower(failures[0]).find(Lower(path)), std::string::npos) << path << " in " << failures[0];
}

}  // namespace
}  // namespace qwp::test::unattended
