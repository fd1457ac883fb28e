// The drive list and the folder list in real system controls under a parent
// window that forwards their messages and checks every WM_DRAWITEM it
// receives. Drives are made for a test through Wine's mount manager, which
// is how Wine defines drives at run time: GetLogicalDrives and GetDriveTypeA
// see them at once, while a bare link in the prefix's dosdevices folder is
// not seen before the Wine server restarts.
#include "controls/FileCtrl.h"
#include "instutils/InstUtils.h"
#include "tests/support/ControlHost.h"
#include "tests/support/TempFolder.h"
#include "tests/support/Text.h"
#include "tests/support/TestDrive.h"

#include <gtest/gtest.h>
#include <shlobj.h>
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace qwp {
namespace {

using test::ControlHostTest;
using test::DrawnItem;
using test::Lower;
using test::TempFolder;
using test::TestDrive;

constexpr int kListId = 1101;
constexpr int kComboId = 1102;

#define REQUIRE_DRIVE(drive, type) \
    if (!(drive).Plug(type)) GTEST_SKIP() << "the mount manager cannot define drive " << (drive).Root() << " here"

void MakeFolder(const std::string& path) { ASSERT_TRUE(CreateDirectoryA(path.c_str(), nullptr)) << path; }

// The first column of a picture, as the controls draw it at a DPI on the
// window colour, that shows anything else.
int FirstOpaqueColumn(const char* name, int dpi) {
    const detail::TransparentPicture picture(name, dpi);
    const COLORREF fill = GetSysColor(COLOR_WINDOW) & 0xFFFFFF;
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    UniqueGdiObject bitmap(CreateCompatibleBitmap(screen, picture.Width(), picture.Height()));
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(dc, bitmap.get());
    UniqueGdiObject brush(CreateSolidBrush(fill));
    RECT all{0, 0, picture.Width(), picture.Height()};
    FillRect(dc, &all, static_cast<HBRUSH>(brush.get()));
    picture.Draw(dc, 0, 0);
    int first = -1;
    for (int x = 0; x < picture.Width() && first < 0; ++x)
        for (int y = 0; y < picture.Height(); ++y)
            if (GetPixel(dc, x, y) != fill) {
                first = x;
                break;
            }
    SelectObject(dc, old);
    DeleteDC(dc);
    return first;
}

class FileCtrl : public ControlHostTest {
protected:
    HWND list_ = nullptr, combo_ = nullptr;
    UniqueGdiObject font_;
    std::unique_ptr<TDirectoryListBox> folders_;
    std::unique_ptr<TDriveComboBox> drives_;
    int folderChanges_ = 0, driveChanges_ = 0;
    bool making_ = false;

    void SetUp() override {
        MakeHost("Pickers", 420, 320);
        font_.reset(CreateFontA(-11, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, "MS Shell Dlg 2"));
        Make(0);
        ShowHost();
    }

    // The two controls, linked, at a DPI (0: the display's).
    void Make(int dpi) {
        making_ = true;
        ReleaseControls();
        if (list_) DestroyWindow(list_);
        if (combo_) DestroyWindow(combo_);
        list_ = MakeChild("LISTBOX", WS_EX_CLIENTEDGE,
                          WS_VSCROLL | WS_TABSTOP | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | LBS_NOTIFY |
                              LBS_NOINTEGRALHEIGHT,
                          11, 8, 345, 174, kListId);
        combo_ = MakeChild("COMBOBOX", 0, WS_VSCROLL | WS_TABSTOP | CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS,
                           11, 190, 345, 19, kComboId);
        SendMessageA(list_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
        SendMessageA(combo_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
        folders_ = std::make_unique<TDirectoryListBox>(list_, dpi);
        drives_ = std::make_unique<TDriveComboBox>(combo_, dpi);
        drives_->SetDirList(folders_.get());
        folders_->OnChange = [this] { ++folderChanges_; };
        drives_->OnChange = [this] { ++driveChanges_; };
        making_ = false;
    }
    void ReleaseControls() override {
        drives_.reset();
        folders_.reset();
    }

    std::vector<std::string> FolderItems() const {
        std::vector<std::string> items;
        for (int i = 0; i < folders_->Count(); ++i) items.push_back(folders_->ItemText(i));
        return items;
    }
    std::vector<std::string> DriveItems() const {
        std::vector<std::string> items;
        for (int i = 0; i < drives_->Count(); ++i) items.push_back(drives_->ItemText(i));
        return items;
    }
    int DriveIndex(char letter) const {
        for (int i = 0; i < drives_->Count(); ++i)
            if (drives_->ItemText(i)[0] == letter) return i;
        return -1;
    }
    // The path items the list must show for a folder text.
    static std::vector<std::string> PathItems(std::string folder) {
        std::vector<std::string> items;
        if (folder.back() == '\\' && folder.size() > 3) folder.pop_back();
        for (;;) {
            items.insert(items.begin(), folder);
            if (folder.size() <= 3) break;
            folder = folder.substr(0, folder.find_last_of('\\'));
            if (folder.size() == 2) folder += '\\';
        }
        return items;
    }

    void ClickFolderItem(int index) {
        const RECT r = ListItemRect(list_, index);
        ClickAt(list_, r.left + 40, (r.top + r.bottom) / 2);
    }

    // The system draws the empty selection field while a control is being
    // made, before it is taken over.
    bool Ignored(const DRAWITEMSTRUCT&) const override { return making_; }
    void CheckItem(const DRAWITEMSTRUCT& item) override {
        if (!(item.hwndItem == list_ && item.CtlType == ODT_LISTBOX) &&
            !(item.hwndItem == combo_ && item.CtlType == ODT_COMBOBOX))
            Fault("not for one of the pickers");
    }
    bool DrawItem(const DRAWITEMSTRUCT& item) override {
        return item.hwndItem == list_ ? folders_ && folders_->DrawItem(item) : drives_ && drives_->DrawItem(item);
    }
    bool MeasureItem(MEASUREITEMSTRUCT& item) override {
        return (folders_ && folders_->MeasureItem(item)) || (drives_ && drives_->MeasureItem(item));
    }
    bool Command(WPARAM wParam, LPARAM lParam) override {
        return (folders_ && folders_->HandleCommand(wParam, lParam)) ||
               (drives_ && drives_->HandleCommand(wParam, lParam));
    }
};

TEST(FolderLevelTest, CountsTheBackslashesBelowTheRoot) {
    EXPECT_EQ(FolderLevel("C:\\"), 0);
    EXPECT_EQ(FolderLevel("C:"), 0);
    EXPECT_EQ(FolderLevel("C:\\Program Files"), 1);
    EXPECT_EQ(FolderLevel("C:\\Program Files\\"), 1);
    EXPECT_EQ(FolderLevel("C:\\Program Files\\Quilvane"), 2);
    EXPECT_EQ(FolderLevel("C:\\A\\\\"), 2) << "only one trailing backslash is left out";
}

TEST_F(FileCtrl, DriveListShowsCToZWithoutCdDrivesLabelsInLowerCaseAndPictures) {
    TempFolder cd, stick, plain;
    ASSERT_TRUE(test::WriteWholeFile(stick / ".windows-label", "My STICK"));
    TestDrive cdDrive('k', cd.Path()), stickDrive('l', stick.Path()), plainDrive('m', plain.Path());
    REQUIRE_DRIVE(cdDrive, DRIVE_CDROM);
    REQUIRE_DRIVE(stickDrive, DRIVE_REMOVABLE);
    REQUIRE_DRIVE(plainDrive, DRIVE_FIXED);

    SetLastError(0xdeadbeef);
    drives_->RebuildDriveList();
    const DWORD mask = GetLogicalDrives();
    EXPECT_EQ(drives_->DriveMask(), mask);
    EXPECT_EQ(drives_->CurrentIndex(), -1) << "a rebuild leaves no selection";

    const std::vector<std::string> items = DriveItems();
    std::string all;
    for (const auto& item : items) all += "\"" + item + "\" ";
    // One item per drive C: to Z: that is not a CD drive, in letter order.
    std::vector<char> expected;
    for (int n = 2; n <= 25; ++n) {
        const char letter = static_cast<char>('a' + n);
        if ((mask & (1u << n)) && GetDriveTypeA((std::string(1, letter) + ":\\").c_str()) != DRIVE_CDROM)
            expected.push_back(letter);
    }
    ASSERT_EQ(items.size(), expected.size()) << all;
    for (std::size_t i = 0; i < items.size(); ++i) {
        EXPECT_EQ(items[i].substr(0, 3), std::string(1, expected[i]) + ": ") << all;
        EXPECT_EQ(items[i], Lower(items[i])) << "not in lower case: " << items[i];
    }
    EXPECT_EQ(DriveIndex('k'), -1) << "the CD drive is listed: " << all;
    EXPECT_EQ(DriveIndex('a'), -1) << all;
    EXPECT_EQ(DriveIndex('b'), -1) << all;

    ASSERT_GE(DriveIndex('l'), 0) << all;
    EXPECT_EQ(drives_->ItemText(DriveIndex('l')), "l: [my stick]");
    EXPECT_TRUE(drives_->ItemIsPortable(DriveIndex('l'))) << "the removable drive's picture";
    ASSERT_GE(DriveIndex('m'), 0) << all;
    EXPECT_EQ(drives_->ItemText(DriveIndex('m')), "m: ") << "a drive without label has no brackets";
    EXPECT_FALSE(drives_->ItemIsPortable(DriveIndex('m')));
    ASSERT_GE(DriveIndex('c'), 0) << all;
    EXPECT_FALSE(drives_->ItemIsPortable(DriveIndex('c')));
    // The item texts are the list's own strings, for screen readers.
    char text[64] = {};
    SendMessageA(combo_, CB_GETLBTEXT, static_cast<WPARAM>(DriveIndex('l')), reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ(text, "l: [my stick]");
}

TEST_F(FileCtrl, SelectingADriveMovesTheFolderListByTheProgramFilesAndSamePathRules) {
    TempFolder other;
    // m: shows the C: drive's own tree, so every path on C: exists on m: too.
    TestDrive mirror('m', "C:\\"), empty('l', other.Path());
    REQUIRE_DRIVE(mirror, DRIVE_FIXED);
    REQUIRE_DRIVE(empty, DRIVE_FIXED);
    drives_->RebuildDriveList();
    TempFolder start;
    MakeFolder(start / "Sub");
    ASSERT_EQ(start.Path().substr(0, 2), "C:") << "the temporary folder is expected on C:";

    folders_->SetFolder(start / "Sub");
    EXPECT_EQ(folders_->FolderPath(), start / "Sub");
    EXPECT_EQ(drives_->SelectedDrive(), 'c');
    EXPECT_EQ(drives_->ItemText(drives_->CurrentIndex()).substr(0, 2), "c:");
    EXPECT_EQ(folderChanges_, 1);
    EXPECT_EQ(driveChanges_, 1);
    EXPECT_FALSE(folders_->InFolderChange());

    // The same path exists on m: and is kept, with the lower-case letter.
    drives_->SelectDrive('M');
    EXPECT_EQ(drives_->SelectedDrive(), 'm');
    EXPECT_EQ(folders_->FolderPath(), "m" + (start / "Sub").substr(1));
    EXPECT_EQ(folders_->ItemText(folders_->CurrentIndex()), folders_->FolderPath());
    EXPECT_EQ(folderChanges_, 2);
    EXPECT_EQ(driveChanges_, 2);
    drives_->SelectDrive('m');
    EXPECT_EQ(driveChanges_, 2) << "selecting the selected drive again does nothing";

    // It does not exist on l:, which shows its root.
    drives_->SelectDrive('l');
    EXPECT_EQ(folders_->FolderPath(), "l:\\");
    EXPECT_EQ(FolderItems(), std::vector<std::string>{"l:\\"}) << "an empty drive has no sub-folders";
    EXPECT_EQ(folders_->CurrentIndex(), 0);

    // The Program Files drive goes to Program Files, or to the product's
    // folder below it once that exists.
    const std::string programFiles = GetSpecialFolder(CSIDL_PROGRAM_FILES);
    ASSERT_GE(programFiles.size(), 4u);
    const char pfDrive = Lower(programFiles).front();
    const std::string product = JoinPath(programFiles, "Quilvane");
    const bool productExisted = FolderExists(product);
    if (!productExisted) {
        drives_->SelectDrive(pfDrive);
        EXPECT_EQ(folders_->FolderPath(), std::string(1, pfDrive) + programFiles.substr(1) + "\\");
        EXPECT_EQ(folders_->ItemText(folders_->CurrentIndex()), std::string(1, pfDrive) + programFiles.substr(1));
        drives_->SelectDrive('l');
        MakeFolder(product);
    }
    drives_->SelectDrive(pfDrive);
    EXPECT_EQ(folders_->FolderPath(), std::string(1, pfDrive) + product.substr(1));
    if (!productExisted) RemoveDirectoryA(product.c_str());

    // Picking an item in the list is a selection change like the user's.
    const int lIndex = DriveIndex('l');
    ASSERT_GE(lIndex, 0);
    SendMessageA(combo_, CB_SETCURSEL, static_cast<WPARAM>(lIndex), 0);
    SendMessageA(host_, WM_COMMAND, MAKEWPARAM(kComboId, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo_));
    EXPECT_EQ(drives_->SelectedDrive(), 'l');
    EXPECT_EQ(folders_->FolderPath(), "l:\\");
}

TEST_F(FileCtrl, SetFolderClimbsToTheNearestExistingFolderAndFollowsTheDrive) {
    TempFolder folder;
    MakeFolder(folder / "A");
    MakeFolder(folder / "A\\B");

    folders_->SetFolder(folder / "A\\No Such\\Deeper\\");
    EXPECT_EQ(folders_->FolderPath(), folder / "A\\");
    std::vector<std::string> expected = PathItems(folder / "A");
    expected.push_back(folder / "A\\B");
    EXPECT_EQ(FolderItems(), expected);
    EXPECT_EQ(folders_->CurrentIndex(), FolderLevel(folder / "A")) << "the current folder is selected";
    EXPECT_TRUE(folders_->ItemIsOnPath(folders_->CurrentIndex()));
    EXPECT_FALSE(folders_->ItemIsOnPath(folders_->Count() - 1)) << "a sub-folder has the closed picture";
    EXPECT_EQ(folderChanges_, 1);

    // The same folder in other letter cases is no change.
    folders_->SetFolder(Lower(folder / "A\\"));
    folders_->SetFolder("");
    EXPECT_EQ(folderChanges_, 1);

    // A drive that does not exist ends at its root; the drive list follows
    // the letter even though it does not list it.
    char absent = 0;
    for (char c = 'y'; c > 'g' && !absent; --c)
        if (!(GetLogicalDrives() & (1u << (c - 'a')))) absent = c;
    ASSERT_NE(absent, 0);
    const std::string root = std::string(1, absent) + ":\\";
    folders_->SetFolder(root + "Missing\\Folder");
    EXPECT_EQ(folders_->FolderPath(), root);
    EXPECT_EQ(FolderItems(), std::vector<std::string>{root});
    EXPECT_EQ(drives_->SelectedDrive(), absent);
    EXPECT_EQ(drives_->CurrentIndex(), -1);
    EXPECT_EQ(folderChanges_, 2) << "one change, though the drive list moved the list as well";

    // A relative path that does not exist has nothing to climb to.
    folders_->SetFolder("Relative\\Folder");
    EXPECT_EQ(folders_->FolderPath(), root);

    // A text longer than MAX_PATH is taken like any other.
    const std::string longPath = folder.Path() + std::string(300, 'x') + "\\" + std::string(300, 'y');
    folders_->SetFolder(longPath);
    EXPECT_EQ(Lower(folders_->FolderPath()), Lower(folder.Path()));
    EXPECT_EQ(drives_->SelectedDrive(), 'c');
}

TEST_F(FileCtrl, SubFoldersAreSortedByTheLocaleWithoutHiddenOrSystemOnes) {
    TempFolder folder;
    std::vector<std::string> names = {"gamma", "beta", "Delta", "Alpha"};
    // Byte order would put a letter with a diacritic after "z"; the locale
    // puts it beside its base letter.
    if (GetACP() == 1252) names.push_back("\xC4hnlich");
    for (const auto& name : names) MakeFolder(folder / name);
    MakeFolder(folder / ".dotted");  // hidden by Wine's rule for dot names
    MakeFolder(folder / "Hidden");
    MakeFolder(folder / "System");
    ASSERT_TRUE(test::WriteWholeFile(folder / "file.txt", "x"));
    SetFileAttributesA((folder / "Hidden").c_str(), FILE_ATTRIBUTE_HIDDEN);
    SetFileAttributesA((folder / "System").c_str(), FILE_ATTRIBUTE_SYSTEM);
    for (const char* name : {".dotted", "Hidden", "System"})
        if (!(GetFileAttributesA((folder / name).c_str()) & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)))
            names.push_back(name);  // the file system cannot keep the attribute

    folders_->SetFolder(folder.Path());
    std::vector<std::string> sorted = names;
    std::sort(sorted.begin(), sorted.end(), [](const std::string& a, const std::string& b) {
        return CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.c_str(), -1, b.c_str(), -1) == CSTR_LESS_THAN;
    });
    std::vector<std::string> expected = PathItems(folder.Path());
    for (const auto& name : sorted) expected.push_back(folder.Path() + name);
    EXPECT_EQ(FolderItems(), expected);
    if (GetACP() == 1252) {
        EXPECT_EQ(sorted[0], "\xC4hnlich");
        EXPECT_EQ(sorted[2], "beta");
    }
    const int first = static_cast<int>(PathItems(folder.Path()).size());
    EXPECT_EQ(folders_->ItemCaption(first), sorted[0]) << "a sub-folder shows its own name";
    EXPECT_EQ(folders_->ItemCaption(0), folder.Path().substr(0, 2)) << "the root shows its drive";
    EXPECT_TRUE(folders_->PreserveCase()) << "Wine's drives keep the case of names";
}

TEST_F(FileCtrl, AClickOrAnArrowKeyOpensAFolderAtOnce) {
    TempFolder folder;
    MakeFolder(folder / "One");
    MakeFolder(folder / "Two");
    MakeFolder(folder / "Two\\Inner");
    folders_->SetFolder(folder.Path());
    const int current = folders_->CurrentIndex();
    ASSERT_EQ(folders_->ItemText(current + 2), folder / "Two");

    folderChanges_ = 0;
    ClickFolderItem(current + 2);
    EXPECT_EQ(folders_->FolderPath(), folder / "Two");
    EXPECT_EQ(folders_->CurrentIndex(), current + 1);
    EXPECT_EQ(folders_->ItemText(current + 2), folder / "Two\\Inner");
    EXPECT_EQ(folderChanges_, 1) << "the release of the button changes nothing more";

    // Up goes to the parent folder, at once.
    SetFocus(list_);
    PressKey(list_, VK_UP, 1);
    EXPECT_EQ(Lower(folders_->FolderPath()), Lower(folder.Path().substr(0, folder.Path().size() - 1)));
    EXPECT_EQ(folderChanges_, 2);
}

TEST_F(FileCtrl, ItemsAreIndentedAndDrawnWithTransparentPicturesAtEveryDpi) {
    TempFolder folder;
    MakeFolder(folder / "Sub");
    for (int dpi : {96, 144}) {
        SCOPED_TRACE(dpi);
        Make(dpi);
        folders_->SetFolder(folder.Path());
        const auto scaled = [dpi](int value) { return MulDiv(value, dpi, 96); };

        // Row heights: the picture and 1 for folders, the text and 4 for
        // drives, whichever is larger.
        HDC screen = GetDC(list_);
        HGDIOBJ old = SelectObject(screen, font_.get());
        TEXTMETRICA metrics{};
        GetTextMetricsA(screen, &metrics);
        SelectObject(screen, old);
        ReleaseDC(list_, screen);
        EXPECT_EQ(folders_->ItemHeight(), std::max<int>(metrics.tmHeight, scaled(16) + scaled(1)));
        EXPECT_EQ(SendMessageA(list_, LB_GETITEMHEIGHT, 0, 0), folders_->ItemHeight());
        EXPECT_EQ(drives_->ItemHeight(), std::max<int>(metrics.tmHeight + scaled(4), scaled(11)));
        EXPECT_EQ(SendMessageA(combo_, CB_GETITEMHEIGHT, 0, 0), drives_->ItemHeight());

        const int level = FolderLevel(folder.Path());
        const int sub = folders_->Count() - 1;
        ASSERT_EQ(folders_->ItemText(sub), folder / "Sub");
        const int openInk = FirstOpaqueColumn("OPENFOLDER", dpi);
        const int closedInk = FirstOpaqueColumn("CLOSEDFOLDER", dpi);
        const COLORREF window = GetSysColor(COLOR_WINDOW) & 0xFFFFFF;
        const int height = folders_->ItemHeight();
        for (int index : {0, 1, level, sub}) {
            SCOPED_TRACE(index);
            DrawnItem drawn(400, height);
            ASSERT_TRUE(folders_->DrawItem(drawn.Item(ODT_LISTBOX, list_, index, 0)));
            const bool onPath = index != sub;
            const int indent = scaled(onPath ? index * 12 + 3 : level * 12 + 15);
            EXPECT_EQ(drawn.FirstInk(window), indent + (onPath ? openInk : closedInk));
            // The bottom-left pixel's colour is left out: the row shows through.
            const int top = (height - scaled(16)) / 2;
            EXPECT_EQ(drawn.Pixel(indent, top + scaled(16) - 1), window);
            // The text begins 4 pixels after the picture.
            const int textInk = drawn.FirstInk(window, indent + scaled(16) + scaled(4));
            EXPECT_GE(textInk, indent + scaled(16) + scaled(4));
            EXPECT_LE(textInk, indent + scaled(16) + scaled(4) + scaled(3));
        }
        // A selected row keeps its picture's transparency on the highlight:
        // the pictures' background (their corners) shows the row, and their
        // black outline is drawn.
        DrawnItem selected(400, height);
        folders_->DrawItem(selected.Item(ODT_LISTBOX, list_, 0, ODS_SELECTED));
        const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT) & 0xFFFFFF;
        const int pictureTop = (height - scaled(16)) / 2;
        EXPECT_EQ(selected.Pixel(scaled(3), pictureTop + scaled(16) - 1), highlight) << "bottom-left corner";
        EXPECT_EQ(selected.Pixel(scaled(3), pictureTop), highlight) << "top-left corner";
        EXPECT_EQ(selected.Pixel(scaled(3), pictureTop + scaled(8)), RGB(0, 0, 0)) << "the outline";

        // A drive: the picture 2 pixels in, the text 6 pixels after it, on
        // the window colour also when selected.
        const int c = DriveIndex('c');
        ASSERT_GE(c, 0);
        DrawnItem drive(400, drives_->ItemHeight());
        drives_->DrawItem(drive.Item(ODT_COMBOBOX, combo_, c, ODS_SELECTED));
        const int pictureInk = drive.FirstInk(window);
        const int driveTop = (drives_->ItemHeight() - scaled(11)) / 2;
        EXPECT_EQ(drive.Pixel(scaled(2), driveTop), window) << "the drive picture's corner";
        EXPECT_EQ(drive.Pixel(scaled(2), driveTop + scaled(11) - 1), window);
        EXPECT_EQ(pictureInk, scaled(2) + FirstOpaqueColumn("FIXEDDRIVE", dpi));
        const int textStart = scaled(2) + scaled(16) + scaled(6);
        const int textInk = drive.FirstInk(window, std::max(drive.FirstBlank(window, pictureInk), pictureInk));
        EXPECT_GE(textInk, textStart);
        EXPECT_LE(textInk, textStart + scaled(3));
    }
}

}  // namespace
}  // namespace qwp
