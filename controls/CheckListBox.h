// A list box with a three-state check box in front of every row.
//
// The owner creates an ordinary list box with LBS_OWNERDRAWFIXED |
// LBS_HASSTRINGS | LBS_NOTIFY and hands it over; the rows keep their texts as
// list strings, so accessibility tools can read them. The check box part of
// each row is drawn here; the rest of the row is drawn by the owner's
// callback. A mouse press inside the check box part (its width plus 2
// pixels) or the space key on the current row toggles the row: unchecked
// becomes checked, checked or greyed becomes unchecked; then OnClickCheck
// runs. The parent window forwards its WM_MEASUREITEM and WM_DRAWITEM for the
// list here.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace qwp {

enum class CheckState { Unchecked = 0, Checked = 1, Grayed = 2 };

class TCheckListBox {
public:
    // Takes over the list box (subclassing it) until destroyed.
    explicit TCheckListBox(HWND listBox);
    ~TCheckListBox();
    TCheckListBox(const TCheckListBox&) = delete;
    TCheckListBox& operator=(const TCheckListBox&) = delete;

    HWND Handle() const { return list_; }

    // Adds a row, unchecked, with size 0; returns its index.
    int AddRow(const std::string& text);
    int Count() const;
    std::string Text(int row) const;

    CheckState State(int row) const;
    void SetState(int row, CheckState state);  // repaints the row
    // A row counts as chosen when checked or greyed.
    bool Chosen(int row) const { return State(row) != CheckState::Unchecked; }

    // A number the owner keeps per row (the components page: a byte count).
    std::int32_t Size(int row) const;
    void SetSize(int row, std::int32_t size);  // repaints the row

    int CurrentRow() const;
    void SetCurrentRow(int row);

    // The width of the check box part in device pixels (the box plus 2).
    int CheckAreaWidth() const;

    // Row height in device pixels for WM_MEASUREITEM (the dialog font's
    // height plus a margin; at least the check box height).
    int RowHeight() const;

    // Called after the user has toggled a row.
    std::function<void()> OnClickCheck;
    // Draws the text part of a row: the rectangle starts to the right of the
    // check box part. The DC has the list's font selected; background and
    // text colours are the list's (selection colours for the selected row).
    std::function<void(HDC dc, int row, const RECT& textRect, bool selected)> OnDrawItem;

    // For the parent's WM_MEASUREITEM / WM_DRAWITEM; true when the message
    // was for this list.
    bool MeasureItem(MEASUREITEMSTRUCT& item) const;
    bool DrawItem(const DRAWITEMSTRUCT& item);

private:
    static LRESULT CALLBACK SubclassProc(HWND, UINT, WPARAM, LPARAM);
    LRESULT ListProc(UINT message, WPARAM wParam, LPARAM lParam);
    void Toggle(int row);
    void InvalidateRow(int row) const;

    struct Row {
        CheckState state = CheckState::Unchecked;
        std::int32_t size = 0;
    };
    HWND list_;
    WNDPROC previousProc_ = nullptr;
    std::vector<Row> rows_;
};

}  // namespace qwp
