// The stored setup choices: defaults, the "-d" option, the round trip of a
// run, and stored values the program did not write.
#include "registration/SetupChoices.h"

#include "instutils/InstUtils.h"
#include "tests/support/RegistryScratch.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <shlobj.h>

#include <string>
#include <vector>

namespace qwp::test {
namespace {

const char kInstall[] = "Software\\Quilvane Word Processor\\Install";
const char kInternal[] = "Software\\Quilvane Word Processor\\Internal";

std::string ProgramFilesQuilvane() {
    char folder[MAX_PATH] = {};
    EXPECT_EQ(S_OK, SHGetFolderPathA(nullptr, 0x0026 /* CSIDL_PROGRAM_FILES */, nullptr, 0, folder));
    return std::string(folder) + "\\Quilvane";
}

class SetupChoicesTest : public RegistryScratchTest {
protected:
    TempFolder folder_;
};

TEST_F(SetupChoicesTest, FirstRunGivesTheDefaultsAndCreatesBothKeys) {
    const StoredChoices choices = ReadStoredChoices(std::nullopt);
    EXPECT_EQ(ProgramFilesQuilvane(), choices.MainDir);
    EXPECT_EQ(0x7FFFFFFFu, choices.StoredComponents);
    EXPECT_TRUE(choices.InstallToAll);
    EXPECT_TRUE(choices.DesktopShortcut);
    EXPECT_EQ("B", choices.AssociationLetters);
    EXPECT_TRUE(choices.Launch);
    EXPECT_TRUE(KeyExists(kInstall));
    EXPECT_TRUE(KeyExists(kInternal));
    EXPECT_FALSE(KeyExists(std::string(kInstall) + "\\Software")) << "the Internal key is taken from the root";
    EXPECT_FALSE(ReadRawValue(kInstall, "MAINDIR").has_value()) << "reading writes nothing";
}

TEST_F(SetupChoicesTest, StoredValuesAreRead) {
    ASSERT_TRUE(WriteSzValue(kInstall, "MAINDIR", folder_.Path()));
    ASSERT_TRUE(WriteDwordValue(kInstall, "COMPS (1.6.6.2)", 0x80000025));
    ASSERT_TRUE(WriteDwordValue(kInstall, "INSTALLTOALL", 0));
    ASSERT_TRUE(WriteDwordValue(kInstall, "DSKSHORTCUT", 0));
    ASSERT_TRUE(WriteSzValue(kInstall, "EXTENSIONS", "AD"));
    ASSERT_TRUE(WriteDwordValue(kInstall, "LAUNCH", 0));

    const StoredChoices choices = ReadStoredChoices(std::nullopt);
    EXPECT_EQ(folder_.Path(), choices.MainDir);
    EXPECT_EQ(0x80000025u, choices.StoredComponents);
    EXPECT_FALSE(choices.InstallToAll);
    EXPECT_FALSE(choices.DesktopShortcut);
    EXPECT_EQ("AD", choices.AssociationLetters);
    EXPECT_FALSE(choices.Launch);
    EXPECT_TRUE(KeyExists(kInternal));
}

// An unattended run reads before it knows whether it will install: it must
// be able to stop without having created a key, and still see stored values.
TEST_F(SetupChoicesTest, ReadingWithKeysUntouchedCreatesNothingUntilAsked) {
    StoredChoices choices = ReadStoredChoices(std::nullopt, ChoiceKeys::Untouched);
    EXPECT_EQ(ProgramFilesQuilvane(), choices.MainDir);
    EXPECT_EQ("B", choices.AssociationLetters);
    EXPECT_FALSE(KeyExists("Software\\Quilvane Word Processor"));

    CreateChoiceKeys();
    EXPECT_TRUE(KeyExists(kInstall));
    EXPECT_TRUE(KeyExists(kInternal));

    ASSERT_TRUE(WriteSzValue(kInstall, "EXTENSIONS", "AC"));
    ASSERT_TRUE(WriteDwordValue(kInstall, "LAUNCH", 0));
    choices = ReadStoredChoices(folder_.Path() + "\\Sub", ChoiceKeys::Untouched);
    EXPECT_EQ("AC", choices.AssociationLetters);
    EXPECT_FALSE(choices.Launch);
    EXPECT_EQ(folder_.Path() + "\\Sub", choices.MainDir);
}

TEST_F(SetupChoicesTest, UnusableStoredFolderFallsBackToTheDefault) {
    ASSERT_TRUE(WriteSzValue(kInstall, "MAINDIR", folder_ / "removed"));
    EXPECT_EQ(ProgramFilesQuilvane(), ReadStoredChoices(std::nullopt).MainDir) << "a folder that no longer exists";
    ASSERT_TRUE(WriteSzValue(kInstall, "MAINDIR", ""));
    EXPECT_EQ(ProgramFilesQuilvane(), ReadStoredChoices(std::nullopt).MainDir) << "an empty text";
    ASSERT_TRUE(WriteWholeFile(folder_ / "file.txt", "x"));
    ASSERT_TRUE(WriteSzValue(kInstall, "MAINDIR", folder_ / "file.txt"));
    EXPECT_EQ(ProgramFilesQuilvane(), ReadStoredChoices(std::nullopt).MainDir) << "a file";
}

TEST_F(SetupChoicesTest, DashDOverridesTheStoredFolder) {
    ASSERT_TRUE(WriteSzValue(kInstall, "MAINDIR", folder_.Path()));
    EXPECT_EQ("Q:\\Elsewhere", ReadStoredChoices(std::string("Q:\\Elsewhere")).MainDir) << "taken as given";
    EXPECT_EQ("", ReadStoredChoices(std::string()).MainDir) << "-d alone gives the empty text";
    EXPECT_EQ(folder_.Path(), ReadStoredChoices(std::nullopt).MainDir);
}

TEST_F(SetupChoicesTest, EmptyExtensionsDifferFromAbsent) {
    ASSERT_TRUE(WriteSzValue(kInstall, "EXTENSIONS", ""));
    EXPECT_EQ("", ReadStoredChoices(std::nullopt).AssociationLetters);
}

TEST_F(SetupChoicesTest, ValuesOfAnotherTypeTakeTheirDefaults) {
    ASSERT_TRUE(WriteDwordValue(kInstall, "MAINDIR", 5));
    ASSERT_TRUE(WriteSzValue(kInstall, "COMPS (1.6.6.2)", "3"));
    ASSERT_TRUE(WriteRawValue(kInstall, "INSTALLTOALL", REG_BINARY, std::string(2, '\0')));
    ASSERT_TRUE(WriteSzValue(kInstall, "DSKSHORTCUT", "0"));
    ASSERT_TRUE(WriteDwordValue(kInstall, "EXTENSIONS", 0));
    ASSERT_TRUE(WriteRawValue(kInstall, "LAUNCH", REG_DWORD, std::string(2, '\0')));

    const StoredChoices choices = ReadStoredChoices(std::nullopt);
    EXPECT_EQ(ProgramFilesQuilvane(), choices.MainDir);
    EXPECT_EQ(0x7FFFFFFFu, choices.StoredComponents);
    EXPECT_TRUE(choices.InstallToAll);
    EXPECT_TRUE(choices.DesktopShortcut);
    EXPECT_EQ("B", choices.AssociationLetters);
    EXPECT_TRUE(choices.Launch);
}

TEST_F(SetupChoicesTest, ChoicesRoundTripWithExactTypes) {
    StoredChoices written;
    written.MainDir = folder_.Path();
    written.StoredComponents = 0x7FFFFFEA;
    written.InstallToAll = false;
    written.DesktopShortcut = true;
    written.AssociationLetters = "";
    written.Launch = false;
    EXPECT_TRUE(WriteStoredChoices(written));

    EXPECT_EQ(folder_.Path(), ReadSzValue(kInstall, "MAINDIR").value_or("<absent>"));
    EXPECT_EQ(0x7FFFFFEAu, ReadDwordValue(kInstall, "COMPS (1.6.6.2)").value_or(0xdeadbeef));
    EXPECT_EQ(0u, ReadDwordValue(kInstall, "INSTALLTOALL").value_or(0xdeadbeef));
    EXPECT_EQ(1u, ReadDwordValue(kInstall, "DSKSHORTCUT").value_or(0xdeadbeef));
    EXPECT_EQ("", ReadSzValue(kInstall, "EXTENSIONS").value_or("<absent>"));
    EXPECT_EQ(0u, ReadDwordValue(kInstall, "LAUNCH").value_or(0xdeadbeef));

    const StoredChoices read = ReadStoredChoices(std::nullopt);
    EXPECT_EQ(written.MainDir, read.MainDir);
    EXPECT_EQ(written.StoredComponents, read.StoredComponents);
    EXPECT_EQ(written.InstallToAll, read.InstallToAll);
    EXPECT_EQ(written.DesktopShortcut, read.DesktopShortcut);
    EXPECT_EQ(written.AssociationLetters, read.AssociationLetters);
    EXPECT_EQ(written.Launch, read.Launch);
}

TEST_F(SetupChoicesTest, WriteLeavesTheInstallKeyOpenForTheCaller) {
    TRegistry registry;
    ASSERT_TRUE(registry.OpenKey("Somewhere\\Else"));
    WriteStoredChoices(registry, StoredChoices());
    EXPECT_TRUE(ReadSzValue(kInstall, "MAINDIR").has_value()) << "taken from the root, not below the open key";
    EXPECT_EQ(kInstall, registry.CurrentPath());
    ASSERT_TRUE(registry.WriteString("after", "x"));
    EXPECT_EQ("x", ReadSzValue(kInstall, "after").value_or("<absent>"));
}

// The write is told as failed, not lost in silence: a key that cannot be
// created below a volatile parent.
TEST_F(SetupChoicesTest, WriteThatCannotCreateTheKeyReportsFailure) {
    ASSERT_TRUE(MakeVolatileKey("Software\\Quilvane Word Processor"));
    StoredChoices choices;
    choices.MainDir = folder_.Path();
    EXPECT_FALSE(WriteStoredChoices(choices));
    EXPECT_FALSE(KeyExists(kInstall));
}

}  // namespace
}  // namespace qwp::test
