// The pieces of the post-install actions: the common data record, the
// association letters and command lines, and the shortcuts placed in the
// system's folders and read back through the shell link object.
#include "registration/PostInstall.h"

#include "instutils/DateTime.h"
#include "instutils/Handles.h"
#include "tests/registration/PostInstallTraces.h"
#include "tests/support/RegistryScratch.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>
#include <objidl.h>
#include <shlobj.h>
#include <windows.h>

#include <cstdint>
#include <cstring>
#include <string>

namespace qwp::test {
namespace {

struct Record {
    std::uint32_t one = 0, eight = 0;
    double time = 0.0;
};

Record Decode(const std::string& bytes) {
    Record record;
    if (bytes.size() != 16) return record;
    std::memcpy(&record.one, bytes.data(), 4);
    std::memcpy(&record.eight, bytes.data() + 4, 4);
    std::memcpy(&record.time, bytes.data() + 8, 8);
    return record;
}

TEST(CommonData, RecordIsSixteenLittleEndianBytes) {
    const std::string bytes = CommonDataRecord(45000.5);
    ASSERT_EQ(bytes.size(), 16u);
    EXPECT_EQ(bytes, std::string("\x01\0\0\0\x08\0\0\0\0\0\0\0\x10\xF9\xE5\x40", 16));
}

TEST(CommonData, FileReplacedWholeWithTheTimeOfWriting) {
    TempFolder folder;
    const std::string path = folder / "qwp_common.dat";
    ASSERT_TRUE(WriteWholeFile(path, std::string(100, '\xEE')));
    const double before = LocalNowForTest();
    EXPECT_TRUE(WriteCommonDataFile(folder.Path()));
    const double after = LocalNowForTest();
    const std::string bytes = ReadWholeFile(path);
    ASSERT_EQ(bytes.size(), 16u) << "the earlier, longer file is replaced whole";
    const Record record = Decode(bytes);
    EXPECT_EQ(record.one, 1u);
    EXPECT_EQ(record.eight, 8u);
    EXPECT_GE(record.time, before);
    EXPECT_LE(record.time, after);
    // An empty folder text writes nothing into the current directory.
    EXPECT_FALSE(WriteCommonDataFile(""));
    EXPECT_EQ(GetFileAttributesA("qwp_common.dat"), INVALID_FILE_ATTRIBUTES);
    // A folder where the file goes.
    ASSERT_TRUE(DeleteFileA(path.c_str()) && CreateDirectoryA(path.c_str(), nullptr));
    EXPECT_FALSE(WriteCommonDataFile(folder.Path()));
}

// Told as started only when the system started it.
TEST(StartCommand, TellsWhetherTheProgramStarted) {
    TempFolder missing;
    char system[MAX_PATH] = {};
    ASSERT_NE(GetSystemDirectoryA(system, MAX_PATH), 0u);
    EXPECT_FALSE(StartCommand(AssociationCommand(missing.Path(), AssociationBoxesOf("B"))));
    EXPECT_TRUE(StartCommand("\"" + JoinPath(system, "cmd.exe") + "\" /c exit"));
}

TEST(AssociationCommand, TokensInTableOrderAfterTheQuotedProgram) {
    const AssociationBoxes none{false, false, false, false}, cod{false, true, false, false},
        all{true, true, true, true}, rtfDocx{true, false, false, true};
    EXPECT_EQ(AssociationCommand("C:\\Program Files\\Quilvane", none), "\"C:\\Program Files\\Quilvane\\qwp.exe\" -assoc qdpr");
    EXPECT_EQ(AssociationCommand("C:\\Program Files\\Quilvane", cod),
              "\"C:\\Program Files\\Quilvane\\qwp.exe\" -assoc qdpr_cod");
    EXPECT_EQ(AssociationCommand("C:\\Program Files\\Quilvane", all),
              "\"C:\\Program Files\\Quilvane\\qwp.exe\" -assoc qdpr_rtf_cod_doc_docx");
    // One backslash between folder and program, whatever the folder ends in.
    EXPECT_EQ(AssociationCommand("D:\\My Apps\\Q W P\\", rtfDocx), "\"D:\\My Apps\\Q W P\\qwp.exe\" -assoc qdpr_rtf_docx");
    EXPECT_EQ(LaunchCommand("D:\\My Apps\\Q W P\\"), "\"D:\\My Apps\\Q W P\\qwp.exe\"");
    EXPECT_EQ(LaunchCommand("C:\\Q"), "\"C:\\Q\\qwp.exe\"");

    EXPECT_EQ(AssociationLettersOf(none), "");
    EXPECT_EQ(AssociationLettersOf(cod), "B");
    EXPECT_EQ(AssociationLettersOf(all), "ABCD");
    EXPECT_EQ(AssociationLettersOf(rtfDocx), "AD");

    // Stored letters in any order, with strangers among them, give the same
    // boxes; the boxes give the letters back in their own order.
    EXPECT_EQ(AssociationBoxesOf(""), none);
    EXPECT_EQ(AssociationBoxesOf("B"), cod);
    EXPECT_EQ(AssociationBoxesOf("DCBA"), all);
    EXPECT_EQ(AssociationBoxesOf("xDaA"), rtfDocx);
    EXPECT_EQ(AssociationLettersOf(AssociationBoxesOf("DA")), "AD");
}

class ShortcutTest : public RegistryScratchTest {
protected:
    void SetUp() override {
        RegistryScratchTest::SetUp();
        RemoveShortcuts();
        places_ = ShortcutPlaces();
        for (const std::string& place : places_) ASSERT_FALSE(place.empty()) << "a shortcut folder is unknown";
        mainDir_ = dest_ / "Word Processor";
        ASSERT_TRUE(CreateDirectoryA(mainDir_.c_str(), nullptr));
        ASSERT_TRUE(WriteWholeFile(mainDir_ + "\\qwp.exe", "MZ"));
    }
    void TearDown() override { RemoveShortcuts(); }

    // The places in the order all-users Programs, user Programs, all-users
    // Desktop, user Desktop, as "1" where a shortcut is and "0" where not.
    std::string Present() const {
        std::string map;
        for (const std::string& place : places_) map += PathPresent(place) ? '1' : '0';
        return map;
    }
    void PlantEverywhere() {
        for (const std::string& place : places_) {
            CreateDirectoryA(FolderPart(place).c_str(), nullptr);
            ASSERT_TRUE(WriteWholeFile(place, "old")) << place;
        }
    }
    // The working folder is the destination text as given.
    void ExpectPointsAtTheProgram(const std::string& place, const std::string& workingFolder = {}) {
        const LinkFields fields = ReadLink(place);
        ASSERT_TRUE(fields.loaded) << place;
        EXPECT_EQ(fields.path, mainDir_ + "\\qwp.exe") << place;
        EXPECT_EQ(fields.workingFolder, workingFolder.empty() ? mainDir_ : workingFolder) << place;
        EXPECT_EQ(fields.description, "Compact, fast-loading, but still powerful and efficient word processor.");
        EXPECT_EQ(fields.arguments, "") << place;
    }

    UserDesktopRedirect desktop_;
    TempFolder dest_;
    std::string mainDir_;
    std::vector<std::string> places_;
};

// A folder in the place of a wanted shortcut: that one is given back, the
// other is placed all the same; one not wanted is no failure.
TEST_F(ShortcutTest, ShortcutsThatCannotBeSavedAreGivenBack) {
    ASSERT_EQ(SHCreateDirectoryExA(nullptr, places_[3].c_str(), nullptr), ERROR_SUCCESS);
    EXPECT_EQ(PlaceShortcuts(mainDir_, false, true), std::vector<std::string>{places_[3]});
    ExpectPointsAtTheProgram(places_[1]);
    EXPECT_EQ(PlaceShortcuts(mainDir_, false, false), std::vector<std::string>{});
}

TEST_F(ShortcutTest, FoldersOfBothScopes) {
    EXPECT_EQ(ShortcutFoldersOf(0, true).chosen, GetSpecialFolder(CSIDL_COMMON_PROGRAMS));
    EXPECT_EQ(ShortcutFoldersOf(0, true).other, GetSpecialFolder(CSIDL_PROGRAMS));
    EXPECT_EQ(ShortcutFoldersOf(0, false).chosen, GetSpecialFolder(CSIDL_PROGRAMS));
    EXPECT_EQ(ShortcutFoldersOf(0, false).other, GetSpecialFolder(CSIDL_COMMON_PROGRAMS));
    EXPECT_EQ(ShortcutFoldersOf(1, true).chosen, GetSpecialFolder(CSIDL_COMMON_DESKTOPDIRECTORY));
    EXPECT_EQ(ShortcutFoldersOf(1, true).other, GetSpecialFolder(CSIDL_DESKTOPDIRECTORY));
    EXPECT_EQ(ShortcutFoldersOf(1, false).chosen, GetSpecialFolder(CSIDL_DESKTOPDIRECTORY));
    EXPECT_EQ(ShortcutFoldersOf(1, false).other, GetSpecialFolder(CSIDL_COMMON_DESKTOPDIRECTORY));
    EXPECT_NE(ShortcutFoldersOf(0, true).chosen, ShortcutFoldersOf(0, false).chosen);
}

TEST_F(ShortcutTest, AllUsersPlacesBothAndDeletesTheUsersCopies) {
    PlantEverywhere();
    PlaceShortcuts(mainDir_, true, true);
    EXPECT_EQ(Present(), "1010");
    ExpectPointsAtTheProgram(places_[0]);
    ExpectPointsAtTheProgram(places_[2]);
}

TEST_F(ShortcutTest, CurrentUserPlacesBothAndDeletesTheAllUsersCopies) {
    PlantEverywhere();
    PlaceShortcuts(mainDir_ + "\\", false, true);
    EXPECT_EQ(Present(), "0101");
    ExpectPointsAtTheProgram(places_[1], mainDir_ + "\\");
    ExpectPointsAtTheProgram(places_[3], mainDir_ + "\\");
}

TEST_F(ShortcutTest, DesktopClearedDeletesTheOtherScopesCopyAndKeepsTheChosenOne) {
    PlantEverywhere();
    PlaceShortcuts(mainDir_, true, false);
    EXPECT_EQ(Present(), "1010") << "the user's desktop copy goes, the all-users one stays";
    EXPECT_EQ(ReadWholeFile(places_[2]), "old");
    ExpectPointsAtTheProgram(places_[0]);

    PlantEverywhere();
    PlaceShortcuts(mainDir_, false, false);
    EXPECT_EQ(Present(), "0101");
    EXPECT_EQ(ReadWholeFile(places_[3]), "old");
    ExpectPointsAtTheProgram(places_[1]);
}

}  // namespace
}  // namespace qwp::test
