// The real setup program driven from outside, as a user drives it: a default
// installation walked through every page with the buttons, at 96 and at 144
// dots per inch, and a walk with the keyboard that ends in the close
// question. When pictures are wanted, every page is kept as a picture under
// screens/default/<arch>/ beside the build folder.
//
// The Wine prefix is shared by every test program and both architectures, so
// each test removes what an installation leaves (destination folder, the
// product's data folders, its registry key) before and after it runs.
#include "instutils/PathText.h"
#include "instutils/Paths.h"
#include "tests/registration/PostInstallTraces.h"
#include "tests/support/InstalledFiles.h"
#include "tests/support/Installation.h"
#include "tests/support/ProcessDriver.h"
#include "tests/support/RegistryScratch.h"
#include "tests/support/Screens.h"
#include "tests/support/SetupRun.h"
#include "tests/support/SetupWalk.h"
#include "tests/support/TempFolder.h"
#include "tests/support/Text.h"
#include "wizard/ControlIds.h"

#include <gtest/gtest.h>
#include <png.h>
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstring>
#include <set>
#include <string>
#include <vector>

namespace qwp::test {
namespace {

// The buttons after each forward move, as SetupRun::Buttons() shows them
// (page 5 while the copy is held at its first report).
const char* const kButtonsOnPage[8] = {"(hidden)|&Next >|Cancel",  "< &Back|&Next >|Cancel",
                                       "< &Back|&Next >|Cancel",   "< &Back|&Next >|Cancel",
                                       "< &Back|&Next >|Cancel",   "< &Back-|&Next >-|Cancel",
                                       "< &Back-|&Next >|Cancel",  "< &Back-|&Finish|Cancel-"};

std::string WithoutTrailingLineEnds(std::string text) {
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n')) text.pop_back();
    return text;
}

// The visible controls below a page's sheet that reach outside the window
// that holds them (and are cut off there), as "id (left,top)-(right,bottom)
// in (parent's rectangle)", one per line.
BOOL CALLBACK CollectOverflow(HWND control, LPARAM lParam) {
    if (!IsWindowVisible(control)) return TRUE;
    RECT own, parent;
    GetWindowRect(control, &own);
    GetWindowRect(GetParent(control), &parent);
    if (own.left >= parent.left && own.top >= parent.top && own.right <= parent.right && own.bottom <= parent.bottom)
        return TRUE;
    char line[160];
    std::snprintf(line, sizeof line, "%d (%ld,%ld)-(%ld,%ld) in (%ld,%ld)-(%ld,%ld)\n", GetDlgCtrlID(control), own.left,
                  own.top, own.right, own.bottom, parent.left, parent.top, parent.right, parent.bottom);
    *reinterpret_cast<std::string*>(lParam) += line;
    return TRUE;
}

std::string ControlsReachingOut(HWND window, int page) {
    std::string found;
    HWND sheet = FindControl(window, IDC_WelcomeTabSheet + page);
    if (sheet) EnumChildWindows(sheet, CollectOverflow, reinterpret_cast<LPARAM>(&found));
    return found;
}

// Word-wrapped labels whose text needs more height than they have, measured
// in the wizard's dialog font ("MS Shell Dlg 2", 8 points) at the DPI
// given, as "id needs N px, has M px", one per line.
std::string LabelsCutShort(HWND window, int page, int dpi) {
    static const int kWrappedLabels[] = {IDC_WelcomeLbl, IDC_SelCompLbl, IDC_StartLbl, IDC_AssocLbl, IDC_FinishLbl};
    HWND sheet = FindControl(window, IDC_WelcomeTabSheet + page);
    if (!sheet) return {};
    struct MemoryDc {
        HDC dc = CreateCompatibleDC(nullptr);
        ~MemoryDc() { DeleteDC(dc); }
    } memory;
    UniqueGdiObject font(CreateFontA(-MulDiv(8, dpi, 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                     OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH,
                                     "MS Shell Dlg 2"));
    SelectObjectGuard select(memory.dc, font.get());
    std::string found;
    for (int id : kWrappedLabels) {
        HWND label = FindControl(sheet, id);
        if (!label || !IsWindowVisible(label)) continue;
        RECT client;
        GetClientRect(label, &client);
        RECT needed{0, 0, client.right, 0};
        const std::string text = WindowText(label);
        DrawTextA(memory.dc, text.c_str(), -1, &needed, DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS);
        if (needed.bottom > client.bottom)
            found += std::to_string(id) + " needs " + std::to_string(needed.bottom) + " px, has " +
                     std::to_string(client.bottom) + " px\n";
    }
    return found;
}

// The wizard's pictures at the DPI given.
std::string DefaultScreens(int dpi) { return ScreensFolder("default", dpi); }

class EndToEnd : public NoInstallationTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(SetSystemDpi(96));
        NoInstallationTest::SetUp();
    }
    void TearDown() override {
        SetSystemDpi(96);
        NoInstallationTest::TearDown();
    }

    // A default installation: Next on every page, Finish on the last, each
    // page checked and kept as a picture, the installing page while the copy
    // is held at its first report. Returns the destination folder the
    // wizard showed, empty when the walk failed.
    std::string InstallWithDefaults(int dpi) {
        SetupRun run(DefaultScreens(dpi));
        EXPECT_TRUE(run.Process().Started()) << "GetLastError " << GetLastError();
        if (!run.Started()) {
            ADD_FAILURE() << "no wizard window";
            return {};
        }
        RECT client{};
        GetClientRect(run.Window(), &client);
        EXPECT_EQ(client.right, MulDiv(492, dpi, 96)) << "client width at " << dpi << " DPI";
        EXPECT_EQ(client.bottom, MulDiv(351, dpi, 96)) << "client height at " << dpi << " DPI";

        std::string mainDir;
        WalkOptions walk;
        walk.holdWhileCopying = true;
        walk.check = [&](int page) {
            CheckPage(run, page, dpi);
            if (page == 2) mainDir = ControlText(run.Window(), IDC_DestDirEdt);
        };
        return run.InstallThroughFinish(walk) ? mainDir : std::string();
    }

    static DWORD_PTR BarPosition(HWND window) {
        DWORD_PTR position = 0;
        SendMessageTimeoutA(FindControl(window, IDC_InstallProgressBar), PBM_GETPOS, 0, 0, SMTO_ABORTIFHUNG, 2000,
                            &position);
        return position;
    }

    // What every page must show after the moves of a default walk.
    void CheckPage(const SetupRun& run, int page, int dpi) {
        HWND window = run.Window();
        EXPECT_EQ(run.Buttons(), kButtonsOnPage[page]) << "page " << page;
        EXPECT_EQ(ControlsReachingOut(window, page), "") << "controls cut off on page " << page;
        EXPECT_EQ(LabelsCutShort(window, page, dpi), "") << "label text cut off on page " << page;
        switch (page) {
        case 1:
            EXPECT_EQ(WithoutTrailingLineEnds(ControlText(window, IDC_LicenseMemo)),
                      WithoutTrailingLineEnds(ReadWholeFile(SourceFile("sample/files/License.txt"))))
                << "the licence text box does not hold the licence";
            EXPECT_EQ(CheckState(window, IDC_LicenseChkBx), BST_CHECKED);
            break;
        case 2:
            EXPECT_EQ(Lower(ControlText(window, IDC_DestDirEdt)), Lower(DefaultDestination()));
            break;
        case 3: {
            HWND list = FindControl(window, IDC_SelCompLstBx);
            DWORD_PTR rows = 0;
            SendMessageTimeoutA(list, LB_GETCOUNT, 0, 0, SMTO_ABORTIFHUNG, 2000, &rows);
            EXPECT_EQ(rows, 6u) << "component rows";
            EXPECT_NE(ControlText(window, IDC_SelCompDiskSpaceReqLbl2), "");
            EXPECT_NE(ControlText(window, IDC_SelCompDiskSpaceAvailLbl2), "");
            break;
        }
        case 4:
            EXPECT_EQ(CheckState(window, IDC_InstallToAllChkBx), BST_CHECKED);
            EXPECT_EQ(CheckState(window, IDC_DesktopChkBx), BST_CHECKED);
            EXPECT_TRUE(ControlVisible(window, IDC_InstallToAllChkBx));
            EXPECT_TRUE(ControlVisible(window, IDC_DesktopChkBx));
            break;
        case 5:
            // The first report names the first copy, before anything of it
            // is written.
            EXPECT_EQ(Lower(ControlText(window, IDC_InstallFileLbl)), Lower(JoinPath(DefaultDestination(), "qwp.exe")))
                << "the file label while copying";
            EXPECT_EQ(BarPosition(window), 0u) << "progress before the first copy";
            break;
        case 6:
            EXPECT_EQ(BarPosition(window), 1000u) << "the progress bar is not full once every file is written";
            EXPECT_EQ(CheckState(window, IDC_AssocChkBx1), BST_UNCHECKED);
            EXPECT_EQ(CheckState(window, IDC_AssocChkBx2), BST_CHECKED);
            EXPECT_EQ(CheckState(window, IDC_AssocChkBx3), BST_UNCHECKED);
            EXPECT_EQ(CheckState(window, IDC_AssocChkBx4), BST_UNCHECKED);
            break;
        case 7:
            EXPECT_EQ(CheckState(window, IDC_FinishChkBx), BST_CHECKED);
            break;
        default:
            break;
        }
    }

    // What a default installation into mainDir must leave on disk and in
    // the registry.
    void CheckInstalled(const std::string& mainDir) {
        ASSERT_FALSE(mainDir.empty());
        const std::vector<PayloadEntry> manifest = ReadManifest();
        ASSERT_EQ(manifest.size(), 272u) << "payload entries in the manifest";
        EXPECT_EQ(Joined(WrongInstalledFiles(mainDir), "\n"), "") << "installed files wrong (the first ten)";
        // The payload has no British cache: the American one is written twice.
        std::string americanCache;
        for (const PayloadEntry& entry : manifest)
            if (Lower(entry.name) == "english (american).cache") americanCache = entry.timestamp;
        EXPECT_EQ(LocalWriteTime(SpellingFolder() + "English (British).cache"), americanCache);

        // Install.log: the folders made while logging was on, then the
        // copies that are logged, in the order they were made.
        EXPECT_EQ(Lower(ReadWholeFile(JoinPath(mainDir, "Install.log"))), Lower(ExpectedInstallLog(mainDir)));
        EXPECT_EQ(ReadWholeFile(HiddenFolder() + "install_stamp").size(), 8u);

        ExpectDefaultChoicesStored(mainDir);
        EXPECT_TRUE(KeyExists(kInternalKey));
    }
};

TEST_F(EndToEnd, DefaultInstallAt96Dpi) {
    const std::string mainDir = InstallWithDefaults(96);
    CheckInstalled(mainDir);
}

TEST_F(EndToEnd, DefaultInstallAt144Dpi) {
    ASSERT_TRUE(SetSystemDpi(144));
    const std::string mainDir = InstallWithDefaults(144);
    CheckInstalled(mainDir);
}

int FocusedId(HWND window) {
    HWND focus = FocusedWindow(window);
    return focus ? GetDlgCtrlID(focus) : 0;
}

// Presses Tab (Shift+Tab when asked), waits a moment for the focus to move,
// and returns the control id of the focused window.
int TabFrom(HWND window, bool back = false) {
    const int before = FocusedId(window);
    PressKey(window, VK_TAB, back ? VK_SHIFT : 0);
    WaitUntil([&] { return FocusedId(window) != before; }, 1000);
    return FocusedId(window);
}

// The focus stops of count presses of Tab, the starting one first.
std::vector<int> TabStops(HWND window, int count) {
    std::vector<int> stops{FocusedId(window)};
    for (int i = 0; i < count; ++i) stops.push_back(TabFrom(window));
    return stops;
}

std::string Ids(const std::vector<int>& ids) {
    std::string text;
    for (int id : ids) text += (text.empty() ? "" : " ") + std::to_string(id);
    return text;
}

// Waits until the dialog window is gone and the wizard that asked has gone
// on with the answer.
bool Closed(HWND dialog, HWND wizard) {
    if (!WaitUntil([&] { return !IsWindow(dialog) || !IsWindowVisible(dialog); }, kPageTimeout)) return false;
    Settle(wizard);
    return true;
}

// The welcome page and the licence text worked with the keyboard: Enter is
// Next, Tab goes round the page's controls and the buttons, Escape asks the
// close question (Escape there is No).
TEST_F(EndToEnd, KeyboardOnWelcomeAndLicenceText) {
    SetupRun run(DefaultScreens(96));
    ASSERT_TRUE(run.Process().Started());
    HWND window = run.Window();
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(run.WaitForPage(0));

    // The welcome page: only Next and Cancel take the focus.
    const std::vector<int> welcome = TabStops(window, 2);
    EXPECT_EQ(std::set<int>(welcome.begin(), welcome.end()), (std::set<int>{IDC_NextBtn, IDC_CancelBtn}))
        << Ids(welcome);
    ASSERT_TRUE(PressKey(window, VK_RETURN)) << "keyboard input could not be sent";
    ASSERT_TRUE(run.WaitForPage(1)) << "Enter on the welcome page";

    // The licence page: the licence text first, then round every control.
    const std::vector<int> licence = TabStops(window, 5);
    EXPECT_EQ(licence.front(), IDC_LicenseMemo) << "the licence text has the focus after the move";
    EXPECT_EQ(std::set<int>(licence.begin(), licence.end()),
              (std::set<int>{IDC_LicenseMemo, IDC_LicenseChkBx, IDC_BackBtn, IDC_NextBtn, IDC_CancelBtn}))
        << "Tab from the licence text: " << Ids(licence);
    EXPECT_EQ(licence.back(), licence.front()) << "Tab comes round after five stops: " << Ids(licence);
    EXPECT_EQ(TabFrom(window, true), licence[4]) << "Shift+Tab from the licence text";
    EXPECT_EQ(TabFrom(window), IDC_LicenseMemo) << "Tab back into the licence text";

    // With the focus in the licence text, Enter is still Next, and Escape
    // still asks the close question (Escape there is No).
    ASSERT_EQ(FocusedId(window), IDC_LicenseMemo);
    PressKey(window, VK_RETURN);
    EXPECT_TRUE(run.WaitForPage(2, 3000)) << "Enter in the licence text is not Next";
    if (run.OnPage(2)) {
        ClickControl(window, IDC_BackBtn);
        ASSERT_TRUE(run.WaitForPage(1));
        ASSERT_TRUE(WaitUntil([&] { return FocusedId(window) == IDC_LicenseMemo; }, 2000));
    }
    PressKey(window, VK_ESCAPE);
    HWND confirm = WaitForWindow(run.Process().Id(), "Confirm", kPageTimeout);
    EXPECT_NE(confirm, nullptr) << "Escape in the licence text asks nothing";
    if (confirm) {
        PressKey(confirm, VK_ESCAPE);
        EXPECT_TRUE(Closed(confirm, window)) << "Escape does not answer the close question";
    }
    if (!run.OnPage(1)) run.Shoot("after-escape-in-licence-text");
    ASSERT_TRUE(run.OnPage(1)) << "the licence page is gone after Escape in the licence text; its sheet "
                                  << (FindControl(window, IDC_LicenseTabSheet) ? "is hidden" : "no longer exists");

}

// An access key works its check box, Space toggles the focused box, Enter
// with the box cleared asks about the licence, Escape answers a question
// with No and, in the wizard, asks the close question, where Abort ends the
// setup before anything is installed or stored.
TEST_F(EndToEnd, KeyboardAccessKeyQuestionsAndAbort) {
    SetupRun run(DefaultScreens(96));
    ASSERT_TRUE(run.Process().Started());
    HWND window = run.Window();
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(run.WaitForPage(0));
    ClickControl(window, IDC_NextBtn);
    ASSERT_TRUE(run.WaitForPage(1));

    // Alt+A, the accept box's access key, clears it and focuses it; Space
    // sets it again and clears it again.
    PressKey(window, 'A', VK_MENU);
    EXPECT_TRUE(WaitUntil([&] { return CheckState(window, IDC_LicenseChkBx) == BST_UNCHECKED; }, 2000))
        << "Alt+A leaves the accept box checked";
    EXPECT_EQ(FocusedId(window), IDC_LicenseChkBx) << "Alt+A does not focus the accept box";
    if (FocusedId(window) == IDC_LicenseChkBx) {
        PressKey(window, VK_SPACE);
        EXPECT_TRUE(WaitUntil([&] { return CheckState(window, IDC_LicenseChkBx) == BST_CHECKED; }, 2000));
        PressKey(window, VK_SPACE);
        EXPECT_TRUE(WaitUntil([&] { return CheckState(window, IDC_LicenseChkBx) == BST_UNCHECKED; }, 2000));
    }
    ASSERT_EQ(CheckState(window, IDC_LicenseChkBx), BST_UNCHECKED);

    // Enter with the box cleared asks about the licence; Escape is No.
    PressKey(window, VK_RETURN);
    HWND question = WaitForWindow(run.Process().Id(), "Information", kPageTimeout);
    ASSERT_NE(question, nullptr) << "no licence question after Enter with the box cleared";
    run.ShootScreen("licence-question");
    PressKey(question, VK_ESCAPE);
    EXPECT_TRUE(Closed(question, window)) << "Escape does not answer the licence question";
    EXPECT_TRUE(run.OnPage(1)) << "No keeps the licence page";
    EXPECT_EQ(run.Buttons(), "< &Back|&Next >|Cancel");

    // Escape in the wizard asks the close question; Escape there is No.
    PressKey(window, VK_ESCAPE);
    HWND confirm = WaitForWindow(run.Process().Id(), "Confirm", kPageTimeout);
    ASSERT_NE(confirm, nullptr) << "Escape in the wizard asks nothing";
    run.ShootScreen("close-question");
    PressKey(confirm, VK_ESCAPE);
    EXPECT_TRUE(Closed(confirm, window)) << "Escape does not answer the close question";
    EXPECT_TRUE(run.OnPage(1));
    EXPECT_EQ(run.WaitForExit(0), static_cast<DWORD>(STILL_ACTIVE)) << "No ended the setup";

    PressKey(window, VK_ESCAPE);
    confirm = WaitForWindow(run.Process().Id(), "Confirm", kPageTimeout);
    ASSERT_NE(confirm, nullptr);
    ASSERT_TRUE(PressButton(confirm, "&Abort"));
    EXPECT_EQ(run.WaitForExit(kStartTimeout), 0u);

    EXPECT_EQ(StoredValue("MAINDIR"), "absent") << "nothing is stored before the installation starts";
    EXPECT_TRUE(KeyExists(kInternalKey));
    EXPECT_FALSE(FolderExists(DefaultDestination()));
    EXPECT_FALSE(FolderExists(CommonDataFolder()));
}

// A PNG read back with libpng's row reader, the one the setup itself uses:
// 8-bit RGB only, three bytes a pixel, top row first.
struct RgbPicture {
    png_uint_32 width = 0;
    png_uint_32 height = 0;
    std::vector<png_byte> pixels;
};

struct PngSource {
    const std::string* bytes;
    std::size_t offset;
};

void ReadPngBytes(png_structp png, png_bytep out, png_size_t length) {
    auto* source = static_cast<PngSource*>(png_get_io_ptr(png));
    if (length > source->bytes->size() - source->offset) png_error(png, "the PNG data ends early");
    std::memcpy(out, source->bytes->data() + source->offset, length);
    source->offset += length;
}

// libpng reports errors by longjmp: nothing in this frame has a destructor
// to skip, and the picture's buffer is sized before the rows are read.
bool ReadRgbRows(png_structp png, png_infop info, RgbPicture& picture) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_read_info(png, info);
    int bitDepth = 0, colourType = 0;
    png_get_IHDR(png, info, &picture.width, &picture.height, &bitDepth, &colourType, nullptr, nullptr, nullptr);
    if (bitDepth != 8 || colourType != PNG_COLOR_TYPE_RGB || picture.width > 8192 || picture.height > 8192)
        return false;
    picture.pixels.resize(static_cast<std::size_t>(picture.width) * picture.height * 3);
    for (png_uint_32 row = 0; row < picture.height; ++row)
        png_read_row(png, &picture.pixels[static_cast<std::size_t>(row) * picture.width * 3], nullptr);
    png_read_end(png, nullptr);
    return true;
}

bool ReadRgbPng(const std::string& bytes, RgbPicture& picture) {
    PngSource source{&bytes, 0};
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (!png) return false;
    png_infop info = png_create_info_struct(png);
    bool read = false;
    if (info) {
        png_set_read_fn(png, &source, ReadPngBytes);
        read = ReadRgbRows(png, info, picture);
    }
    png_destroy_read_struct(&png, info ? &info : nullptr, nullptr);
    return read;
}

// A window painted red above and blue below, to see that a picture keeps
// the window's size, its colours and which way up it is.
LRESULT CALLBACK TwoColourProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_ERASEBKGND) return DefWindowProcA(window, message, wParam, lParam);
    RECT client;
    GetClientRect(window, &client);
    RECT top = client, bottom = client;
    top.bottom = bottom.top = client.bottom / 2;
    UniqueGdiObject red(CreateSolidBrush(RGB(200, 30, 40)));
    UniqueGdiObject blue(CreateSolidBrush(RGB(20, 60, 220)));
    FillRect(reinterpret_cast<HDC>(wParam), &top, static_cast<HBRUSH>(red.get()));
    FillRect(reinterpret_cast<HDC>(wParam), &bottom, static_cast<HBRUSH>(blue.get()));
    return 1;
}

TEST(ScreenPicture, KeepsTheWindowsSizeColoursAndOrientation) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = TwoColourProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "QwpTwoColourProbe";
    RegisterClassA(&windowClass);
    HWND window = CreateWindowExA(WS_EX_TOPMOST, windowClass.lpszClassName, "", WS_POPUP | WS_VISIBLE, 50, 60, 161,
                                  81, nullptr, nullptr, windowClass.hInstance, nullptr);
    ASSERT_NE(window, nullptr);
    UpdateWindow(window);
    WaitUntil([] {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
        return false;
    }, 300);

    TempFolder folder;
    const std::string path = folder / "probe.png";
    const bool captured = CaptureWindow(window, path);
    DestroyWindow(window);
    ASSERT_TRUE(captured);

    RgbPicture picture;
    ASSERT_TRUE(ReadRgbPng(ReadWholeFile(path), picture)) << "libpng cannot read the picture back";
    EXPECT_EQ(picture.width, 161u);
    EXPECT_EQ(picture.height, 81u);
    auto pixel = [&](unsigned x, unsigned y) {
        if (x >= picture.width || y >= picture.height) return std::string("outside");
        const png_byte* p = &picture.pixels[(static_cast<std::size_t>(y) * picture.width + x) * 3];
        char text[16];
        std::snprintf(text, sizeof text, "%u,%u,%u", p[0], p[1], p[2]);
        return std::string(text);
    };
    EXPECT_EQ(pixel(80, 10), "200,30,40");
    EXPECT_EQ(pixel(160, 0), "200,30,40") << "the last column of an odd width";
    EXPECT_EQ(pixel(80, 70), "20,60,220");
    EXPECT_EQ(pixel(0, 80), "20,60,220");
}

}  // namespace
}  // namespace qwp::test
