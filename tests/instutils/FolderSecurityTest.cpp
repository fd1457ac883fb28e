// The permissions of the folders the setup makes for the program, and how it
// judges those of a folder that is already there.
#include "instutils/Files.h"
#include "instutils/FolderSecurity.h"
#include "tests/support/FolderPermissions.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace qwp::test {
namespace {

bool HasEntryFor(const Permissions& permissions, const std::string& account) {
    return std::any_of(permissions.entries.begin(), permissions.entries.end(), [&](const std::string& entry) {
        return entry.size() > account.size() + 1 && entry.compare(entry.size() - account.size() - 1, account.size(), account) == 0;
    });
}

TEST(FolderSecurity, AdministratorsOnlyIsProgramFilesPermissionsHandedDownAndNothingInherited) {
    const Descriptor wanted(kAdministratorsOnlySddl);
    ASSERT_TRUE(wanted.Valid());
    const Permissions permissions = PermissionsIn(wanted.get());
    EXPECT_TRUE(permissions.protectedFromParent);
    EXPECT_EQ(permissions.entries,
              (std::vector<std::string>{"(A;OICI;FA;;;SY)", "(A;OICI;FA;;;BA)", "(A;OICI;0x1200a9;;;BU)"}));
    EXPECT_EQ(OpennessOfAccessList(wanted.AccessList()), FolderOpenness::Closed);
}

// Wine keeps a folder's permissions as its Unix mode and reads them back
// from it: what it can keep of the descriptor is that nobody but the owner
// and the system may change the folder, and that Everyone is no longer let
// in as it is for a folder made plainly beside it.
TEST(FolderSecurity, FoldersMadeForAdministratorsOnlyGetThePermissionsWithTheirCreation) {
    TempFolder scratch;
    const std::string outer = scratch / "Apps", inner = outer + "\\Quilvane";
    ASSERT_EQ(ForceFolders(inner + "\\", FolderAccess::AdministratorsOnly), 2);
    ASSERT_EQ(ForceFolders(scratch / "Plain\\"), 1);
    const Permissions plain = PermissionsOf(scratch / "Plain");
    ASSERT_TRUE(plain.readable);
    for (const std::string& folder : {outer, inner}) {
        const Permissions made = PermissionsOf(folder);
        ASSERT_TRUE(made.readable) << folder;
        EXPECT_NE(made.entries, plain.entries) << folder;
        for (const char* others : {"WD", "BU", "AU"})
            EXPECT_FALSE(HasEntryFor(made, others) && !HasEntryFor(plain, others)) << folder << " lets " << others << " in";
        EXPECT_FALSE(HasEntryFor(made, "WD")) << folder;
    }
    EXPECT_EQ(ForceFolders(inner + "\\", FolderAccess::AdministratorsOnly), 0) << "an existing folder is left alone";
}

TEST(FolderSecurity, OpennessCountsEveryAccountButAdministratorsSystemAndCreators) {
    const struct {
        const char* sddl;
        FolderOpenness openness;
    } cases[] = {
        {"D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;0x1200a9;;;BU)", FolderOpenness::Closed},
        // Program Files on Windows: the installer service, creators of what is
        // made inside (only administrators may make something), read for all.
        {"D:P(A;CI;FA;;;S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464)(A;OICIIO;GA;;;CO)"
         "(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;0x1200a9;;;BU)(A;OICI;0x1200a9;;;WD)",
         FolderOpenness::Closed},
        // A drive's root: users may make folders in it and change what is in them.
        {"D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;;0x4;;;AU)(A;OICIIO;SDGXGWGR;;;AU)", FolderOpenness::OpenToOthers},
        {"D:P(A;OICI;FA;;;BA)(A;OICI;0x1301bf;;;BU)", FolderOpenness::OpenToOthers},  // Users: modify
        {"D:P(A;OICI;FA;;;BA)(A;;FA;;;WD)", FolderOpenness::OpenToOthers},            // Everyone
        {"D:P(A;OICI;FA;;;BA)(A;OICI;FA;;;S-1-5-21-1-2-3-1001)", FolderOpenness::OpenToOthers},  // a user's own
        {"D:P(A;OICI;FA;;;BA)(A;OICI;WD;;;BU)", FolderOpenness::OpenToOthers},  // may rewrite the permissions
        {"D:P(A;OICI;FA;;;BA)(A;OICI;0x10000;;;BU)", FolderOpenness::OpenToOthers},  // may delete (and so rename)
        {"D:P(A;OICI;FA;;;BA)(D;OICI;FA;;;BU)", FolderOpenness::Closed},           // a denial grants nothing
        {"D:P(A;OICI;FA;;;BA)(A;IO;FA;;;BU)", FolderOpenness::Closed},             // handed down to nothing
        {"D:P(A;OICI;FA;;;BA)(A;OICI;0x1200a9;;;WD)", FolderOpenness::Closed},     // read and run only
    };
    for (const auto& c : cases) {
        const Descriptor descriptor(c.sddl);
        ASSERT_TRUE(descriptor.Valid()) << c.sddl;
        EXPECT_EQ(OpennessOfAccessList(descriptor.AccessList()), c.openness) << c.sddl;
    }
    EXPECT_EQ(OpennessOfAccessList(nullptr), FolderOpenness::OpenToOthers) << "no list of permissions at all";
}

// Under Wine every folder is its Unix user's, who is not the Administrators
// group: a user's own folder, which the setup must not trust.
TEST(FolderSecurity, AFolderAUserOwnsIsOpenAndWhatTheSetupMakesBelowItIsProtected) {
    TempFolder scratch;
    EXPECT_EQ(OpennessOf(scratch.Path()), FolderOpenness::OpenToOthers);
    EXPECT_EQ(AccessForNewFolders(scratch / "New\\Quilvane\\"), FolderAccess::AdministratorsOnly);
    EXPECT_EQ(OpennessOf(scratch / "missing"), FolderOpenness::Unknown);
    EXPECT_EQ(NearestExistingFolder(scratch / "missing\\a\\b\\"), scratch.Path());
    EXPECT_EQ(NearestExistingFolder(scratch.Path()), scratch.Path());
}

}  // namespace
}  // namespace qwp::test
