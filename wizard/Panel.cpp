#include "wizard/Panel.h"
#include "wizard/WindowThunk.h"

#include "instutils/Handles.h"

namespace qwp {

namespace {

bool IsChildNotification(UINT message) {
    switch (message) {
        case WM_COMMAND:
        case WM_NOTIFY:
        case WM_DRAWITEM:
        case WM_MEASUREITEM:
        case WM_DELETEITEM:
        case WM_COMPAREITEM:
        case WM_VKEYTOITEM:
        case WM_CHARTOITEM:
        // A multi-line edit box moves the focus on Tab, and looks for the
        // default button on Enter, by asking its parent as if it were the
        // dialog.
        case WM_NEXTDLGCTL:
        case DM_GETDEFID:
        case DM_SETDEFID:
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORSCROLLBAR:
            return true;
        default:
            return false;
    }
}

}  // namespace

void TPanel::RegisterClass(HINSTANCE instance) {
    WNDCLASSA wc{};
    if (GetClassInfoA(instance, kPanelClass, &wc)) return;
    wc.lpfnWndProc = WindowThunk<TPanel>;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.lpszClassName = kPanelClass;
    ::RegisterClassA(&wc);
}

HWND TPanel::Create(const ControlRow& row, HWND parent, const RECT& rect, HINSTANCE instance) {
    CreateWindowExA(row.exStyle, kPanelClass, row.text, WS_CHILD | row.style, rect.left, rect.top,
                    rect.right - rect.left, rect.bottom - rect.top, parent,
                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(row.id)), instance, this);
    return hwnd_;
}

void TPanel::SetPicture(HBITMAP picture) {
    picture_ = picture;
    if (hwnd_) InvalidateRect(hwnd_, nullptr, TRUE);
}

LRESULT TPanel::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (IsChildNotification(message)) {
        // Child controls talk to their parent; the wizard window decides.
        HWND root = GetAncestor(hwnd_, GA_ROOT);
        if (root && root != hwnd_) return SendMessageA(root, message, wParam, lParam);
        return DefWindowProcA(hwnd_, message, wParam, lParam);
    }
    switch (message) {
        case WM_CLOSE: {
            // A multi-line edit box posts this to its parent on Escape. A
            // container is never closed on its own: it is the wizard's
            // Escape, the Cancel button's key.
            HWND root = GetAncestor(hwnd_, GA_ROOT);
            if (root && root != hwnd_) PostMessageA(root, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
            return 0;
        }
        case WM_ERASEBKGND:
            PaintBackground(reinterpret_cast<HDC>(wParam));
            return 1;
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(hwnd_, &ps);
            if (dc) {
                PaintForeground(dc);
                EndPaint(hwnd_, &ps);
            }
            return 0;
        }
        case WM_PRINTCLIENT:
            PaintBackground(reinterpret_cast<HDC>(wParam));
            PaintForeground(reinterpret_cast<HDC>(wParam));
            return 0;
        default:
            return DefWindowProcA(hwnd_, message, wParam, lParam);
    }
}

void TPanel::PaintBackground(HDC dc) const {
    RECT r;
    GetClientRect(hwnd_, &r);
    HBRUSH brush = look_ == PanelLook::White ? static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH))
                                             : GetSysColorBrush(COLOR_BTNFACE);
    FillRect(dc, &r, brush);
}

void TPanel::PaintForeground(HDC dc) const {
    RECT r;
    GetClientRect(hwnd_, &r);
    switch (look_) {
        case PanelLook::White:
        case PanelLook::Etched:
            // Outer line lowered, inner line raised.
            DrawEdge(dc, &r, BDR_SUNKENOUTER | BDR_RAISEDINNER, BF_RECT);
            break;
        case PanelLook::TabBody:
            DrawEdge(dc, &r, EDGE_RAISED, BF_RECT | BF_SOFT);
            break;
        case PanelLook::LeftLine: {
            // A lowered line: shadow, then highlight, each half the width.
            RECT shadow = r, light = r;
            shadow.right = shadow.left + (r.right - r.left) / 2;
            light.left = shadow.right;
            FillRect(dc, &shadow, GetSysColorBrush(COLOR_BTNSHADOW));
            FillRect(dc, &light, GetSysColorBrush(COLOR_BTNHIGHLIGHT));
            break;
        }
        case PanelLook::TopLine: {
            RECT shadow = r, light = r;
            shadow.bottom = shadow.top + (r.bottom - r.top) / 2;
            light.top = shadow.bottom;
            FillRect(dc, &shadow, GetSysColorBrush(COLOR_BTNSHADOW));
            FillRect(dc, &light, GetSysColorBrush(COLOR_BTNHIGHLIGHT));
            break;
        }
        case PanelLook::Logo:
            PaintPicture(dc, r);
            break;
        case PanelLook::Face:
            break;
    }
}

void TPanel::PaintPicture(HDC dc, const RECT& area) const {
    if (!picture_) return;
    BITMAP bm{};
    if (!GetObjectA(picture_, sizeof bm, &bm)) return;
    MemoryDc source(dc);
    if (!source.get()) return;
    SelectObjectGuard select(source.get(), picture_);
    const int width = area.right - area.left, height = area.bottom - area.top;
    if (width == bm.bmWidth && height == bm.bmHeight) {
        BitBlt(dc, area.left, area.top, width, height, source.get(), 0, 0, SRCCOPY);
    } else {
        DcStateGuard state(dc);
        SetStretchBltMode(dc, HALFTONE);
        SetBrushOrgEx(dc, 0, 0, nullptr);  // HALFTONE needs it set after the mode
        StretchBlt(dc, area.left, area.top, width, height, source.get(), 0, 0, bm.bmWidth, bm.bmHeight, SRCCOPY);
    }
}

}  // namespace qwp
