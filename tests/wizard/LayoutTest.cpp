// Where every control of the wizard sits, read back from the windows, at
// 96 DPI and scaled to 144 DPI; the fonts; the window's own frame.
#include "controls/Logo.h"
#include "tests/wizard/WizardFixture.h"

#include <algorithm>
#include <cmath>

namespace qwp::test {
namespace {

struct Expected {
    const char* name;
    int id;
    int x, y, width, height;  // 96-DPI pixels relative to the parent; 0: not fixed
};

// The layout of the window, independent of the program's own tables.
const Expected kExpected[] = {
    {"TopPanel", IDC_TopPanel, 0, 0, 492, 46},
    {"TopLbl", IDC_TopLbl, 20, 14, 0, 0},
    {"LogoPanel", IDC_LogoPanel, 0, 46, 123, 301},
    {"LogoImage", IDC_LogoImage, 1, 0, 120, 260},
    {"LogoBevel", IDC_LogoBevel, 121, 0, 2, 301},
    {"PgCtrl", IDC_PgCtrl, 120, 41, 375, 268},
    {"SeparatorPanel", IDC_SeparatorPanel, 0, 306, 492, 2},
    {"SeparatorBevel", IDC_SeparatorBevel, 1, 0, 491, 2},
    {"ButtonPanel", IDC_ButtonPanel, 0, 307, 492, 44},
    {"BackBtn", IDC_BackBtn, 210, 12, 85, 22},
    {"NextBtn", IDC_NextBtn, 295, 12, 85, 22},
    {"CancelBtn", IDC_CancelBtn, 392, 12, 85, 22},
    {"WelcomeLbl", IDC_WelcomeLbl, 12, 27, 349, 115},
    {"LicenseLbl", IDC_LicenseLbl, 12, 7, 0, 0},
    {"LicenseMemo", IDC_LicenseMemo, 12, 25, 345, 207},
    {"LicenseChkBx", IDC_LicenseChkBx, 12, 237, 282, 0},
    {"DestDirLbl", IDC_DestDirLbl, 11, 7, 0, 0},
    {"DestDirEdt", IDC_DestDirEdt, 11, 26, 345, 0},
    {"SelCompLbl", IDC_SelCompLbl, 11, 7, 345, 30},
    {"SelCompLstBx", IDC_SelCompLstBx, 11, 43, 345, 148},
    {"SelCompDiskPanel", IDC_SelCompDiskPanel, 11, 200, 345, 49},
    {"SelCompDiskSpaceReqLbl1", IDC_SelCompDiskSpaceReqLbl1, 8, 8, 0, 0},
    {"SelCompDiskSpaceReqLbl2", IDC_SelCompDiskSpaceReqLbl2, 185, 8, 150, 13},
    {"SelCompDiskSpaceAvailLbl1", IDC_SelCompDiskSpaceAvailLbl1, 8, 25, 0, 0},
    {"SelCompDiskSpaceAvailLbl2", IDC_SelCompDiskSpaceAvailLbl2, 185, 25, 150, 13},
    {"StartLbl", IDC_StartLbl, 11, 7, 345, 58},
    {"InstallToAllChkBx", IDC_InstallToAllChkBx, 11, 189, 230, 0},
    {"DesktopChkBx", IDC_DesktopChkBx, 11, 212, 230, 0},
    {"AssocLbl", IDC_AssocLbl, 11, 7, 320, 32},
    {"AssocChkBx1", IDC_AssocChkBx1, 40, 76, 110, 0},
    {"AssocChkBx2", IDC_AssocChkBx2, 40, 103, 169, 0},
    {"AssocChkBx3", IDC_AssocChkBx3, 40, 130, 173, 0},
    {"AssocChkBx4", IDC_AssocChkBx4, 40, 157, 180, 0},
    {"FinishLbl", IDC_FinishLbl, 11, 7, 345, 150},
    {"FinishChkBx", IDC_FinishChkBx, 40, 190, 180, 0},
};

const int kSheets[] = {IDC_WelcomeTabSheet, IDC_LicenseTabSheet, IDC_DestDirTabSheet, IDC_SelCompTabSheet,
                       IDC_StartTabSheet,   IDC_InstallingTabSheet, IDC_AssocTabSheet, IDC_FinishTabSheet};

bool FitsItsText(int id) {
    for (const Expected& e : kExpected)
        if (e.id == id) return e.width == 0;
    return false;
}

RECT InParent(HWND control) {
    RECT r;
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

bool IsCheckBox(HWND control) {
    char cls[32] = {};
    GetClassNameA(control, cls, sizeof cls);
    return lstrcmpiA(cls, "Button") == 0 &&
           (GetWindowLongA(control, GWL_STYLE) & BS_TYPEMASK) == BS_AUTOCHECKBOX;
}

LOGFONTA FontOf(HWND control) {
    LOGFONTA lf{};
    HFONT font = reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0));
    EXPECT_NE(font, nullptr);
    if (font) GetObjectA(font, sizeof lf, &lf);
    return lf;
}

class LayoutTest : public WizardTest, public ::testing::WithParamInterface<int> {
protected:
    int dpi() const { return GetParam(); }
    // 1.5 times at 144 DPI may round either way by one pixel.
    void ExpectScaled(long actual, int value96, const char* what, const char* name) {
        const double expected = value96 * dpi() / 96.0;
        EXPECT_LE(std::fabs(actual - expected), dpi() == 96 ? 0.0 : 1.0)
            << name << " " << what << ": " << actual << ", expected " << expected;
    }
};

TEST_P(LayoutTest, ControlsSitWhereTheLayoutPutsThem) {
    MakeForm({}, dpi());
    for (const Expected& e : kExpected) {
        HWND control = Ctl(e.id);
        ASSERT_NE(control, nullptr) << e.name;
        EXPECT_EQ(GetDlgCtrlID(control), e.id) << e.name;
        const RECT r = InParent(control);
        ExpectScaled(r.left, e.x, "left", e.name);
        ExpectScaled(r.top, e.y, "top", e.name);
        if (e.height) ExpectScaled(r.bottom - r.top, e.height, "height", e.name);
        if (e.width && IsCheckBox(control)) {
            // A check box may grow to fit its caption in a wider face, never shrink.
            EXPECT_GE(r.right - r.left + 1, e.width * dpi() / 96) << e.name;
        } else if (e.width) {
            ExpectScaled(r.right - r.left, e.width, "width", e.name);
        }
    }
    RECT client;
    GetClientRect(form().Handle(), &client);
    ExpectScaled(client.right, 492, "client width", "window");
    ExpectScaled(client.bottom, 351, "client height", "window");
}

TEST_P(LayoutTest, PageControlsStayInsideTheirPageAndApart) {
    MakeForm({}, dpi());
    for (int sheet : kSheets) {
        HWND page = Ctl(sheet);
        ASSERT_NE(page, nullptr);
        EXPECT_EQ(GetParent(page), Ctl(IDC_PgCtrl));
        RECT room;
        GetClientRect(page, &room);
        std::vector<std::pair<HWND, RECT>> seen;
        for (HWND c = GetWindow(page, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
            const RECT r = InParent(c);
            // A label sized to its one-line text is as wide as the face makes
            // it; only the rectangles the layout fixes must stay inside.
            if (FitsItsText(GetDlgCtrlID(c))) {
                seen.emplace_back(c, r);
                continue;
            }
            EXPECT_TRUE(r.left >= 0 && r.top >= 0 && r.right <= room.right && r.bottom <= room.bottom)
                << "control " << GetDlgCtrlID(c) << " leaves page " << sheet << ": " << r.left << "," << r.top
                << "," << r.right << "," << r.bottom << " in " << room.right << "x" << room.bottom;
            for (const auto& other : seen) {
                RECT overlap;
                EXPECT_FALSE(IntersectRect(&overlap, &r, &other.second))
                    << "controls " << GetDlgCtrlID(c) << " and " << GetDlgCtrlID(other.first) << " overlap";
            }
            seen.emplace_back(c, r);
        }
    }
}

TEST_P(LayoutTest, FontsScaleWithTheDpi) {
    MakeForm({}, dpi());
    const LOGFONTA title = FontOf(Ctl(IDC_TopLbl));
    EXPECT_STREQ(title.lfFaceName, "Arial");
    EXPECT_EQ(title.lfHeight, -MulDiv(15, dpi(), 96));
    EXPECT_EQ(title.lfWeight, FW_BOLD);
    for (int id : {IDC_WelcomeLbl, IDC_LicenseMemo, IDC_DestDirEdt, IDC_SelCompLstBx, IDC_NextBtn, IDC_FinishChkBx}) {
        const LOGFONTA lf = FontOf(Ctl(id));
        EXPECT_STREQ(lf.lfFaceName, "MS Shell Dlg 2") << id;
        EXPECT_EQ(lf.lfHeight, -MulDiv(8, dpi(), 72)) << id;
    }
}

INSTANTIATE_TEST_SUITE_P(Dpi, LayoutTest, ::testing::Values(96, 144),
                         [](const ::testing::TestParamInfo<int>& info) { return std::to_string(info.param); });

using WindowFrameTest = WizardTest;

TEST_F(WindowFrameTest, FixedFrameSystemMenuOnlyCentredWithTaskbarButtonAndIcons) {
    MakeForm();
    HWND w = form().Handle();
    char caption[128] = {};
    GetWindowTextA(w, caption, sizeof caption);
    EXPECT_STREQ(caption, "Quilvane Word Processor - Setup");
    const LONG style = GetWindowLongA(w, GWL_STYLE);
    const LONG exStyle = GetWindowLongA(w, GWL_EXSTYLE);
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_EQ(style & WS_CAPTION, WS_CAPTION);
    EXPECT_FALSE(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
    EXPECT_TRUE(exStyle & WS_EX_APPWINDOW);

    RECT r;
    GetWindowRect(w, &r);
    const int screenW = GetSystemMetrics(SM_CXSCREEN), screenH = GetSystemMetrics(SM_CYSCREEN);
    EXPECT_LE(std::abs((r.left + r.right) - screenW), 1) << r.left << " " << r.right;
    EXPECT_LE(std::abs((r.top + r.bottom) - screenH), 1) << r.top << " " << r.bottom;

    HINSTANCE self = GetModuleHandleA(nullptr);
    EXPECT_EQ(reinterpret_cast<HICON>(SendMessageA(w, WM_GETICON, ICON_BIG, 0)), LoadIconA(self, MAKEINTRESOURCEA(1)));
    EXPECT_NE(SendMessageA(w, WM_GETICON, ICON_SMALL, 0), 0);

    // Exactly one page is visible, the welcome page.
    int visible = 0;
    for (int sheet : kSheets) visible += IsWindowVisible(Ctl(sheet)) ? 1 : 0;
    EXPECT_EQ(visible, 1);
    EXPECT_TRUE(IsWindowVisible(Ctl(IDC_WelcomeTabSheet)));
    EXPECT_TRUE(GetWindowLongA(Ctl(IDC_LicenseTabSheet), GWL_EXSTYLE) & WS_EX_CONTROLPARENT);

    // The drive polling's timer 1 runs on the window from the start: only a
    // timer that exists can be killed, and only once.
    EXPECT_TRUE(KillTimer(w, 1));
    EXPECT_FALSE(KillTimer(w, 1));
}

// The logo is drawn 1:1 at 96 DPI: a pixel of the window equals the picture's.
TEST_F(WindowFrameTest, LogoDrawnUnscaledAt96Dpi) {
    MakeForm({}, 96);
    HWND image = Ctl(IDC_LogoImage);
    UpdateWindow(form().Handle());
    HDC windowDc = GetDC(image);
    ASSERT_NE(windowDc, nullptr);
    HDC memory = CreateCompatibleDC(windowDc);
    HBITMAP canvas = CreateCompatibleBitmap(windowDc, 120, 260);
    HGDIOBJ old = SelectObject(memory, canvas);
    SendMessageA(image, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory), PRF_CLIENT | PRF_ERASEBKGND);
    UniqueGdiObject logo = LoadLogo("LOGO");
    HDC logoDc = CreateCompatibleDC(windowDc);
    HGDIOBJ oldLogo = SelectObject(logoDc, logo.get());
    int differing = 0;
    for (int y = 0; y < 260; y += 13)
        for (int x = 0; x < 120; x += 7)
            if (GetPixel(memory, x, y) != GetPixel(logoDc, x, y)) ++differing;
    SelectObject(logoDc, oldLogo);
    DeleteDC(logoDc);
    SelectObject(memory, old);
    DeleteObject(canvas);
    DeleteDC(memory);
    ReleaseDC(image, windowDc);
    EXPECT_EQ(differing, 0);
}

}  // namespace
}  // namespace qwp::test
