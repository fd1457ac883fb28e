// What the real setup does about who may change the folder it installs the
// program into, which it starts afterwards with its administrator rights.
#include "tests/scenarios/UnattendedScenario.h"

#include "tests/support/FolderPermissions.h"

namespace qwp::test::unattended {
namespace {

using DestinationPermissions = UnattendedTest;

bool LetsEveryoneIn(const std::string& folder) {
    const Permissions permissions = PermissionsOf(folder);
    return std::any_of(permissions.entries.begin(), permissions.entries.end(),
                       [](const std::string& entry) { return entry.find(";;;WD)") != std::string::npos; });
}

// The scratch folder is the test user's own, open to that account: the
// folder the setup makes in it is closed to others, and the run log says so.
// (What the setup writes into it inherits that on Windows; Wine, which keeps
// permissions as Unix modes, gives new files their own.)
TEST_F(DestinationPermissions, FoldersTheSetupMakesWhereOthersCanWriteAreClosedToThem) {
    ASSERT_TRUE(LetsEveryoneIn(scratch_.Path())) << "a folder made plainly lets Everyone read";
    const RunSeen run = WatchSetup(DestinationArgument() + " /S " + log_.Switch());
    ASSERT_EQ(run.exitCode, 0u) << log_.LastLine();
    EXPECT_EQ(LinesOfKind(log_.Lines(), "Protected folder"), std::vector<std::string>{Destination()});
    EXPECT_EQ(LinesOfKind(log_.Lines(), "Open folder"), std::vector<std::string>{});
    EXPECT_FALSE(LetsEveryoneIn(Destination()));
    EXPECT_EQ(Lower(ReadWholeFile(InDestination("Install.log"))), Lower(ExpectedInstallLog(Destination())))
        << "the folder made is named where the copy would have named it";
}

TEST_F(DestinationPermissions, AnExistingFolderKeepsItsPermissionsAndTheRunLogNamesItAsOpen) {
    ASSERT_TRUE(CreateDirectoryA(Destination().c_str(), nullptr));
    const RunSeen run = WatchSetup(DestinationArgument() + " /S " + log_.Switch());
    ASSERT_EQ(run.exitCode, 0u) << log_.LastLine();
    EXPECT_EQ(LinesOfKind(log_.Lines(), "Open folder"),
              std::vector<std::string>{Destination() + " (accounts other than the administrators can change it)"});
    EXPECT_EQ(LinesOfKind(log_.Lines(), "Protected folder"), std::vector<std::string>{});
    EXPECT_TRUE(LetsEveryoneIn(Destination()));
}

}  // namespace
}  // namespace qwp::test::unattended
