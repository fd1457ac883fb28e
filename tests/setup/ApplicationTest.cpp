// The application's title and icon, with this test program carrying the
// setup's resources.
#include "instutils/TempFiles.h"
#include "setup/Application.h"

#include <gtest/gtest.h>

namespace qwp {
namespace {

TEST(Application, OwnerWindowCarriesTitleAndIconOne) {
    HINSTANCE self = GetModuleHandleA(nullptr);
    Application application(self);
    ASSERT_NE(application.Owner(), nullptr);
    char title[128] = {};
    GetWindowTextA(application.Owner(), title, sizeof title);
    EXPECT_STREQ(title, "Quilvane Word Processor - Setup");
    EXPECT_STREQ(kSetupTitle, title);
    HICON iconOne = LoadIconA(self, MAKEINTRESOURCEA(1));
    ASSERT_NE(iconOne, nullptr) << "icon resource 1 is missing";
    EXPECT_EQ(application.Icon(), iconOne);
    EXPECT_EQ(reinterpret_cast<HICON>(SendMessageA(application.Owner(), WM_GETICON, ICON_BIG, 0)), iconOne);
    EXPECT_FALSE(IsWindowVisible(application.Owner()));
}

}  // namespace
}  // namespace qwp
