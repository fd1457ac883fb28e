// Page 3 and the destination text: the always-installed row, the totals,
// Next against the free space of the destination drive, the row drawing,
// and the clean-up of the destination folder text.
#include "instutils/InstUtils.h"
#include "tests/wizard/WizardFixture.h"

#include <shlobj.h>

namespace qwp::test {
namespace {

using ComponentsPageTest = WizardTest;

// Toggles a row as the space key does.
void PressSpaceOn(TCheckListBox& list, int row) {
    list.SetCurrentRow(row);
    SendMessageA(list.Handle(), WM_KEYDOWN, VK_SPACE, 0);
    SendMessageA(list.Handle(), WM_CHAR, ' ', 0);
    SendMessageA(list.Handle(), WM_KEYUP, VK_SPACE, 0);
}

// A drive letter that names no drive here, as "X:".
std::string MissingDrive() {
    const DWORD mask = GetLogicalDrives();
    for (char letter = 'Z'; letter > 'G'; --letter)
        if (!(mask & (1u << (letter - 'A')))) return std::string(1, letter) + ":";
    return {};
}

TEST_F(ComponentsPageTest, WordProcessorRowStaysGreyedAndTotalsFollowTheRows) {
    MakeForm();
    WalkTo(3);
    TCheckListBox& list = form().SelCompLstBx();
    const std::string allChosen = TextOf(IDC_SelCompDiskSpaceReqLbl2);
    ASSERT_FALSE(allChosen.empty());
    for (int row = 0; row < 6; ++row) EXPECT_GT(list.Size(row), 0) << "row " << row << " has no size";

    PressSpaceOn(list, 0);
    EXPECT_EQ(list.State(0), CheckState::Grayed);
    EXPECT_EQ(TextOf(IDC_SelCompDiskSpaceReqLbl2), allChosen);

    // Clearing every other row leaves the word processor's own size.
    for (int row = 1; row < 6; ++row) PressSpaceOn(list, row);
    for (int row = 1; row < 6; ++row) EXPECT_EQ(list.State(row), CheckState::Unchecked) << row;
    EXPECT_EQ(TextOf(IDC_SelCompDiskSpaceReqLbl2), FormatSize(list.Size(0)));
    EXPECT_TRUE(IsWindowEnabled(Ctl(IDC_NextBtn)));
    EXPECT_EQ(TextOf(IDC_SelCompDiskSpaceAvailLbl2), FormatSize(DriveFreeBytes(session().Destination())));
}

TEST_F(ComponentsPageTest, NextFollowsTheFreeSpaceOfASmallDrive) {
    const std::string small = Environment("QWP_SMALL_DRIVE");
    if (small.empty()) GTEST_SKIP() << "no small drive: the test environment could not mount one";
    MakeForm({"-d" + small + "\\Quilvane"});
    WalkTo(3);
    TCheckListBox& list = form().SelCompLstBx();
    const std::int64_t free = DriveFreeBytes(small + "\\");
    ASSERT_GE(free, 0);
    std::int64_t total = 0;
    for (int row = 0; row < 6; ++row) total += list.Size(row);
    ASSERT_GT(total, free) << "the small drive is not small enough for this test";
    EXPECT_FALSE(IsWindowEnabled(Ctl(IDC_NextBtn)));
    EXPECT_EQ(TextOf(IDC_SelCompDiskSpaceAvailLbl2), FormatSize(free));

    // Clearing rows, the largest first, until the rest fits enables Next.
    int largest = 1;
    while (total > free) {
        largest = 1;
        for (int row = 2; row < 6; ++row)
            if (list.State(row) != CheckState::Unchecked && list.Size(row) > list.Size(largest)) largest = row;
        ASSERT_NE(list.State(largest), CheckState::Unchecked) << "nothing left to clear";
        EXPECT_FALSE(IsWindowEnabled(Ctl(IDC_NextBtn)));
        PressSpaceOn(list, largest);
        ASSERT_EQ(list.State(largest), CheckState::Unchecked);
        total -= list.Size(largest);
    }
    EXPECT_TRUE(IsWindowEnabled(Ctl(IDC_NextBtn)));
    // And back: the last row cleared, chosen again, no longer fits.
    PressSpaceOn(list, largest);
    EXPECT_EQ(list.State(largest), CheckState::Checked);
    EXPECT_FALSE(IsWindowEnabled(Ctl(IDC_NextBtn)));
    PressSpaceOn(list, largest);
    EXPECT_TRUE(IsWindowEnabled(Ctl(IDC_NextBtn)));
}

TEST_F(ComponentsPageTest, MissingDriveShowsUnknownAndBlocksNext) {
    const std::string missing = MissingDrive();
    ASSERT_FALSE(missing.empty());
    MakeForm({"-d" + missing + "\\Quilvane"});
    WalkTo(3);
    EXPECT_EQ(TextOf(IDC_SelCompDiskSpaceAvailLbl2), "Unknown");
    EXPECT_FALSE(IsWindowEnabled(Ctl(IDC_NextBtn)));
    EXPECT_FALSE(TextOf(IDC_SelCompDiskSpaceReqLbl2).empty());
}

TEST_F(ComponentsPageTest, ActivationRefreshesTheFiguresOnPage3Only) {
    MakeForm();
    WalkTo(3);
    const std::string available = TextOf(IDC_SelCompDiskSpaceAvailLbl2);
    ASSERT_NE(available.find("MB"), std::string::npos) << available;
    SetWindowTextA(Ctl(IDC_SelCompDiskSpaceAvailLbl2), "stale");
    SendMessageA(form().Handle(), WM_ACTIVATEAPP, FALSE, 0);
    EXPECT_EQ(TextOf(IDC_SelCompDiskSpaceAvailLbl2), "stale");
    SendMessageA(form().Handle(), WM_ACTIVATEAPP, TRUE, 0);
    // Asked afresh: the same kind of figure (the free space itself may
    // have moved meanwhile, with other programs writing to the disk).
    const std::string refreshed = TextOf(IDC_SelCompDiskSpaceAvailLbl2);
    EXPECT_NE(refreshed, "stale");
    EXPECT_NE(refreshed.find("MB"), std::string::npos) << refreshed;
    Back();
    SetWindowTextA(Ctl(IDC_SelCompDiskSpaceAvailLbl2), "stale");
    SendMessageA(form().Handle(), WM_ACTIVATEAPP, TRUE, 0);
    EXPECT_EQ(TextOf(IDC_SelCompDiskSpaceAvailLbl2), "stale");
}

// A row drawn into a bitmap: the word processor's texts in the grey-text
// colour, the others in the list's colour; the name from 2 pixels in, the
// size ending 2 pixels before the right edge.
TEST_F(ComponentsPageTest, RowsDrawnGreyForTheWordProcessorAndAlignedToTheMargins) {
    MakeForm({}, 96);
    WalkTo(3);
    const int width = 300, height = 17;
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = -height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    UniqueGdiObject canvas(CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
    ASSERT_TRUE(canvas);
    HGDIOBJ oldBitmap = SelectObject(dc, canvas.get());
    HGDIOBJ oldFont = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(Ctl(IDC_SelCompLstBx), WM_GETFONT, 0, 0)));
    const auto* pixels = static_cast<const std::uint32_t*>(bits);
    const COLORREF grey = GetSysColor(COLOR_GRAYTEXT);
    const std::uint32_t greyPixel = (GetRValue(grey) << 16) | (GetGValue(grey) << 8) | GetBValue(grey);

    for (int row : {0, 1}) {
        SCOPED_TRACE("row " + std::to_string(row));
        SetBkColor(dc, RGB(255, 255, 255));
        SetTextColor(dc, RGB(0, 0, 0));
        std::fill(static_cast<std::uint32_t*>(bits), static_cast<std::uint32_t*>(bits) + width * height, 0x123456);
        const RECT rect{0, 0, width, height};
        form().SelCompLstBxDrawItem(dc, row, rect, false);
        GdiFlush();
        int left = width, right = -1, top = height, bottom = -1, greyCount = 0, blackCount = 0, unfilled = 0;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const std::uint32_t p = pixels[y * width + x] & 0xFFFFFF;
                if (p == 0x123456) ++unfilled;
                if (p == 0xFFFFFF || p == 0x123456) continue;
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
                if (p == greyPixel) ++greyCount;
                if (p == 0) ++blackCount;
            }
        EXPECT_EQ(unfilled, 0) << "the background was not filled";
        if (row == 0) {
            EXPECT_GT(greyCount, 0);
            EXPECT_EQ(blackCount, 0);
        } else {
            EXPECT_GT(blackCount, 0);
        }
        EXPECT_GE(left, 2);
        EXPECT_LE(left, 4);
        EXPECT_LE(right, width - 3);
        EXPECT_GE(right, width - 7);  // a glyph's right bearing
        // Centred: the ink leaves about as much room above as below.
        EXPECT_LE(std::abs(top - (height - 1 - bottom)), 4) << top << " " << bottom;
    }
    SelectObject(dc, oldFont);
    SelectObject(dc, oldBitmap);
    DeleteDC(dc);
}

using DestDirTest = WizardTest;

TEST_F(DestDirTest, NormalizeDestDirCleansTheFolderText) {
    MakeForm();
    const std::string programFiles = GetSpecialFolder(CSIDL_PROGRAM_FILES);
    ASSERT_GE(programFiles.size(), 3u);
    std::string lowerProgramFiles = programFiles, upperProgramFiles = programFiles;
    CharLowerA(&lowerProgramFiles[0]);
    CharUpperA(&upperProgramFiles[0]);
    const std::string ownDrive(1, static_cast<char>(tolower(programFiles[0])));
    const struct {
        std::string typed, expected;
    } cases[] = {
        {"  C:\\Some Folder\\Sub\\  ", "C:\\Some Folder\\Sub"},
        {"D:\\", "D:\\Quilvane"},
        {"D:", "D:\\Quilvane"},
        {" D:\\Tools", "D:\\Tools"},
        {lowerProgramFiles, lowerProgramFiles + "\\Quilvane"},
        {upperProgramFiles + "\\", upperProgramFiles + "\\Quilvane"},
        {"Relative\\Folder", ownDrive + ":\\Quilvane"},
        {"", ownDrive + ":\\Quilvane"},
        {"   ", ownDrive + ":\\Quilvane"},
        {"\\\\server\\share\\apps\\", "\\\\server\\share\\apps"},
        {"\\\\server\\share\\", "\\\\server\\share\\Quilvane"},  // a share's root, as a drive's
        {"C:\\Apps\\..", "C:\\Quilvane"},
        {"C:/Apps//Sub/./", "C:\\Apps\\Sub"},
        {"\tC:\\Tab", ownDrive + ":\\Quilvane"},
    };
    for (const auto& c : cases) {
        SetWindowTextA(Ctl(IDC_DestDirEdt), c.typed.c_str());
        form().NormalizeDestDir();
        EXPECT_EQ(TextOf(IDC_DestDirEdt), c.expected) << "typed \"" << c.typed << "\"";
    }
}

}  // namespace
}  // namespace qwp::test
