// The stored setup choices: defaults, the "-d" option, the round trip of a
// run, and stored values the program did not write.
#include "registration/SetupChoices.h"

#include "instutils/InstUtils.h"
#include "instutils/RunLog.h"
#include "registration/UninstallEntry.h"
#include "tests/registration/MachineRegistryRedirect.h"
#include "tests/support/RegistryScratch.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <shlobj.h>

#include <chrono>
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

// A server that does not answer until the test ends; then its workers end
// and free what they hold. Bounded, so a caller that waits for its worker
// fails the test instead of hanging it.
UniqueKernelHandle serverAnswers{CreateEventA(nullptr, TRUE, FALSE, nullptr)};

bool SilentQuery(const std::string&) {
    WaitForSingleObject(serverAnswers.get(), 10000);
    return true;
}

bool AnsweringQuery(const std::string&) { return true; }

// A stored folder on a server that does not answer is passed over after the
// time-out, as a folder that no longer exists, and the run log says so; the
// uninstall entry's folder or the default takes its place, and the entry
// naming the same folder is not waited for again. A server that answers is
// taken at its word; a local folder is found without the query.
TEST_F(SetupChoicesTest, StoredFolderOnASilentServerIsPassedOver) {
    ASSERT_TRUE(serverAnswers);
    const std::string dead = "\\\\dead\\share\\Quilvane";
    const std::string live = "\\\\live\\share\\Quilvane";
    const std::string passedOver = "Stored folder: " + dead + " did not answer within ";
    TempFolder recorded;
    const struct {
        std::string mainDir;
        std::string installLocation;  // empty: no uninstall entry
        FolderQuery query;
        unsigned long milliseconds;
        std::string expected;  // empty: the default folder
        std::string log;
    } cases[] = {
        {dead, "", SilentQuery, NetworkFolderQuery().milliseconds, "", passedOver + "3 s; passed over\r\n"},
        {dead, recorded.Path(), SilentQuery, 300, recorded.Path(), passedOver + "300 ms; passed over\r\n"},
        {dead, dead, SilentQuery, 300, "", passedOver + "300 ms; passed over\r\n"},
        {live, "", AnsweringQuery, 300, live, ""},
        {folder_.Path(), "", SilentQuery, 300, folder_.Path(), ""},
    };
    for (const auto& c : cases) {
        MachineRegistryRedirect machine;
        ASSERT_TRUE(machine.Active());
        ASSERT_TRUE(WriteSzValue(kInstall, "MAINDIR", c.mainDir));
        if (!c.installLocation.empty()) {
            ASSERT_TRUE(WriteSzValue(machine.Below(kUninstallKey), "InstallLocation", c.installLocation));
        }
        const std::string log = folder_ / "run.log";
        ASSERT_TRUE(StartRunLog(log));

        const auto start = std::chrono::steady_clock::now();
        const StoredChoices choices =
            ReadStoredChoices(std::nullopt, ChoiceKeys::Created, {}, {c.query, c.milliseconds});
        const auto waited = std::chrono::steady_clock::now() - start;
        FinishRunLog();

        EXPECT_EQ(choices.MainDir, c.expected.empty() ? ProgramFilesQuilvane() : c.expected) << c.mainDir;
        EXPECT_EQ(ReadWholeFile(log), c.log) << c.mainDir;
        EXPECT_LT(waited, std::chrono::milliseconds(c.milliseconds + 2000)) << c.mainDir;
    }
    SetEvent(serverAnswers.get());
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
