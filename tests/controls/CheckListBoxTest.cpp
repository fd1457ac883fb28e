// The check-list box in a real list box under a parent window that forwards
// WM_MEASUREITEM and WM_DRAWITEM and checks every WM_DRAWITEM it receives.
// Mouse and keyboard input is posted to the list and the queue pumped, as
// the system would deliver it.
#include "controls/CheckListBox.h"

#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace qwp {
namespace {

constexpr int kListId = 1001;
constexpr char kHostClass[] = "QwpCheckListHost";

void Pump() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

HWND MakeList(HWND parent, int id, int height = 148) {
    return CreateWindowExA(WS_EX_CLIENTEDGE, "LISTBOX", "",
                           WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_TABSTOP | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS |
                               LBS_NOTIFY | LBS_NOINTEGRALHEIGHT,
                           11, 43, 345, height, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                           GetModuleHandleA(nullptr), nullptr);
}

class CheckListBox : public testing::Test {
protected:
    HWND parent_ = nullptr;
    HWND list_ = nullptr;
    std::unique_ptr<TCheckListBox> box_;
    std::vector<std::string> faults_;  // from the WM_DRAWITEM checks
    std::vector<int> drawnRows_;       // rows handed to OnDrawItem
    int measuredBeforeObject_ = 0;
    int clickChecks_ = 0;

    void SetUp() override {
        RegisterHost();
        parent_ = CreateWindowExA(0, kHostClass, "Check list", WS_OVERLAPPEDWINDOW, 0, 0, 420, 260, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(parent_, nullptr);
        SetWindowLongPtrA(parent_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        list_ = MakeList(parent_, kListId);
        ASSERT_NE(list_, nullptr);
        box_ = std::make_unique<TCheckListBox>(list_);
        SendMessageA(list_, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
        box_->OnClickCheck = [this] { ++clickChecks_; };
        box_->OnDrawItem = [this](HDC dc, int row, const RECT& textRect, bool selected) {
            CheckTextPart(dc, row, textRect, selected);
        };
    }

    void TearDown() override {
        box_.reset();
        if (parent_) DestroyWindow(parent_);
        Pump();
        std::string all;
        for (const auto& fault : faults_) all += fault + "\n";
        EXPECT_TRUE(faults_.empty()) << all;
    }

    void AddRows(const std::vector<std::string>& texts) {
        for (const auto& text : texts) box_->AddRow(text);
    }

    void Show() {
        ShowWindow(parent_, SW_SHOW);
        UpdateWindow(parent_);
        Pump();
    }

    RECT RowRect(int row) const {
        RECT r{};
        SendMessageA(list_, LB_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&r));
        return r;
    }

    // A press and release of the left button at a client point of the list.
    void Click(int x, int y) {
        PostMessageA(list_, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
        PostMessageA(list_, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
        Pump();
    }
    void ClickRow(int row, int x) {
        const RECT r = RowRect(row);
        Click(x, (r.top + r.bottom) / 2);
    }

    // A key press as the keyboard delivers it: TranslateMessage in Pump makes
    // the WM_CHAR of keys that have one.
    void Press(WPARAM key, UINT scanCode) {
        PostMessageA(list_, WM_KEYDOWN, key, static_cast<LPARAM>(1 | (scanCode << 16)));
        PostMessageA(list_, WM_KEYUP, key, static_cast<LPARAM>(1 | (scanCode << 16) | 0xC0000000u));
        Pump();
    }

private:
    // Set while the parent hands a WM_DRAWITEM to the object.
    const DRAWITEMSTRUCT* drawing_ = nullptr;

    void Fault(const DRAWITEMSTRUCT& item, const std::string& what) {
        faults_.push_back("WM_DRAWITEM item " + std::to_string(static_cast<int>(item.itemID)) + ": " + what);
    }

    void CheckDrawItem(const DRAWITEMSTRUCT& item) {
        if (item.CtlID != static_cast<UINT>(kListId) && item.hwndItem != list_) return;  // a test's own list
        if (item.CtlType != ODT_LISTBOX) Fault(item, "CtlType " + std::to_string(item.CtlType));
        if (item.CtlID != static_cast<UINT>(kListId)) Fault(item, "CtlID " + std::to_string(item.CtlID));
        if (item.hwndItem != list_) Fault(item, "hwndItem is not the list");
        if (!item.hDC) Fault(item, "no DC");
        if (!(item.itemAction & (ODA_DRAWENTIRE | ODA_SELECT | ODA_FOCUS)))
            Fault(item, "itemAction " + std::to_string(item.itemAction));
        const LRESULT count = SendMessageA(list_, LB_GETCOUNT, 0, 0);
        if (item.itemID != static_cast<UINT>(-1) && static_cast<LRESULT>(item.itemID) >= count)
            Fault(item, "beyond the last row (" + std::to_string(count) + " rows)");
        if (item.itemID != static_cast<UINT>(-1)) {
            const bool listSelected = SendMessageA(list_, LB_GETSEL, item.itemID, 0) > 0;
            if (listSelected != ((item.itemState & ODS_SELECTED) != 0)) Fault(item, "ODS_SELECTED differs from LB_GETSEL");
        }
        const LRESULT height = SendMessageA(list_, LB_GETITEMHEIGHT, 0, 0);
        if (item.rcItem.bottom - item.rcItem.top != height)
            Fault(item, "row height " + std::to_string(item.rcItem.bottom - item.rcItem.top) + ", list says " +
                            std::to_string(height));
        RECT client;
        GetClientRect(list_, &client);
        if (item.rcItem.left != 0 || item.rcItem.right != client.right)
            Fault(item, "row spans " + std::to_string(item.rcItem.left) + ".." + std::to_string(item.rcItem.right) +
                            ", client width " + std::to_string(client.right));
        if (!box_) return;

        const COLORREF textBefore = item.hDC ? GetTextColor(item.hDC) : 0;
        const COLORREF backBefore = item.hDC ? GetBkColor(item.hDC) : 0;
        drawing_ = &item;
        if (!box_->DrawItem(item)) Fault(item, "DrawItem refused its own list");
        drawing_ = nullptr;
        if (item.hDC && (GetTextColor(item.hDC) != textBefore || GetBkColor(item.hDC) != backBefore))
            Fault(item, "DC colours not put back after drawing");
    }

    void CheckTextPart(HDC dc, int row, const RECT& textRect, bool selected) {
        drawnRows_.push_back(row);
        if (!drawing_) {
            faults_.push_back("OnDrawItem called outside WM_DRAWITEM");
            return;
        }
        const DRAWITEMSTRUCT& item = *drawing_;
        if (row != static_cast<int>(item.itemID)) Fault(item, "OnDrawItem got row " + std::to_string(row));
        if (textRect.left != item.rcItem.left + box_->CheckAreaWidth() || textRect.top != item.rcItem.top ||
            textRect.right != item.rcItem.right || textRect.bottom != item.rcItem.bottom)
            Fault(item, "text rectangle left " + std::to_string(textRect.left) + ", check area " +
                            std::to_string(box_->CheckAreaWidth()));
        if (selected != ((item.itemState & ODS_SELECTED) != 0)) Fault(item, "selected flag");
        const COLORREF text = GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT);
        const COLORREF back = GetSysColor(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW);
        if (GetTextColor(dc) != text || GetBkColor(dc) != back) Fault(item, "DC colours for the row not set");
        if (GetCurrentObject(dc, OBJ_FONT) != reinterpret_cast<HGDIOBJ>(SendMessageA(list_, WM_GETFONT, 0, 0)))
            Fault(item, "list font not selected");
        // Whatever the owner leaves in the DC must not outlive the row.
        SetTextColor(dc, RGB(1, 2, 3));
        SetBkColor(dc, RGB(4, 5, 6));
    }

    static LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* self = reinterpret_cast<CheckListBox*>(GetWindowLongPtrA(window, GWLP_USERDATA));
        if (self && message == WM_MEASUREITEM) {
            auto& item = *reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
            if (self->box_)
                self->box_->MeasureItem(item);
            else
                ++self->measuredBeforeObject_;
            return TRUE;
        }
        if (self && message == WM_DRAWITEM) {
            self->CheckDrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
            return TRUE;
        }
        return DefWindowProcA(window, message, wParam, lParam);
    }

    static void RegisterHost() {
        WNDCLASSA cls{};
        if (GetClassInfoA(GetModuleHandleA(nullptr), kHostClass, &cls)) return;
        cls.lpfnWndProc = &HostProc;
        cls.hInstance = GetModuleHandleA(nullptr);
        cls.hCursor = LoadCursor(nullptr, IDC_ARROW);
        cls.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
        cls.lpszClassName = kHostClass;
        RegisterClassA(&cls);
    }
};

TEST_F(CheckListBox, RowsKeepTheirTextsAsListStrings) {
    const std::vector<std::string> texts = {"Quilvane Word Processor", "English spellchecker", "", "Clip & library"};
    for (std::size_t i = 0; i < texts.size(); ++i) EXPECT_EQ(box_->AddRow(texts[i]), static_cast<int>(i));
    ASSERT_EQ(SendMessageA(list_, LB_GETCOUNT, 0, 0), 4);
    EXPECT_EQ(box_->Count(), 4);
    for (std::size_t i = 0; i < texts.size(); ++i) {
        char buffer[64];
        memset(buffer, 0x55, sizeof buffer);
        const LRESULT length = SendMessageA(list_, LB_GETTEXT, i, reinterpret_cast<LPARAM>(buffer));
        EXPECT_EQ(length, static_cast<LRESULT>(texts[i].size())) << i;
        EXPECT_EQ(std::string(buffer), texts[i]) << i;
        EXPECT_EQ(box_->Text(static_cast<int>(i)), texts[i]);
        EXPECT_EQ(box_->State(static_cast<int>(i)), CheckState::Unchecked);
        EXPECT_EQ(box_->Size(static_cast<int>(i)), 0);
    }
    // Rows that do not exist read as empty and unchecked, and setting them
    // changes nothing.
    EXPECT_EQ(box_->Text(-1), "");
    EXPECT_EQ(box_->Text(4), "");
    box_->SetState(4, CheckState::Checked);
    box_->SetSize(-1, 7);
    EXPECT_EQ(box_->State(4), CheckState::Unchecked);
    EXPECT_EQ(box_->Size(-1), 0);
    EXPECT_FALSE(box_->Chosen(4));
}

TEST_F(CheckListBox, ClickInsideTheBoxPartTogglesAndOutsideOnlySelects) {
    AddRows({"a", "b", "c"});
    Show();
    const int area = box_->CheckAreaWidth();

    ClickRow(1, area - 1);  // the last pixel of the box part
    EXPECT_EQ(box_->State(1), CheckState::Checked);
    EXPECT_EQ(clickChecks_, 1);
    EXPECT_EQ(box_->CurrentRow(), 1) << "a press on the box also selects the row";

    ClickRow(1, 1);
    EXPECT_EQ(box_->State(1), CheckState::Unchecked);
    EXPECT_EQ(clickChecks_, 2);

    ClickRow(2, area);  // the first pixel of the text part
    EXPECT_EQ(box_->State(2), CheckState::Unchecked);
    EXPECT_EQ(box_->CurrentRow(), 2);
    ClickRow(0, 200);
    EXPECT_EQ(box_->CurrentRow(), 0);
    EXPECT_EQ(clickChecks_, 2) << "plain selection ran OnClickCheck";

    // Below the last row, inside the box column.
    const RECT last = RowRect(2);
    Click(area / 2, last.bottom + 10);
    for (int row = 0; row < 3; ++row) EXPECT_EQ(box_->State(row), CheckState::Unchecked) << row;
    EXPECT_EQ(clickChecks_, 2);
}

TEST_F(CheckListBox, GreyedRowBecomesUncheckedByClickAndBySpace) {
    AddRows({"always", "other"});
    box_->SetState(0, CheckState::Grayed);
    EXPECT_TRUE(box_->Chosen(0));
    EXPECT_EQ(clickChecks_, 0) << "a state set by the program is not a user's toggle";
    Show();

    ClickRow(0, box_->CheckAreaWidth() / 2);
    EXPECT_EQ(box_->State(0), CheckState::Unchecked);
    EXPECT_EQ(clickChecks_, 1);

    box_->SetState(0, CheckState::Grayed);
    box_->SetCurrentRow(0);
    Press(VK_SPACE, 0x39);
    EXPECT_EQ(box_->State(0), CheckState::Unchecked);
    EXPECT_EQ(clickChecks_, 2);
    EXPECT_EQ(box_->State(1), CheckState::Unchecked);
}

TEST_F(CheckListBox, SpaceTogglesTheCurrentRowOnceAndArrowsOnlyMove) {
    AddRows({"a", "b", "c", "d"});
    Show();
    int stateSeen = -1;
    box_->OnClickCheck = [&] {
        ++clickChecks_;
        stateSeen = static_cast<int>(box_->State(2));
    };
    box_->SetCurrentRow(2);
    EXPECT_EQ(box_->CurrentRow(), 2);

    Press(VK_SPACE, 0x39);
    EXPECT_EQ(box_->State(2), CheckState::Checked);
    EXPECT_EQ(clickChecks_, 1) << "the space's WM_CHAR must not toggle a second time";
    EXPECT_EQ(stateSeen, static_cast<int>(CheckState::Checked)) << "OnClickCheck ran before the state changed";

    // An auto-repeated key-down (bit 30: the key was already down).
    PostMessageA(list_, WM_KEYDOWN, VK_SPACE, static_cast<LPARAM>(1 | (0x39 << 16) | (1u << 30)));
    Pump();
    EXPECT_EQ(box_->State(2), CheckState::Checked);
    EXPECT_EQ(clickChecks_, 1);

    Press(VK_DOWN, 0x50);
    EXPECT_EQ(box_->CurrentRow(), 3);
    EXPECT_EQ(clickChecks_, 1);
    Press(VK_SPACE, 0x39);
    EXPECT_EQ(box_->State(3), CheckState::Checked);
    EXPECT_EQ(box_->State(2), CheckState::Checked);
    EXPECT_EQ(box_->State(0), CheckState::Unchecked);
    EXPECT_EQ(clickChecks_, 2);
}

TEST_F(CheckListBox, DoubleClickOnTheBoxTogglesTwice) {
    AddRows({"a", "b"});
    Show();
    const RECT r = RowRect(1);
    const LPARAM at = MAKELPARAM(3, (r.top + r.bottom) / 2);
    // A second press soon after the first arrives as WM_LBUTTONDBLCLK.
    PostMessageA(list_, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageA(list_, WM_LBUTTONUP, 0, at);
    PostMessageA(list_, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
    PostMessageA(list_, WM_LBUTTONUP, 0, at);
    Pump();
    EXPECT_EQ(box_->State(1), CheckState::Unchecked);
    EXPECT_EQ(clickChecks_, 2);
}

TEST_F(CheckListBox, ClickOnAPartlyVisibleRowTogglesThatRow) {
    // A press on a row cut off by the bottom edge toggles that row. Some list
    // boxes scroll such a row into view on the press (Wine's does not), so
    // the row is the one under the press before the list handles it.
    SetWindowPos(list_, nullptr, 0, 0, 345, box_->RowHeight() * 2 + box_->RowHeight() / 2 + 4,
                 SWP_NOMOVE | SWP_NOZORDER);
    AddRows({"a", "b", "c", "d", "e"});
    Show();
    const RECT third = RowRect(2);
    RECT client;
    GetClientRect(list_, &client);
    ASSERT_GT(third.bottom, client.bottom) << "row 2 should be cut off by the bottom edge";
    Click(2, third.top + 1);
    EXPECT_EQ(box_->State(2), CheckState::Checked);
    EXPECT_EQ(box_->State(3), CheckState::Unchecked);
    EXPECT_EQ(box_->State(1), CheckState::Unchecked);
    EXPECT_EQ(clickChecks_, 1);
}

TEST_F(CheckListBox, SizesAndStatesStayWithTheirRows) {
    AddRows({"a", "b", "c"});
    box_->SetSize(0, 0x7FFFFFFF);
    box_->SetSize(1, -5);
    box_->SetSize(2, 1234567);
    box_->SetState(1, CheckState::Checked);
    EXPECT_EQ(box_->Size(0), 0x7FFFFFFF);
    EXPECT_EQ(box_->Size(1), -5);
    EXPECT_EQ(box_->Size(2), 1234567);

    // Rows inserted and removed by messages sent to the list directly.
    EXPECT_EQ(SendMessageA(list_, LB_INSERTSTRING, 1, reinterpret_cast<LPARAM>("new")), 1);
    ASSERT_EQ(box_->Count(), 4);
    EXPECT_EQ(box_->Size(1), 0);
    EXPECT_EQ(box_->State(1), CheckState::Unchecked);
    EXPECT_EQ(box_->Size(2), -5);
    EXPECT_EQ(box_->State(2), CheckState::Checked);
    EXPECT_EQ(box_->Size(3), 1234567);

    EXPECT_EQ(SendMessageA(list_, LB_DELETESTRING, 0, 0), 3);
    ASSERT_EQ(box_->Count(), 3);
    EXPECT_EQ(box_->Text(0), "new");
    EXPECT_EQ(box_->Size(1), -5);
    EXPECT_EQ(box_->State(1), CheckState::Checked);

    EXPECT_EQ(SendMessageA(list_, LB_DELETESTRING, 7, 0), LB_ERR);
    EXPECT_EQ(box_->Count(), 3);

    SendMessageA(list_, LB_RESETCONTENT, 0, 0);
    EXPECT_EQ(box_->Count(), 0);
    EXPECT_EQ(box_->AddRow("again"), 0);
    EXPECT_EQ(box_->Size(0), 0);
    EXPECT_EQ(box_->State(0), CheckState::Unchecked);
}

TEST_F(CheckListBox, EveryRowIsDrawnWithItsTextPartRightOfTheBox) {
    AddRows({"a", "b", "c"});
    box_->SetCurrentRow(1);
    Show();
    for (int row = 0; row < 3; ++row)
        EXPECT_NE(std::find(drawnRows_.begin(), drawnRows_.end(), row), drawnRows_.end()) << "row " << row;

    // A state change repaints its row.
    drawnRows_.clear();
    box_->SetState(2, CheckState::Grayed);
    UpdateWindow(list_);
    EXPECT_NE(std::find(drawnRows_.begin(), drawnRows_.end(), 2), drawnRows_.end());
    drawnRows_.clear();
    box_->SetSize(0, 99);
    UpdateWindow(list_);
    EXPECT_NE(std::find(drawnRows_.begin(), drawnRows_.end(), 0), drawnRows_.end());
}

TEST_F(CheckListBox, RowHeightFollowsTheFontAndHoldsTheBox) {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    EXPECT_EQ(box_->CheckAreaWidth(), MulDiv(13, dpi, 96) + 2);

    EXPECT_EQ(SendMessageA(list_, LB_GETITEMHEIGHT, 0, 0), box_->RowHeight());
    EXPECT_GE(box_->RowHeight(), box_->CheckAreaWidth()) << "box height plus 2";

    HFONT big = CreateFontA(-40, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Arial");
    ASSERT_NE(big, nullptr);
    SendMessageA(list_, WM_SETFONT, reinterpret_cast<WPARAM>(big), FALSE);
    const LRESULT height = SendMessageA(list_, LB_GETITEMHEIGHT, 0, 0);
    EXPECT_GE(height, 42) << "font height 40 plus a margin";
    EXPECT_LE(height, 60);
    EXPECT_EQ(height, box_->RowHeight());
    SendMessageA(list_, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    DeleteObject(big);

    EXPECT_GT(measuredBeforeObject_, 0) << "the list measured its rows while being created";
    MEASUREITEMSTRUCT ours{ODT_LISTBOX, static_cast<UINT>(kListId), 0, 0, 0xdeadbeef, 0};
    EXPECT_TRUE(box_->MeasureItem(ours));
    EXPECT_EQ(ours.itemHeight, static_cast<UINT>(box_->RowHeight()));
    MEASUREITEMSTRUCT other{ODT_LISTBOX, static_cast<UINT>(kListId + 1), 0, 0, 0xdeadbeef, 0};
    EXPECT_FALSE(box_->MeasureItem(other));
    EXPECT_EQ(other.itemHeight, 0xdeadbeefu);
}

// Rows drawn into a bitmap of our own, to look at the pixels.
class RowPicture {
public:
    RowPicture(int width, int height) : width_(width), height_(height) {
        HDC screen = GetDC(nullptr);
        dc_ = CreateCompatibleDC(screen);
        bitmap_ = CreateCompatibleBitmap(screen, width, height);
        ReleaseDC(nullptr, screen);
        old_ = SelectObject(dc_, bitmap_);
    }
    ~RowPicture() {
        SelectObject(dc_, old_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    RowPicture(const RowPicture&) = delete;
    RowPicture& operator=(const RowPicture&) = delete;

    void Draw(TCheckListBox& box, HWND list, int row, UINT itemState) {
        DRAWITEMSTRUCT item{};
        item.CtlType = ODT_LISTBOX;
        item.CtlID = kListId;
        item.itemID = static_cast<UINT>(row);
        item.itemAction = ODA_DRAWENTIRE;
        item.itemState = itemState;
        item.hwndItem = list;
        item.hDC = dc_;
        item.rcItem = {0, 0, width_, height_};
        EXPECT_TRUE(box.DrawItem(item));
    }
    std::vector<COLORREF> Pixels(int left, int right) const {
        std::vector<COLORREF> pixels;
        for (int y = 0; y < height_; ++y)
            for (int x = left; x < right; ++x) pixels.push_back(GetPixel(dc_, x, y));
        return pixels;
    }

private:
    int width_, height_;
    HDC dc_;
    HBITMAP bitmap_;
    HGDIOBJ old_;
};

bool AllAre(const std::vector<COLORREF>& pixels, COLORREF colour) {
    return std::all_of(pixels.begin(), pixels.end(), [&](COLORREF p) { return p == colour; });
}

TEST_F(CheckListBox, TheThreeStatesDrawThreeDifferentBoxesInsideTheBoxPart) {
    AddRows({"row"});
    box_->OnDrawItem = nullptr;  // only the list's own drawing
    const int area = box_->CheckAreaWidth();
    const int width = 120;
    const int height = box_->RowHeight();
    RowPicture picture(width, height);

    std::vector<std::vector<COLORREF>> boxes;
    for (CheckState state : {CheckState::Unchecked, CheckState::Checked, CheckState::Grayed}) {
        box_->SetState(0, state);
        picture.Draw(*box_, list_, 0, 0);
        boxes.push_back(picture.Pixels(0, area));
        EXPECT_TRUE(AllAre(picture.Pixels(area, width), GetSysColor(COLOR_WINDOW)))
            << "the box spills into the text part, state " << static_cast<int>(state);
    }
    EXPECT_NE(boxes[0], boxes[1]) << "checked looks unchecked";
    EXPECT_NE(boxes[1], boxes[2]) << "greyed looks checked";
    EXPECT_NE(boxes[0], boxes[2]) << "greyed looks unchecked";
    EXPECT_FALSE(AllAre(boxes[0], GetSysColor(COLOR_WINDOW))) << "no box drawn";

    // The selected row is filled end to end, the box part's margin included.
    box_->SetState(0, CheckState::Checked);
    picture.Draw(*box_, list_, 0, ODS_SELECTED);
    EXPECT_TRUE(AllAre(picture.Pixels(area, width), GetSysColor(COLOR_HIGHLIGHT)));
    EXPECT_TRUE(AllAre(picture.Pixels(0, 1), GetSysColor(COLOR_HIGHLIGHT)));

    // The focus rectangle, unless the keyboard cues are hidden.
    picture.Draw(*box_, list_, 0, 0);
    const auto plain = picture.Pixels(area, width);
    picture.Draw(*box_, list_, 0, ODS_FOCUS);
    EXPECT_NE(picture.Pixels(area, width), plain);
    picture.Draw(*box_, list_, 0, ODS_FOCUS | ODS_NOFOCUSRECT);
    EXPECT_EQ(picture.Pixels(area, width), plain);
}

TEST_F(CheckListBox, AnExceptionFromTheOwnerStopsAtTheList) {
    AddRows({"a"});
    Show();
    int calls = 0;
    box_->OnClickCheck = [&] {
        ++calls;
        throw std::runtime_error("owner failed");
    };
    ClickRow(0, 2);
    PostMessageA(list_, WM_KEYDOWN, VK_SPACE, 1 | (0x39 << 16));
    Pump();
    EXPECT_EQ(calls, 2);
    EXPECT_EQ(box_->State(0), CheckState::Unchecked) << "toggled by the click, then by the space";
    EXPECT_EQ(SendMessageA(list_, LB_GETCOUNT, 0, 0), 1) << "the list still answers";
}

LRESULT CALLBACK ForwardingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return CallWindowProcA(reinterpret_cast<WNDPROC>(GetPropA(window, "QwpTestPrevious")), window, message, wParam,
                           lParam);
}

TEST_F(CheckListBox, TheListGetsItsProcedureBackAndOutlivesTheObject) {
    HWND list = MakeList(parent_, kListId + 1, 60);
    ASSERT_NE(list, nullptr);
    const LONG_PTR original = GetWindowLongPtrA(list, GWLP_WNDPROC);
    {
        TCheckListBox box(list);
        EXPECT_NE(GetWindowLongPtrA(list, GWLP_WNDPROC), original);
        box.AddRow("a");
    }
    EXPECT_EQ(GetWindowLongPtrA(list, GWLP_WNDPROC), original);
    PostMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 3));
    PostMessageA(list, WM_LBUTTONUP, 0, MAKELPARAM(2, 3));
    Pump();
    EXPECT_EQ(SendMessageA(list, LB_GETCOUNT, 0, 0), 1);

    // Someone else subclassed the list after the object: the list keeps
    // working through both procedures once the object is gone.
    {
        TCheckListBox box(list);
        SetPropA(list, "QwpTestPrevious",
                 reinterpret_cast<HANDLE>(SetWindowLongPtrA(list, GWLP_WNDPROC,
                                                            reinterpret_cast<LONG_PTR>(&ForwardingProc))));
    }
    EXPECT_EQ(SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("b")), 1);
    PostMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 3));
    PostMessageA(list, WM_KEYDOWN, VK_SPACE, 1 | (0x39 << 16));
    Pump();
    EXPECT_EQ(SendMessageA(list, LB_GETCOUNT, 0, 0), 2);
    DestroyWindow(list);
    RemovePropA(list, "QwpTestPrevious");

    // The list destroyed before the object.
    list = MakeList(parent_, kListId + 2, 60);
    ASSERT_NE(list, nullptr);
    TCheckListBox box(list);
    box.AddRow("a");
    DestroyWindow(list);
    EXPECT_EQ(box.Handle(), nullptr);
    EXPECT_EQ(box.Count(), 0);
    EXPECT_EQ(box.State(0), CheckState::Unchecked);
}

// With QWP_SHOTS_DIR set (a Windows path), the window stays up with rows in
// all three states until the folder holds a file "done"; a file "ready"
// tells the caller when to take the picture.
TEST_F(CheckListBox, ShowsRowsForAScreenshot) {
    const std::string folder = test::Environment("QWP_SHOTS_DIR");
    if (folder.empty()) GTEST_SKIP() << "QWP_SHOTS_DIR not set";
    AddRows({"Quilvane Word Processor", "English spellchecker", "Hyphenation module", "Document templates",
             "Clip library", "Basic sound scheme"});
    box_->SetState(0, CheckState::Grayed);
    box_->SetState(1, CheckState::Checked);
    box_->SetState(3, CheckState::Checked);
    box_->SetState(4, CheckState::Checked);
    box_->SetCurrentRow(1);
    const auto check = box_->OnDrawItem;
    box_->OnDrawItem = [&](HDC dc, int row, const RECT& r, bool selected) {
        check(dc, row, r, selected);
        const std::string text = box_->Text(row);
        SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
        SetBkMode(dc, TRANSPARENT);
        SIZE extent{};
        GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &extent);
        TextOutA(dc, r.left + 2, (r.top + r.bottom - extent.cy) / 2, text.c_str(), static_cast<int>(text.size()));
    };
    Show();
    SetFocus(list_);
    Pump();
    for (int row = 0; row < 6; ++row)
        EXPECT_NE(std::find(drawnRows_.begin(), drawnRows_.end(), row), drawnRows_.end()) << "row " << row;

    const std::string ready = folder + "\\ready";
    const std::string done = folder + "\\done";
    HANDLE marker = CreateFileA(ready.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(marker, INVALID_HANDLE_VALUE);
    CloseHandle(marker);
    for (int i = 0; i < 600 && GetFileAttributesA(done.c_str()) == INVALID_FILE_ATTRIBUTES; ++i) {
        Pump();
        Sleep(100);
    }
    EXPECT_NE(GetFileAttributesA(done.c_str()), INVALID_FILE_ATTRIBUTES) << "no screenshot taken within a minute";
}

}  // namespace
}  // namespace qwp
