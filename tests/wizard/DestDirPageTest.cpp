// Page 2 in the wizard: the pickers' place and start folder, the folder text
// cleaned up by NormalizeDestDir, the pickers rewriting the edit box, and
// the one-second drive polling with drives that come and go while the
// wizard is open. Drives are made through Wine's mount manager, which
// GetLogicalDrives sees at once (a bare link in the prefix's dosdevices
// folder is seen only after the Wine server restarts).
#include "tests/support/ControlHost.h"
#include "tests/support/TestDrive.h"
#include "tests/support/Text.h"
#include "tests/wizard/WizardFixture.h"

#include <cstring>
#include <iterator>

namespace qwp::test {
namespace {

std::string ProgramFiles() { return GetSpecialFolder(CSIDL_PROGRAM_FILES); }

void MakeFolder(const std::string& path) { ASSERT_TRUE(CreateDirectoryA(path.c_str(), nullptr)) << path; }

class DestDirPageTest : public WizardTest {
protected:
    void Tick() { SendMessageA(form().Handle(), WM_TIMER, 1, 0); }
    std::string SelectedDriveText() {
        return form().DestDirCmbBx().ItemText(form().DestDirCmbBx().CurrentIndex());
    }
    int FolderIndex(const std::string& path) {
        for (int i = 0; i < form().DestDirLstBx().Count(); ++i)
            if (form().DestDirLstBx().ItemText(i) == path) return i;
        return -1;
    }
    void ClickFolder(int index) {
        HWND list = Ctl(IDC_DestDirLstBx);
        RECT r{};
        SendMessageA(list, LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r));
        const LPARAM at = MAKELPARAM(r.left + 60, (r.top + r.bottom) / 2);
        PostMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
        PostMessageA(list, WM_LBUTTONUP, 0, at);
        Pump();
    }
    // Picks a drive in the drive list as the user does.
    void PickDrive(char letter) {
        HWND combo = Ctl(IDC_DestDirCmbBx);
        const int count = form().DestDirCmbBx().Count();
        for (int i = 0; i < count; ++i)
            if (form().DestDirCmbBx().ItemText(i)[0] == letter) {
                SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(i), 0);
                SendMessageA(GetParent(combo), WM_COMMAND, MAKEWPARAM(IDC_DestDirCmbBx, CBN_SELCHANGE),
                             reinterpret_cast<LPARAM>(combo));
                return;
            }
        ADD_FAILURE() << "drive " << letter << " is not listed";
    }
    TempFolder folder_;
};

TEST_F(DestDirPageTest, PickersSitOnThePageAndShowTheNearestFolderOfTheStartText) {
    MakeFolder(folder_ / "Existing");
    const std::string typed = folder_ / "Existing\\Not Yet\\Quilvane";
    for (int dpi : {96, 144}) {
        SCOPED_TRACE(dpi);
        MakeForm({"-d" + typed}, dpi);
        WalkTo(2);
        EXPECT_EQ(TextOf(IDC_DestDirEdt), typed) << "the start text stays as typed";
        EXPECT_EQ(form().DestDirLstBx().FolderPath(), folder_ / "Existing\\");
        EXPECT_EQ(form().DestDirCmbBx().SelectedDrive(), 'c');
        EXPECT_EQ(SelectedDriveText().substr(0, 3), "c: ");
        EXPECT_EQ(form().DestDirLstBx().ItemText(form().DestDirLstBx().CurrentIndex()), folder_ / "Existing");

        // Places relative to the page, scaled; the folder list's rows are 17
        // pixels at 96 DPI, the drive list closes inside the page.
        const auto placed = [](HWND control) {
            RECT r;
            GetWindowRect(control, &r);
            MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&r), 2);
            return r;
        };
        const RECT list = placed(Ctl(IDC_DestDirLstBx)), combo = placed(Ctl(IDC_DestDirCmbBx));
        EXPECT_EQ(list.left, Scale(11, dpi));
        EXPECT_EQ(list.top, Scale(48, dpi));
        EXPECT_EQ(list.right, Scale(11 + 345, dpi));
        EXPECT_EQ(list.bottom, Scale(48 + 174, dpi));
        EXPECT_EQ(combo.left, Scale(11, dpi));
        EXPECT_EQ(combo.top, Scale(225, dpi));
        EXPECT_EQ(combo.right, Scale(11 + 345, dpi));
        RECT page;
        GetClientRect(Ctl(IDC_DestDirTabSheet), &page);
        EXPECT_LE(combo.bottom, page.bottom);
        if (dpi == 96) {
            EXPECT_EQ(SendMessageA(Ctl(IDC_DestDirLstBx), LB_GETITEMHEIGHT, 0, 0), 17);
        }
        EXPECT_EQ(SendMessageA(Ctl(IDC_DestDirLstBx), LB_GETITEMHEIGHT, 0, 0), form().DestDirLstBx().ItemHeight());
        EXPECT_TRUE(IsWindowVisible(Ctl(IDC_DestDirLstBx)));
        EXPECT_TRUE(IsWindowVisible(Ctl(IDC_DestDirCmbBx)));
        // Tab goes from the edit box to the folder list and the drive list.
        SetFocus(Ctl(IDC_DestDirEdt));
        EXPECT_EQ(GetNextDlgTabItem(form().Handle(), Ctl(IDC_DestDirEdt), FALSE), Ctl(IDC_DestDirLstBx));
        EXPECT_EQ(GetNextDlgTabItem(form().Handle(), Ctl(IDC_DestDirLstBx), FALSE), Ctl(IDC_DestDirCmbBx));
    }
}

TEST_F(DestDirPageTest, NormalizeDestDirNamesAProductFolder) {
    const std::string removable = Environment("QWP_REMOVABLE_DRIVE");
    if (removable.empty()) GTEST_SKIP() << "no removable drive in this environment";
    const char other = Lower(removable)[0];
    MakeForm();
    const std::string programFiles = ProgramFiles();
    ASSERT_GE(programFiles.size(), 4u);
    const std::string pfDrive(1, Lower(programFiles)[0]);

    const auto normalized = [&](const std::string& typed) {
        SetWindowTextA(Ctl(IDC_DestDirEdt), typed.c_str());
        form().NormalizeDestDir();
        return TextOf(IDC_DestDirEdt);
    };
    // Before anything is picked, a text without a drive takes the drive
    // the list shows (the start folder's).
    EXPECT_EQ(normalized("Relative\\Folder"), pfDrive + ":\\Quilvane");
    EXPECT_EQ(normalized("  C:\\Some Folder\\Sub\\  "), "C:\\Some Folder\\Sub");
    EXPECT_EQ(normalized("D:\\"), "D:\\Quilvane");
    EXPECT_EQ(normalized("D:"), "D:\\Quilvane");
    EXPECT_EQ(normalized(" \tD:\\Tab"), pfDrive + ":\\Quilvane") << "only blanks are trimmed";
    EXPECT_EQ(normalized(Lower(programFiles)), Lower(programFiles) + "\\Quilvane");
    std::string upper = programFiles;
    CharUpperBuffA(&upper[0], static_cast<DWORD>(upper.size()));
    EXPECT_EQ(normalized(upper + "\\ "), upper + "\\Quilvane");
    EXPECT_EQ(normalized(programFiles + "\\Other"), programFiles + "\\Other");
    EXPECT_EQ(normalized("\\\\server\\share\\"), "\\\\server\\share\\Quilvane");
    // A text longer than MAX_PATH is kept as typed.
    const std::string longPath = "C:\\" + std::string(300, 'x') + "\\" + std::string(200, 'y');
    EXPECT_EQ(normalized(longPath + "\\"), longPath);

    // Once another drive is selected, a text without a drive part is the
    // product folder at that drive's root.
    form().DestDirCmbBx().SelectDrive(other);
    EXPECT_EQ(form().DestDirCmbBx().SelectedDrive(), other);
    EXPECT_EQ(normalized(""), std::string(1, other) + ":\\Quilvane");
    EXPECT_EQ(normalized("   "), std::string(1, other) + ":\\Quilvane");
    EXPECT_EQ(normalized("Relative\\Folder"), std::string(1, other) + ":\\Quilvane");
}

TEST_F(DestDirPageTest, PickingAFolderOrADriveRewritesTheEditBoxAndTypingMovesNothing) {
    MakeFolder(folder_ / "Apps");
    MakeFolder(folder_ / "Apps\\Inner");
    MakeForm({"-d" + folder_.Path()});
    WalkTo(2);
    EXPECT_EQ(TextOf(IDC_DestDirEdt), folder_.Path()) << "construction does not rewrite the text";

    const int apps = FolderIndex(folder_ / "Apps");
    ASSERT_GT(apps, 0);
    ClickFolder(apps);
    EXPECT_EQ(form().DestDirLstBx().FolderPath(), folder_ / "Apps");
    EXPECT_EQ(TextOf(IDC_DestDirEdt), folder_ / "Apps");
    ASSERT_EQ(FolderIndex(folder_ / "Apps\\Inner"), form().DestDirLstBx().CurrentIndex() + 1);

    // Typing does not move the list.
    SetWindowTextA(Ctl(IDC_DestDirEdt), "D:\\Typed");
    EXPECT_EQ(form().DestDirLstBx().FolderPath(), folder_ / "Apps");

    // The root item: the product folder at the root of the drive.
    ClickFolder(0);
    EXPECT_EQ(form().DestDirLstBx().FolderPath(), folder_.Path().substr(0, 3));
    EXPECT_EQ(TextOf(IDC_DestDirEdt), folder_.Path().substr(0, 3) + "Quilvane");

    // A drive picked in the drive list moves the folder list and so the text.
    const std::string removable = Environment("QWP_REMOVABLE_DRIVE");
    if (removable.empty()) return;
    const char other = Lower(removable)[0];
    PickDrive(other);
    EXPECT_EQ(form().DestDirCmbBx().SelectedDrive(), other);
    EXPECT_EQ(form().DestDirLstBx().FolderPath(), std::string(1, other) + ":\\");
    EXPECT_EQ(TextOf(IDC_DestDirEdt), std::string(1, other) + ":\\Quilvane");
    // Back on the Program Files drive: Program Files, so its product folder.
    PickDrive(Lower(ProgramFiles())[0]);
    EXPECT_TRUE(SameName(TextOf(IDC_DestDirEdt), JoinPath(ProgramFiles(), "Quilvane"))) << TextOf(IDC_DestDirEdt);

    // Next takes the normalised text as the destination.
    SetWindowTextA(Ctl(IDC_DestDirEdt), (folder_ / "Apps\\").c_str());
    Next();
    EXPECT_EQ(form().CurrentPage(), 3);
    EXPECT_EQ(session().Destination(), folder_ / "Apps");
}

TEST_F(DestDirPageTest, DrivesComingAndGoingMoveTheSelectionAndTheText) {
    TempFolder stick, disk;
    TestDrive plugged('p', stick.Path());
    TestDrive second('q', disk.Path());
    MakeForm({"-d" + folder_.Path()});
    WalkTo(2);
    const std::uint32_t before = form().DestDirCmbBx().DriveMask();
    Tick();
    EXPECT_EQ(TextOf(IDC_DestDirEdt), folder_.Path()) << "nothing changed, nothing is rewritten";

    // The drives are looked at on the wizard's own timer 1: it is running
    // (only a timer that exists can be killed), and from here on its ticks
    // are given by the test.
    EXPECT_TRUE(KillTimer(form().Handle(), 1));

    // A removable drive plugged in while the wizard is open: the next tick
    // selects it and the text becomes its product folder.
    if (!plugged.Plug(DRIVE_REMOVABLE)) GTEST_SKIP() << "the mount manager cannot define drives here";
    Tick();
    EXPECT_EQ(form().DestDirCmbBx().SelectedDrive(), 'p');
    EXPECT_EQ(form().DestDirCmbBx().DriveMask(), before | plugged.Bit());
    EXPECT_EQ(SelectedDriveText().substr(0, 3), "p: ");
    EXPECT_EQ(form().DestDirLstBx().FolderPath(), "p:\\");
    EXPECT_EQ(TextOf(IDC_DestDirEdt), "p:\\Quilvane");
    EXPECT_EQ(session().Destination(), folder_.Path()) << "the destination changes only with Next";

    // Another drive comes and goes while p: stays selected: p: stays, and
    // the text the user has typed since is kept.
    SetWindowTextA(Ctl(IDC_DestDirEdt), "p:\\Typed");
    ASSERT_TRUE(second.Plug(DRIVE_FIXED));
    Tick();
    EXPECT_EQ(form().DestDirCmbBx().SelectedDrive(), 'q') << "a new drive is selected";
    EXPECT_EQ(TextOf(IDC_DestDirEdt), "q:\\Quilvane");
    form().DestDirCmbBx().SelectDrive('p');
    second.Unplug();
    Tick();
    EXPECT_EQ(form().DestDirCmbBx().SelectedDrive(), 'p');
    EXPECT_EQ(SelectedDriveText().substr(0, 3), "p: ") << "the kept item is selected again";
    EXPECT_EQ(TextOf(IDC_DestDirEdt), "p:\\Quilvane");

    // The selected drive goes: the Program Files drive takes its place.
    plugged.Unplug();
    Tick();
    const char pfDrive = Lower(ProgramFiles())[0];
    EXPECT_EQ(form().DestDirCmbBx().SelectedDrive(), pfDrive);
    EXPECT_EQ(SelectedDriveText()[0], pfDrive);
    EXPECT_EQ(form().DestDirCmbBx().DriveMask(), before);
    EXPECT_TRUE(SameName(TextOf(IDC_DestDirEdt), JoinPath(ProgramFiles(), "Quilvane"))) << TextOf(IDC_DestDirEdt);
}


// A folder no file can go into is named in an error message and the page
// stays; nothing of the run starts.
TEST_F(DestDirPageTest, UnusableFolderIsRefusedByNameAndThePageStays) {
    const struct {
        const char* typed;
        const char* named;  // the folder as the message names it
        const char* reason;
    } cases[] = {
        {"C:Apps", "C:Apps", "relative to the current folder"},
        {"C:\\Apps\\con", "C:\\Apps\\con", "reserved for a device"},
        {"C:\\Apps\\LPT1.txt\\Sub", "C:\\Apps\\LPT1.txt\\Sub", "reserved for a device"},
        {"C:\\Apps.\\Sub", "C:\\Apps.\\Sub", "ending in a dot or a blank"},
        {"C:\\Apps \\Sub", "C:\\Apps \\Sub", "ending in a dot or a blank"},
        {"C:\\A|b", "C:\\A|b", "no file name may hold"},
        {"C:\\Apps\\..\\x?y", "C:\\x?y", "no file name may hold"},
        {"\\\\server", "\\\\server", "names no share"},
    };
    MakeForm();
    WalkTo(2);
    const std::string before = session().Destination();
    for (const auto& c : cases) {
        answerer_.Queue(MsgResult::OK);
        SetWindowTextA(Ctl(IDC_DestDirEdt), c.typed);
        Next();
        EXPECT_EQ(form().CurrentPage(), 2) << c.typed;
        ASSERT_FALSE(Requests().empty()) << c.typed;
        const MessageRequest& told = Requests().back();
        EXPECT_EQ(told.kind, MsgKind::Error) << c.typed;
        EXPECT_NE(told.text.find(std::string("\"") + c.named + "\""), std::string::npos) << told.text;
        EXPECT_NE(told.text.find(c.reason), std::string::npos) << told.text;
        EXPECT_EQ(session().Destination(), before) << c.typed;
    }
    EXPECT_EQ(Requests().size(), std::size(cases));
}

using LongDestinationTest = InstallingWizardTest;

// A destination longer than MAX_PATH is shown as typed and refused by name
// on its page: no file of the installation would fit below it.
TEST_F(LongDestinationTest, TextLongerThanMaxPathIsShownAndRefusedOnItsPage) {
    const std::string typed = dest_.Path() + std::string(120, 'a') + "\\" + std::string(150, 'b') + "\\";
    ASSERT_GT(typed.size(), static_cast<std::size_t>(MAX_PATH));
    MakeForm({"-d" + typed});
    WalkTo(2);
    EXPECT_EQ(TextOf(IDC_DestDirEdt), typed);
    EXPECT_EQ(form().DestDirLstBx().FolderPath(), dest_.Path()) << "the nearest folder that exists";
    answerer_.Queue(MsgResult::OK);
    Next();
    EXPECT_EQ(form().CurrentPage(), 2);
    ASSERT_EQ(Requests().size(), 1u);
    EXPECT_EQ(Requests()[0].kind, MsgKind::Error);
    const std::string named = "\"" + typed.substr(0, typed.size() - 1) + "\" is too long";
    EXPECT_NE(Requests()[0].text.find(named), std::string::npos) << Requests()[0].text;
    EXPECT_EQ(Entries(dest_.Path()), std::vector<std::string>{}) << "nothing was made";
}

// A folder of exactly that many characters in the folder given (a folder
// text, with its backslash).
std::string FolderOfLength(const std::string& folder, std::size_t characters) {
    return folder + std::string(characters - folder.size(), 'p');
}

// A stored folder that exists but is too long for the installation is
// passed over as one the rules refuse; one at the limit is taken.
// Hyphenation.dat (15 characters) is the deepest name a normal installation
// writes below its folder: 243 characters, a backslash and that name make
// the 259 a file may have.
TEST_F(DestDirPageTest, StoredFolderTooLongForItsFilesIsPassedOver) {
    const struct {
        std::size_t characters;
        bool taken;
    } cases[] = {{243, true}, {244, false}};
    for (const auto& c : cases) {
        const std::string stored = FolderOfLength(folder_.Path(), c.characters);
        SCOPED_TRACE(stored);
        ASSERT_TRUE(CreateDirectoryA(stored.c_str(), nullptr));
        ASSERT_TRUE(WriteSzValue("Software\\Quilvane Word Processor\\Install", "MAINDIR", stored));
        MakeForm();
        WalkTo(2);
        EXPECT_EQ(TextOf(IDC_DestDirEdt) == stored, c.taken) << TextOf(IDC_DestDirEdt);
        RemoveDirectoryA(stored.c_str());
    }
}

// COM and LPT with a superscript one, two or three, as the code page
// writes them, are devices.
TEST_F(DestDirPageTest, DeviceNamesWithASuperscriptUnitAreRefused) {
    MakeForm();
    WalkTo(2);
    for (const wchar_t* wide : {L"C:\\Apps\\COM\u00B9", L"C:\\Apps\\lpt\u00B3.txt\\Sub", L"C:\\com\u00B2 .log"}) {
        char typed[64] = {};
        BOOL defaulted = FALSE;
        const int length =
            WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide, -1, typed, sizeof typed, nullptr, &defaulted);
        if (length <= 0 || defaulted)
            GTEST_SKIP() << "code page " << GetACP() << " has no superscript digits";
        answerer_.Queue(MsgResult::OK);
        SetWindowTextA(Ctl(IDC_DestDirEdt), typed);
        Next();
        EXPECT_EQ(form().CurrentPage(), 2) << typed;
        ASSERT_FALSE(Requests().empty()) << typed;
        EXPECT_NE(Requests().back().text.find(std::string("\"") + typed + "\" contains a name reserved for a device"),
                  std::string::npos)
            << Requests().back().text;
    }
}

// The Program Files folder is known by its long name whatever spelling was
// typed: its short name gets the product folder too, a folder below it not.
TEST_F(DestDirPageTest, ProgramFilesByItsShortNameGetsTheProductFolder) {
    MakeForm();
    int tried = 0;
    for (const std::string& programFiles : {ProgramFiles(), Environment("ProgramW6432")}) {
        if (programFiles.empty()) continue;
        char shortName[MAX_PATH] = {};
        const DWORD length = GetShortPathNameA(programFiles.c_str(), shortName, sizeof shortName);
        ASSERT_GT(length, 0u) << programFiles;
        ASSERT_LT(length, sizeof shortName) << programFiles;
        if (SameName(shortName, programFiles)) continue;
        ++tried;
        const std::string spelt = shortName;
        for (const auto& [typed, normalized] : {std::pair{spelt, spelt + "\\Quilvane"},
                                                std::pair{spelt + "\\", spelt + "\\Quilvane"},
                                                std::pair{spelt + "\\Other", spelt + "\\Other"}}) {
            SetWindowTextA(Ctl(IDC_DestDirEdt), typed.c_str());
            form().NormalizeDestDir();
            EXPECT_EQ(TextOf(IDC_DestDirEdt), normalized) << programFiles;
        }
    }
    if (tried == 0) GTEST_SKIP() << "the Program Files folders have no short names here";
}

}  // namespace
}  // namespace qwp::test
