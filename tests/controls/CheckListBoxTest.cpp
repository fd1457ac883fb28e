// The check-list box in a real list box under the test's host window, which
// checks every WM_DRAWITEM of the list; the rows' text parts are checked
// through OnDrawItem.
#include "controls/CheckListBox.h"
#include "instutils/EscapedException.h"
#include "instutils/SetupError.h"
#include "tests/support/ControlHost.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace qwp {
namespace {

using test::ControlHostTest;
using test::DrawnItem;

constexpr int kListId = 1001;
constexpr LPARAM kSpaceKey = 1 | (0x39 << 16);  // repeat count 1, scan code

class CheckListBox : public ControlHostTest {
protected:
    HWND list_ = nullptr;
    std::unique_ptr<TCheckListBox> box_;
    std::vector<int> drawnRows_;  // rows handed to OnDrawItem
    int measuredEarly_ = 0, clickChecks_ = 0;

    HWND MakeList(int id) const {
        return MakeChild("LISTBOX", WS_EX_CLIENTEDGE,
                         WS_VSCROLL | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT, 11, 43,
                         345, 148, id);
    }

    void SetUp() override {
        MakeHost("Check list", 420, 260);
        list_ = MakeList(kListId);
        box_ = std::make_unique<TCheckListBox>(list_);
        SendMessageA(list_, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
        box_->OnClickCheck = [this] { ++clickChecks_; };
        box_->OnDrawItem = [this](HDC dc, int row, const RECT& r, bool selected) { CheckTextPart(dc, row, r, selected); };
        for (const char* text : {"Quilvane Word Processor", "English spellchecker", "Clip & library", ""})
            box_->AddRow(text);
        ShowHost();
    }
    void ReleaseControls() override { box_.reset(); }

    void ClickRow(int row, int x, UINT message = WM_LBUTTONDOWN) {
        const RECT r = ListItemRect(list_, row);
        ClickAt(list_, x, (r.top + r.bottom) / 2, message);
    }

    bool MeasureItem(MEASUREITEMSTRUCT& item) override {
        if (!box_ || !box_->MeasureItem(item)) ++measuredEarly_;
        return true;
    }
    bool Ignored(const DRAWITEMSTRUCT& item) const override { return item.CtlID != static_cast<UINT>(kListId); }
    bool DrawItem(const DRAWITEMSTRUCT& item) override { return box_ && box_->DrawItem(item); }
    void CheckItem(const DRAWITEMSTRUCT& item) override {
        if (item.CtlType != ODT_LISTBOX || item.hwndItem != list_) Fault("type or window");
        if (item.itemID != static_cast<UINT>(-1) &&
            (static_cast<LRESULT>(item.itemID) >= SendMessageA(list_, LB_GETCOUNT, 0, 0) ||
             (SendMessageA(list_, LB_GETSEL, item.itemID, 0) > 0) != ((item.itemState & ODS_SELECTED) != 0)))
            Fault("beyond the last row, or ODS_SELECTED differs from LB_GETSEL");
        RECT client;
        GetClientRect(list_, &client);
        if (item.rcItem.bottom - item.rcItem.top != SendMessageA(list_, LB_GETITEMHEIGHT, 0, 0) ||
            item.rcItem.left != 0 || item.rcItem.right != client.right)
            Fault("row rectangle is not a full row");
    }

    void CheckTextPart(HDC dc, int row, const RECT& r, bool selected) {
        drawnRows_.push_back(row);
        const DRAWITEMSTRUCT& item = *Drawing();
        if (row != static_cast<int>(item.itemID) || selected != ((item.itemState & ODS_SELECTED) != 0))
            Fault("row or selected flag");
        if (r.left != item.rcItem.left + box_->CheckAreaWidth() || r.top != item.rcItem.top ||
            r.right != item.rcItem.right || r.bottom != item.rcItem.bottom)
            Fault("text rectangle starts at " + std::to_string(r.left));
        if (GetTextColor(dc) != GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT) ||
            GetBkColor(dc) != GetSysColor(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW))
            Fault("row colours not set");
        if (GetCurrentObject(dc, OBJ_FONT) != reinterpret_cast<HGDIOBJ>(SendMessageA(list_, WM_GETFONT, 0, 0)))
            Fault("list font not selected");
        SetTextColor(dc, RGB(1, 2, 3));  // must not outlive the row
        SetBkColor(dc, RGB(4, 5, 6));
    }
};

bool Has(const std::vector<int>& rows, int row) {
    return std::find(rows.begin(), rows.end(), row) != rows.end();
}

TEST_F(CheckListBox, RowsKeepTextsStatesAndSizesThroughTheListsOwnMessages) {
    EXPECT_TRUE(Has(drawnRows_, 0) && Has(drawnRows_, 3)) << "rows not drawn through the callback";
    char text[64];
    ASSERT_EQ(SendMessageA(list_, LB_GETTEXT, 2, reinterpret_cast<LPARAM>(text)), 14);
    EXPECT_STREQ(text, "Clip & library");
    EXPECT_EQ(box_->Text(0), "Quilvane Word Processor");
    EXPECT_EQ(box_->Text(4), "") << "no such row";

    ValidateRect(list_, nullptr);
    drawnRows_.clear();
    box_->SetSize(0, 0x7FFFFFFF);
    box_->SetSize(1, -5);
    box_->SetState(1, CheckState::Checked);
    box_->SetState(9, CheckState::Checked);  // ignored
    UpdateWindow(list_);
    EXPECT_TRUE(Has(drawnRows_, 0) && Has(drawnRows_, 1)) << "changed rows not repainted";
    EXPECT_EQ(box_->Size(0), 0x7FFFFFFF);
    EXPECT_FALSE(box_->Chosen(9));
    EXPECT_EQ(SendMessageA(list_, LB_INSERTSTRING, 1, reinterpret_cast<LPARAM>("new")), 1);
    EXPECT_EQ(SendMessageA(list_, LB_DELETESTRING, 0, 0), 4);
    EXPECT_EQ(SendMessageA(list_, LB_DELETESTRING, 7, 0), LB_ERR);
    ASSERT_EQ(box_->Count(), 4);
    EXPECT_EQ(box_->Text(0), "new");
    EXPECT_EQ(box_->Size(0), 0);
    EXPECT_EQ(box_->State(0), CheckState::Unchecked);
    EXPECT_EQ(box_->Size(1), -5);
    EXPECT_EQ(box_->State(1), CheckState::Checked);
    SendMessageA(list_, LB_RESETCONTENT, 0, 0);
    EXPECT_EQ(box_->Count(), 0);
    EXPECT_EQ(box_->AddRow("again"), 0);
}

TEST_F(CheckListBox, PressesInsideTheBoxPartToggleAndOutsideOnlySelect) {
    const int area = box_->CheckAreaWidth();
    int seen = -1;  // the row's state as OnClickCheck sees it
    box_->OnClickCheck = [&] {
        ++clickChecks_;
        seen = static_cast<int>(box_->State(1));
    };
    ClickRow(1, area - 1);  // the last pixel of the box part
    EXPECT_EQ(box_->State(1), CheckState::Checked);
    EXPECT_EQ(seen, static_cast<int>(CheckState::Checked));
    EXPECT_EQ(box_->CurrentRow(), 1) << "the press also selects the row";
    ClickRow(1, 1);
    EXPECT_EQ(box_->State(1), CheckState::Unchecked);
    EXPECT_EQ(clickChecks_, 2);

    ClickRow(2, area);  // the first pixel of the text part
    EXPECT_EQ(box_->CurrentRow(), 2);
    ClickAt(list_, area / 2, ListItemRect(list_, 3).bottom + 10);  // below the last row
    EXPECT_EQ(box_->CurrentRow(), 2);
    EXPECT_EQ(clickChecks_, 2) << "a plain selection ran OnClickCheck";

    box_->SetState(0, CheckState::Grayed);
    EXPECT_EQ(clickChecks_, 2) << "a state set by the program is not a user's toggle";
    ClickRow(0, area / 2);
    EXPECT_EQ(box_->State(0), CheckState::Unchecked) << "greyed goes to unchecked";
    // The second press of a double click arrives as WM_LBUTTONDBLCLK.
    ClickRow(0, 2);
    ClickRow(0, 2, WM_LBUTTONDBLCLK);
    EXPECT_EQ(box_->State(0), CheckState::Unchecked);
    EXPECT_EQ(clickChecks_, 5);
    for (int row : {1, 2, 3}) EXPECT_EQ(box_->State(row), CheckState::Unchecked) << row;
}

TEST_F(CheckListBox, SpaceTogglesTheCurrentRowOnceAndArrowsOnlyMove) {
    box_->SetCurrentRow(2);
    PressKey(list_, VK_SPACE, kSpaceKey);
    EXPECT_EQ(box_->State(2), CheckState::Checked);
    EXPECT_EQ(clickChecks_, 1) << "the space's WM_CHAR toggled again";
    PressKey(list_, VK_SPACE, kSpaceKey | (1 << 30));  // auto-repeat: the key was down
    EXPECT_EQ(box_->State(2), CheckState::Checked);

    PressKey(list_, VK_UP, 1 | (0x48 << 16));
    EXPECT_EQ(box_->CurrentRow(), 1);
    EXPECT_EQ(clickChecks_, 1);
    box_->SetState(1, CheckState::Grayed);
    PressKey(list_, VK_SPACE, kSpaceKey);
    EXPECT_EQ(box_->State(1), CheckState::Unchecked);
    EXPECT_EQ(box_->State(0), CheckState::Unchecked);
    EXPECT_EQ(clickChecks_, 2);
}

TEST_F(CheckListBox, TheThreeStatesDrawThreeBoxesInsideTheBoxPart) {
    box_->OnDrawItem = nullptr;
    const int area = box_->CheckAreaWidth(), width = 100;
    DrawnItem drawn(width, box_->RowHeight());
    auto draw = [&](UINT itemState, int left, int right) {
        EXPECT_TRUE(box_->DrawItem(drawn.Item(ODT_LISTBOX, list_, 0, itemState)));
        return drawn.Columns(left, right);
    };
    auto allAre = [](const std::vector<COLORREF>& pixels, int colour) {
        return std::all_of(pixels.begin(), pixels.end(), [&](COLORREF p) { return p == GetSysColor(colour); });
    };
    std::vector<std::vector<COLORREF>> boxes;
    for (CheckState state : {CheckState::Unchecked, CheckState::Checked, CheckState::Grayed}) {
        box_->SetState(0, state);
        boxes.push_back(draw(0, 0, area));
        EXPECT_TRUE(allAre(draw(0, area, width), COLOR_WINDOW)) << "box spills over, state " << int(state);
    }
    EXPECT_FALSE(allAre(boxes[0], COLOR_WINDOW)) << "no box drawn";
    EXPECT_NE(boxes[0], boxes[1]);
    EXPECT_NE(boxes[1], boxes[2]) << "greyed looks checked";
    EXPECT_NE(boxes[0], boxes[2]);
    // The selected row is filled end to end, the box part's margin included.
    EXPECT_TRUE(allAre(draw(ODS_SELECTED, area, width), COLOR_HIGHLIGHT));
    EXPECT_TRUE(allAre(draw(ODS_SELECTED, 0, 1), COLOR_HIGHLIGHT));
    EXPECT_NE(draw(ODS_FOCUS, area, width), draw(0, area, width)) << "no focus rectangle";
}

TEST_F(CheckListBox, RowHeightFollowsTheFontAndHoldsTheBox) {
    HDC screen = GetDC(nullptr);
    EXPECT_EQ(box_->CheckAreaWidth(), MulDiv(13, GetDeviceCaps(screen, LOGPIXELSY), 96) + 2);
    ReleaseDC(nullptr, screen);
    EXPECT_EQ(SendMessageA(list_, LB_GETITEMHEIGHT, 0, 0), box_->RowHeight());
    EXPECT_GE(box_->RowHeight(), box_->CheckAreaWidth());
    HFONT big = CreateFontA(-40, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Arial");
    SendMessageA(list_, WM_SETFONT, reinterpret_cast<WPARAM>(big), FALSE);
    const LRESULT height = SendMessageA(list_, LB_GETITEMHEIGHT, 0, 0);
    EXPECT_TRUE(height >= 42 && height <= 60) << height;
    EXPECT_EQ(height, box_->RowHeight());
    SendMessageA(list_, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    DeleteObject(big);

    EXPECT_GT(measuredEarly_, 0) << "the list measures while being created";
    MEASUREITEMSTRUCT ours{ODT_LISTBOX, kListId, 0, 0, 0xdeadbeef, 0}, other = ours;
    other.CtlID = kListId + 1;
    EXPECT_TRUE(box_->MeasureItem(ours));
    EXPECT_EQ(ours.itemHeight, static_cast<UINT>(box_->RowHeight()));
    EXPECT_FALSE(box_->MeasureItem(other));
    EXPECT_EQ(other.itemHeight, 0xdeadbeefu);
}

TEST_F(CheckListBox, OwnerExceptionsStopAtTheListAndTheListOutlivesTheObject) {
    // The row toggles before the owner is told; what the owner throws is
    // kept at the window boundary for the loop that runs the window.
    box_->OnClickCheck = [] { throw std::runtime_error("owner failed"); };
    const auto escaped = [] {
        std::string reason = "nothing kept";
        try {
            RethrowEscapedException();
        } catch (const SetupError& error) {
            reason = error.what();
        }
        return reason;
    };
    ClickRow(0, 2);
    EXPECT_EQ(box_->State(0), CheckState::Checked);
    EXPECT_EQ(escaped(), "owner failed");
    PressKey(list_, VK_SPACE, kSpaceKey);
    EXPECT_EQ(box_->State(0), CheckState::Unchecked);
    EXPECT_EQ(escaped(), "owner failed");

    HWND list = MakeList(kListId + 1);
    const LONG_PTR original = GetWindowLongPtrA(list, GWLP_WNDPROC);
    auto box = std::make_unique<TCheckListBox>(list);
    box->AddRow("a");
    box.reset();
    EXPECT_EQ(GetWindowLongPtrA(list, GWLP_WNDPROC), original);
    PostMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 3));
    test::Pump();
    EXPECT_EQ(SendMessageA(list, LB_GETCOUNT, 0, 0), 1);
    // The list destroyed first.
    DestroyWindow(list);
    list = MakeList(kListId + 2);
    box = std::make_unique<TCheckListBox>(list);
    box->AddRow("a");
    DestroyWindow(list);
    EXPECT_EQ(box->Handle(), nullptr);
    EXPECT_EQ(box->Count(), 0);
}

}  // namespace
}  // namespace qwp
