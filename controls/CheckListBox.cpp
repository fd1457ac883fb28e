#include "controls/CheckListBox.h"

#include "instutils/Handles.h"
#include "instutils/SystemLibrary.h"

#include <uxtheme.h>
#include <vssym32.h>
#include <windowsx.h>

#include <algorithm>

namespace qwp {
namespace {

constexpr int kBoxSizeAt96Dpi = 13;  // a button check box at 96 DPI
constexpr int kRowMarginAt96Dpi = 4;  // 2 pixels above and below the text
constexpr int kMaxItemHeight = 255;   // LB_SETITEMHEIGHT refuses more

// The visual-styles functions, looked up once: uxtheme.dll is missing from
// some systems, and linking it would let a planted copy beside the setup load.
struct ThemeApi {
    using OpenFn = HTHEME(WINAPI*)(HWND, LPCWSTR);
    using CloseFn = HRESULT(WINAPI*)(HTHEME);
    using DrawFn = HRESULT(WINAPI*)(HTHEME, HDC, int, int, const RECT*, const RECT*);
    OpenFn open = nullptr;
    CloseFn close = nullptr;
    DrawFn draw = nullptr;
};

template <typename Fn>
Fn Lookup(HMODULE module, const char* name) {
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

const ThemeApi& Themes() {
    static const ThemeApi api = [] {
        ThemeApi found;
        if (HMODULE module = LoadSystemLibrary("uxtheme.dll")) {
            found.open = Lookup<ThemeApi::OpenFn>(module, "OpenThemeData");
            found.close = Lookup<ThemeApi::CloseFn>(module, "CloseThemeData");
            found.draw = Lookup<ThemeApi::DrawFn>(module, "DrawThemeBackground");
            if (!found.open || !found.close || !found.draw) found = ThemeApi{};
        }
        return found;
    }();
    return api;
}

// The button theme of a window while visual styles are on; NULL otherwise.
class ButtonTheme {
public:
    explicit ButtonTheme(HWND window) noexcept
        : theme_(Themes().open ? Themes().open(window, L"BUTTON") : nullptr) {}
    ~ButtonTheme() {
        if (theme_) Themes().close(theme_);
    }
    ButtonTheme(const ButtonTheme&) = delete;
    ButtonTheme& operator=(const ButtonTheme&) = delete;
    HTHEME get() const noexcept { return theme_; }

private:
    HTHEME theme_;
};

int ThemeStateOf(CheckState state, bool inactive) {
    if (state == CheckState::Unchecked) return inactive ? CBS_UNCHECKEDDISABLED : CBS_UNCHECKEDNORMAL;
    return inactive ? CBS_CHECKEDDISABLED : CBS_CHECKEDNORMAL;
}

}  // namespace

TCheckListBox::TCheckListBox(HWND listBox) : list_(IsWindow(listBox) ? listBox : nullptr) {
    {
        WindowDc screen(list_);
        if (screen.get()) dpi_ = GetDeviceCaps(screen.get(), LOGPIXELSY);
    }
    if (dpi_ <= 0) dpi_ = 96;
    boxSize_ = MulDiv(kBoxSizeAt96Dpi, dpi_, 96);
    if (!list_) return;

    const LRESULT count = SendMessageA(list_, LB_GETCOUNT, 0, 0);
    rows_.resize(count > 0 ? static_cast<std::size_t>(count) : 0);
    window_.Attach(
        list_, [this](UINT message, WPARAM wParam, LPARAM lParam) { return ListProc(message, wParam, lParam); },
        [this] {
            list_ = nullptr;
            rows_.clear();
        });
    SendMessageA(list_, LB_SETITEMHEIGHT, 0, MAKELPARAM(RowHeight(), 0));
}

int TCheckListBox::AddRow(const std::string& text) {
    // The row's entry in rows_ is made by TrackRows when the list answers.
    return static_cast<int>(SendMessageA(list_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str())));
}

int TCheckListBox::Count() const {
    return static_cast<int>(rows_.size());
}

std::string TCheckListBox::Text(int row) const {
    const LRESULT length = SendMessageA(list_, LB_GETTEXTLEN, static_cast<WPARAM>(row), 0);
    if (row < 0 || length < 0) return {};
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    const LRESULT copied =
        SendMessageA(list_, LB_GETTEXT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&text[0]));
    text.resize(copied < 0 ? 0 : std::min<std::size_t>(static_cast<std::size_t>(copied), text.size() - 1));
    return text;
}

CheckState TCheckListBox::State(int row) const {
    if (row < 0 || static_cast<std::size_t>(row) >= rows_.size()) return CheckState::Unchecked;
    return rows_[static_cast<std::size_t>(row)].state;
}

void TCheckListBox::SetState(int row, CheckState state) {
    if (row < 0 || static_cast<std::size_t>(row) >= rows_.size()) return;
    rows_[static_cast<std::size_t>(row)].state = state;
    InvalidateRow(row);
}

std::int32_t TCheckListBox::Size(int row) const {
    if (row < 0 || static_cast<std::size_t>(row) >= rows_.size()) return 0;
    return rows_[static_cast<std::size_t>(row)].size;
}

void TCheckListBox::SetSize(int row, std::int32_t size) {
    if (row < 0 || static_cast<std::size_t>(row) >= rows_.size()) return;
    rows_[static_cast<std::size_t>(row)].size = size;
    InvalidateRow(row);
}

int TCheckListBox::CurrentRow() const {
    const bool multiple = (GetWindowLongA(list_, GWL_STYLE) & (LBS_MULTIPLESEL | LBS_EXTENDEDSEL)) != 0;
    const LRESULT row = SendMessageA(list_, multiple ? LB_GETCARETINDEX : LB_GETCURSEL, 0, 0);
    return row < 0 ? -1 : static_cast<int>(row);
}

void TCheckListBox::SetCurrentRow(int row) {
    const bool multiple = (GetWindowLongA(list_, GWL_STYLE) & (LBS_MULTIPLESEL | LBS_EXTENDEDSEL)) != 0;
    if (multiple)
        SendMessageA(list_, LB_SETCARETINDEX, static_cast<WPARAM>(row), FALSE);
    else
        SendMessageA(list_, LB_SETCURSEL, static_cast<WPARAM>(row), 0);
}

HFONT TCheckListBox::Font() const {
    // A list box that was never given a font draws with the system font.
    HFONT font = list_ ? reinterpret_cast<HFONT>(SendMessageA(list_, WM_GETFONT, 0, 0)) : nullptr;
    return font ? font : static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
}

int TCheckListBox::RowHeight() const {
    int fontHeight = 0;
    WindowDc dc(list_);
    if (dc.get()) {
        SelectObjectGuard font(dc.get(), Font());
        TEXTMETRICA metrics{};
        if (GetTextMetricsA(dc.get(), &metrics)) fontHeight = metrics.tmHeight;
    }
    const int height = std::max(fontHeight + MulDiv(kRowMarginAt96Dpi, dpi_, 96), boxSize_ + 2);
    return std::min(height, kMaxItemHeight);
}

bool TCheckListBox::MeasureItem(MEASUREITEMSTRUCT& item) const {
    if (!list_ || item.CtlType != ODT_LISTBOX || item.CtlID != static_cast<UINT>(GetDlgCtrlID(list_)))
        return false;
    item.itemHeight = static_cast<UINT>(RowHeight());
    return true;
}

void TCheckListBox::DrawCheckBox(HDC dc, const RECT& row, CheckState state, bool inactive) const {
    RECT box;
    box.left = row.left + (CheckAreaWidth() - boxSize_) / 2;
    box.top = row.top + (row.bottom - row.top - boxSize_) / 2;
    box.right = box.left + boxSize_;
    box.bottom = box.top + boxSize_;

    ButtonTheme theme(list_);
    if (theme.get() &&
        SUCCEEDED(Themes().draw(theme.get(), dc, BP_CHECKBOX, ThemeStateOf(state, inactive), &box, nullptr)))
        return;
    UINT flags = DFCS_BUTTONCHECK;
    if (state != CheckState::Unchecked) flags |= DFCS_CHECKED;
    if (inactive) flags |= DFCS_INACTIVE;
    DrawFrameControl(dc, &box, DFC_BUTTON, flags);
}

bool TCheckListBox::DrawItem(const DRAWITEMSTRUCT& item) {
    if (!list_ || item.CtlType != ODT_LISTBOX || item.hwndItem != list_) return false;
    HDC dc = item.hDC;
    DcStateGuard state(dc);  // also selects the owner's font back
    SelectObject(dc, Font());

    // An empty list asks for its focus rectangle with item -1.
    const bool isRow = item.itemID != static_cast<UINT>(-1) && item.itemID < rows_.size();
    const bool selected = isRow && (item.itemState & ODS_SELECTED) != 0;
    const bool disabled = (item.itemState & ODS_DISABLED) != 0;
    SetBkMode(dc, OPAQUE);
    SetBkColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : disabled ? COLOR_GRAYTEXT : COLOR_WINDOWTEXT));
    FillRect(dc, &item.rcItem, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));

    if (isRow) {
        const int row = static_cast<int>(item.itemID);
        const CheckState check = State(row);
        DrawCheckBox(dc, item.rcItem, check, check == CheckState::Grayed || disabled);
        RECT textRect = item.rcItem;
        textRect.left = std::min(textRect.right, textRect.left + CheckAreaWidth());
        if (OnDrawItem) OnDrawItem(dc, row, textRect, selected);
    }
    if ((item.itemState & ODS_FOCUS) && !(item.itemState & ODS_NOFOCUSRECT)) DrawFocusRect(dc, &item.rcItem);
    return true;
}

void TCheckListBox::InvalidateRow(int row) const {
    RECT r;
    if (SendMessageA(list_, LB_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&r)) != LB_ERR)
        InvalidateRect(list_, &r, FALSE);
}

void TCheckListBox::Toggle(int row) {
    if (row < 0 || static_cast<std::size_t>(row) >= rows_.size()) return;
    SetState(row, State(row) == CheckState::Unchecked ? CheckState::Checked : CheckState::Unchecked);
    // A copy, so a callback that replaces OnClickCheck does not destroy
    // the function while it runs.
    const auto callback = OnClickCheck;
    if (callback) callback();
}

int TCheckListBox::CheckBoxRowAt(LPARAM point) const {
    const LRESULT hit = SendMessageA(list_, LB_ITEMFROMPOINT, 0, point);
    if (hit < 0 || HIWORD(hit) != 0) return -1;  // below the last row or outside
    const int row = LOWORD(hit);
    RECT r;
    if (SendMessageA(list_, LB_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&r)) == LB_ERR)
        return -1;
    const POINT p{GET_X_LPARAM(point), GET_Y_LPARAM(point)};
    if (!PtInRect(&r, p) || p.x >= r.left + CheckAreaWidth()) return -1;
    return row;
}

void TCheckListBox::TrackRows(UINT message, WPARAM wParam, LRESULT result) {
    if (message == LB_RESETCONTENT) {
        rows_.clear();
        return;
    }
    if (result < 0) return;  // LB_ERR or LB_ERRSPACE: the list did not change
    switch (message) {
        case LB_ADDSTRING:
        case LB_INSERTSTRING:
        case LB_ADDFILE: {
            const std::size_t at = std::min(static_cast<std::size_t>(result), rows_.size());
            rows_.insert(rows_.begin() + static_cast<std::ptrdiff_t>(at), Row{});
            break;
        }
        case LB_DELETESTRING:
            if (wParam < rows_.size()) rows_.erase(rows_.begin() + static_cast<std::ptrdiff_t>(wParam));
            break;
        default:
            break;
    }
}

LRESULT TCheckListBox::ListProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK: {
            // The row under the press is taken before the list handles it:
            // a press on a partly visible last row scrolls the list.
            const int row = CheckBoxRowAt(lParam);
            const LRESULT result = window_.CallPrevious(message, wParam, lParam);
            Toggle(row);
            return result;
        }
        case WM_KEYDOWN:
            if (wParam != VK_SPACE) break;
            // Holding the key down does not flip the row back and forth.
            if (!(lParam & (1L << 30))) {
                const LRESULT caret = SendMessageA(list_, LB_GETCARETINDEX, 0, 0);
                if (caret >= 0) Toggle(static_cast<int>(caret));
            }
            return 0;
        case WM_CHAR:
            // The list would take the space as the start of a row text to
            // jump to.
            if (wParam == ' ') return 0;
            break;
        case WM_SETFONT: {
            // An owner-drawn list keeps its row height through a font change.
            const LRESULT result = window_.CallPrevious(message, wParam, lParam);
            window_.CallPrevious(LB_SETITEMHEIGHT, 0, MAKELPARAM(RowHeight(), 0));
            return result;
        }
        case LB_ADDSTRING:
        case LB_INSERTSTRING:
        case LB_ADDFILE:
        case LB_DELETESTRING:
        case LB_RESETCONTENT: {
            const LRESULT result = window_.CallPrevious(message, wParam, lParam);
            TrackRows(message, wParam, result);
            return result;
        }
        default:
            break;
    }
    return window_.CallPrevious(message, wParam, lParam);
}

}  // namespace qwp
