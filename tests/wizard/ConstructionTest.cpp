// The wizard as it opens: the stored choices or their defaults in its
// controls, the "-d" option, the window's own appearance.
#include "instutils/InstUtils.h"
#include "registration/SetupChoices.h"
#include "tests/wizard/WizardFixture.h"

#include <shlobj.h>

namespace qwp::test {
namespace {

using ConstructionTest = WizardTest;

std::string DefaultFolder() { return JoinPath(GetSpecialFolder(CSIDL_PROGRAM_FILES), "Quilvane"); }

TEST_F(ConstructionTest, FirstRunShowsTheDefaults) {
    MakeForm();
    EXPECT_EQ(form().CurrentPage(), 0);
    EXPECT_EQ(form().MainDir, DefaultFolder());
    EXPECT_EQ(TextOf(IDC_DestDirEdt), DefaultFolder());
    ASSERT_EQ(form().SelCompLstBx().Count(), 6);
    EXPECT_EQ(form().SelCompLstBx().State(0), CheckState::Grayed);
    for (int row = 1; row < 6; ++row) EXPECT_EQ(form().SelCompLstBx().State(row), CheckState::Checked) << row;
    EXPECT_EQ(form().SelCompLstBx().CurrentRow(), 1);
    EXPECT_TRUE(IsChecked(IDC_InstallToAllChkBx));
    EXPECT_TRUE(IsChecked(IDC_DesktopChkBx));
    EXPECT_TRUE(IsChecked(IDC_FinishChkBx));
    EXPECT_TRUE(IsChecked(IDC_LicenseChkBx));
    EXPECT_EQ(form().AssociationLetters, "B");
    EXPECT_EQ(TextOf(IDC_TopLbl), "Welcome to the Quilvane Word Processor Setup");
    EXPECT_EQ(TextOf(IDC_WelcomeLbl),
              "This program will install Quilvane Word Processor (version 4.1.2.0) on your computer.\r\n\r\n\r\n\r\n\r\n"
              "Click Next to continue. Click Cancel to quit Setup.");
    EXPECT_TRUE(KeyExists("Software\\Quilvane Word Processor\\Internal"));
    EXPECT_TRUE(answerer_.Requests().empty());
}

}  // namespace
}  // namespace qwp::test
