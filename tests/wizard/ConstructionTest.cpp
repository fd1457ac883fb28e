// The wizard as it opens: the stored choices or their defaults in its
// controls, the "-d" option, the window's own appearance.
#include "instutils/InstUtils.h"
#include "registration/SetupChoices.h"
#include "tests/registration/MachineRegistryRedirect.h"
#include "tests/wizard/WizardFixture.h"

#include <shlobj.h>

namespace qwp::test {
namespace {

using ConstructionTest = WizardTest;

std::string DefaultFolder() { return JoinPath(GetSpecialFolder(CSIDL_PROGRAM_FILES), "Quilvane"); }

TEST_F(ConstructionTest, FirstRunShowsTheDefaults) {
    MakeForm();
    EXPECT_EQ(form().CurrentPage(), 0);
    EXPECT_EQ(session().Destination(), DefaultFolder());
    EXPECT_EQ(TextOf(IDC_DestDirEdt), DefaultFolder());
    ASSERT_EQ(form().SelCompLstBx().Count(), 6);
    EXPECT_EQ(form().SelCompLstBx().State(0), CheckState::Grayed);
    for (int row = 1; row < 6; ++row) EXPECT_EQ(form().SelCompLstBx().State(row), CheckState::Checked) << row;
    EXPECT_EQ(form().SelCompLstBx().CurrentRow(), 1);
    EXPECT_TRUE(IsChecked(IDC_InstallToAllChkBx));
    EXPECT_TRUE(IsChecked(IDC_DesktopChkBx));
    EXPECT_TRUE(IsChecked(IDC_FinishChkBx));
    EXPECT_TRUE(IsChecked(IDC_LicenseChkBx));
    EXPECT_EQ(session().Options().AssociationLetters, "B");
    EXPECT_EQ(TextOf(IDC_TopLbl), "Welcome to the Quilvane Word Processor Setup");
    EXPECT_EQ(TextOf(IDC_WelcomeLbl),
              "This program will install Quilvane Word Processor (version 4.1.2.0) on your computer.\r\n\r\n\r\n\r\n\r\n"
              "Click Next to continue. Click Cancel to quit Setup.");
    EXPECT_TRUE(KeyExists("Software\\Quilvane Word Processor\\Internal"));
    EXPECT_TRUE(answerer_.Requests().empty());
}

}  // namespace
}  // namespace qwp::test

namespace qwp::test {
namespace {

const char kInstallKeyPath[] = "Software\\Quilvane Word Processor\\Install";

// A start makes the wizard's windows while its payload inflates and begins
// the wizard once the session exists: until then nothing of the session is
// on the pages; afterwards they are those of a wizard made in one step.
TEST_F(ConstructionTest, WindowsMadeBeforeTheSessionThenBegun) {
    form_ = std::make_unique<TMainDlgForm>(nullptr);
    ASSERT_NE(form().Handle(), nullptr);
    EXPECT_FALSE(IsWindowVisible(form().Handle()));
    EXPECT_EQ(TextOf(IDC_DestDirEdt), "");
    EXPECT_EQ(form().SelCompLstBx().Count(), 0);

    session_ = std::make_unique<InstallSession>(*catalogue_);
    form().Begin(session(), std::string("C:\\Apps\\Quilvane"));
    EXPECT_EQ(form().CurrentPage(), 0);
    EXPECT_EQ(TextOf(IDC_TopLbl), "Welcome to the Quilvane Word Processor Setup");
    EXPECT_EQ(TextOf(IDC_DestDirEdt), "C:\\Apps\\Quilvane");
    EXPECT_EQ(session().Destination(), "C:\\Apps\\Quilvane");
    EXPECT_EQ(form().SelCompLstBx().Count(), 6);
}

TEST_F(ConstructionTest, DestinationOptionIsTheFirstArgumentsExactDashD) {
    // Taken as typed, even for a folder that does not exist.
    MakeForm({"-dZ:\\No Such\\Folder", "-dC:\\Other"});
    EXPECT_EQ(TextOf(IDC_DestDirEdt), "Z:\\No Such\\Folder");
    EXPECT_EQ(session().Destination(), "Z:\\No Such\\Folder");

    MakeForm({"-DC:\\Upper"});
    EXPECT_EQ(TextOf(IDC_DestDirEdt), DefaultFolder());
    MakeForm({"/x", "-dC:\\Second"});
    EXPECT_EQ(TextOf(IDC_DestDirEdt), DefaultFolder());
    MakeForm({"-d"});
    EXPECT_EQ(TextOf(IDC_DestDirEdt), "");
}

TEST_F(ConstructionTest, StoredFolderUsedWhileItExistsElseTheDefault) {
    TempFolder existing;
    std::string folder = existing.Path();
    folder.pop_back();
    ASSERT_TRUE(WriteSzValue(kInstallKeyPath, "MAINDIR", folder));
    MakeForm();
    EXPECT_EQ(TextOf(IDC_DestDirEdt), folder);

    ASSERT_TRUE(WriteSzValue(kInstallKeyPath, "MAINDIR", folder + "\\removed since"));
    MakeForm();
    EXPECT_EQ(TextOf(IDC_DestDirEdt), DefaultFolder());
    EXPECT_EQ(session().Destination(), DefaultFolder());
}

TEST_F(ConstructionTest, StoredChoicesSetTheRowsAndBoxes) {
    // Bit 0 clear (row 0 is greyed whatever it says), bit 4 clear.
    ASSERT_TRUE(WriteDwordValue(kInstallKeyPath, "COMPS (1.6.6.2)", 0x7FFFFFEE));
    ASSERT_TRUE(WriteDwordValue(kInstallKeyPath, "INSTALLTOALL", 0));
    ASSERT_TRUE(WriteDwordValue(kInstallKeyPath, "DSKSHORTCUT", 1));
    ASSERT_TRUE(WriteDwordValue(kInstallKeyPath, "LAUNCH", 0));
    ASSERT_TRUE(WriteSzValue(kInstallKeyPath, "EXTENSIONS", ""));
    MakeForm();
    const CheckState expected[6] = {CheckState::Grayed,  CheckState::Checked,   CheckState::Checked,
                                    CheckState::Checked, CheckState::Unchecked, CheckState::Checked};
    for (int row = 0; row < 6; ++row) EXPECT_EQ(form().SelCompLstBx().State(row), expected[row]) << row;
    EXPECT_EQ(form().SelCompLstBx().Text(4), "Clip library");
    EXPECT_FALSE(IsChecked(IDC_InstallToAllChkBx));
    EXPECT_TRUE(IsChecked(IDC_DesktopChkBx));
    EXPECT_FALSE(IsChecked(IDC_FinishChkBx));
    EXPECT_EQ(session().Options().AssociationLetters, "");
}

TEST_F(ConstructionTest, GatheredChoicesAreTheControlsAfterTheRun) {
    ASSERT_TRUE(WriteDwordValue(kInstallKeyPath, "COMPS (1.6.6.2)", 0xFFFFFFFF));
    MakeForm({"-dC:\\Chosen"});
    form().SelCompLstBx().SetState(2, CheckState::Unchecked);
    SendMessageA(Ctl(IDC_DesktopChkBx), BM_SETCHECK, BST_UNCHECKED, 0);
    form().GatherChoices();
    EXPECT_EQ(session().Destination(), "C:\\Chosen");
    // Row 0 greyed stores bit 0 clear; the bits above the rows are kept.
    EXPECT_EQ(session().Selection().StoredValue(), 0xFFFFFFFAu);
    EXPECT_EQ(session().Selection().PlanBits(), 0x3Bu);
    EXPECT_TRUE(session().Options().InstallToAll);
    EXPECT_FALSE(session().Options().DesktopShortcut);
    EXPECT_TRUE(session().Options().Launch);
}

}  // namespace
}  // namespace qwp::test
