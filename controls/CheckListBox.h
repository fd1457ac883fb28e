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
//
// The list's first WM_MEASUREITEM arrives inside CreateWindow, before this
// object can exist, so the constructor sets the row height itself, and again
// whenever the list gets a new font.
#pragma once

#include "controls/SubclassedWindow.h"

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace qwp {

enum class CheckState { Unchecked = 0, Checked = 1, Grayed = 2 };

class TCheckListBox {
public:
    // Takes over the list box (subclassing it) until destroyed. Rows the list
    // already holds start unchecked with size 0.
    explicit TCheckListBox(HWND listBox);
    // Gives the list its own window procedure back. When the list was
    // destroyed first, there is nothing left to do.
    ~TCheckListBox() = default;
    TCheckListBox(const TCheckListBox&) = delete;
    TCheckListBox& operator=(const TCheckListBox&) = delete;

    // NULL once the list window has been destroyed.
    HWND Handle() const { return list_; }

    // Adds a row, unchecked, with size 0; returns its index, or a negative
    // number (LB_ERR, LB_ERRSPACE) when the list refuses it. Rows added or
    // removed with LB_ADDSTRING, LB_INSERTSTRING, LB_DELETESTRING or
    // LB_RESETCONTENT sent to the list directly keep their states and sizes
    // in step as well.
    int AddRow(const std::string& text);
    int Count() const;
    std::string Text(int row) const;  // empty for a row that does not exist

    // A row that does not exist reads as unchecked with size 0; setting it
    // does nothing.
    CheckState State(int row) const;
    void SetState(int row, CheckState state);  // repaints the row
    // A row counts as chosen when checked or greyed.
    bool Chosen(int row) const { return State(row) != CheckState::Unchecked; }

    // A number the owner keeps per row (the components page: a byte count).
    std::int32_t Size(int row) const;
    void SetSize(int row, std::int32_t size);  // repaints the row

    // The selected row (-1 when none); in a multiple-selection list, the row
    // with the focus rectangle.
    int CurrentRow() const;
    void SetCurrentRow(int row);

    // The width of the check box part in device pixels (the box plus 2).
    int CheckAreaWidth() const { return boxSize_ + 2; }

    // Row height in device pixels (the list font's height plus a margin; at
    // least the check box height plus 2).
    int RowHeight() const;

    // Called after the user has toggled a row; the row already shows its new
    // state. Not called when the program sets a state.
    std::function<void()> OnClickCheck;
    // Draws the text part of a row: the rectangle starts to the right of the
    // check box part. The DC has the list's font selected, the row's
    // background already filled, and its background and text colours set
    // (selection colours for the selected row). Changes the callback makes to
    // the DC are undone afterwards.
    std::function<void(HDC dc, int row, const RECT& textRect, bool selected)> OnDrawItem;

    // For the parent's WM_MEASUREITEM / WM_DRAWITEM; true when the message
    // was for this list.
    bool MeasureItem(MEASUREITEMSTRUCT& item) const;
    bool DrawItem(const DRAWITEMSTRUCT& item);

private:
    LRESULT ListProc(UINT message, WPARAM wParam, LPARAM lParam);
    void TrackRows(UINT message, WPARAM wParam, LRESULT result);
    int CheckBoxRowAt(LPARAM point) const;
    void Toggle(int row);
    void InvalidateRow(int row) const;
    HFONT Font() const;
    void DrawCheckBox(HDC dc, const RECT& row, CheckState state, bool inactive) const;

    struct Row {
        CheckState state = CheckState::Unchecked;
        std::int32_t size = 0;
    };
    HWND list_;  // NULL once the list is destroyed
    int dpi_ = 96;      // the display's pixels per inch
    int boxSize_ = 13;  // the check box's side in device pixels
    std::vector<Row> rows_;
    SubclassedWindow window_;  // last: let go first
};

}  // namespace qwp
