#include "tests/support/ControlHost.h"

namespace qwp::test {

void Pump() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

void ControlHostTest::MakeHost(const char* title, int width, int height) {
    static const ATOM hostClass = [] {
        WNDCLASSA cls{};
        cls.lpfnWndProc = &HostProc;
        cls.hInstance = GetModuleHandleA(nullptr);
        cls.lpszClassName = "QwpControlHost";
        return RegisterClassA(&cls);
    }();
    host_ = CreateWindowExA(0, MAKEINTATOM(hostClass), title, WS_OVERLAPPEDWINDOW, 0, 0, width, height, nullptr,
                            nullptr, GetModuleHandleA(nullptr), this);
    ASSERT_NE(host_, nullptr);
}

void ControlHostTest::ShowHost() {
    ShowWindow(host_, SW_SHOW);
    UpdateWindow(host_);
    Pump();
}

void ControlHostTest::TearDown() {
    ReleaseControls();
    if (host_) DestroyWindow(host_);
    Pump();
    std::string all;
    for (const std::string& fault : faults_) all += fault + "\n";
    EXPECT_TRUE(faults_.empty()) << all;
}

HWND ControlHostTest::MakeChild(const char* windowClass, DWORD exStyle, DWORD style, int x, int y, int width,
                                int height, int id) const {
    return CreateWindowExA(exStyle, windowClass, "", WS_CHILD | WS_VISIBLE | style, x, y, width, height, host_,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr), nullptr);
}

void ControlHostTest::Fault(const std::string& what) {
    if (!drawing_) {
        faults_.push_back(what);
        return;
    }
    faults_.push_back("WM_DRAWITEM of control " + std::to_string(drawing_->CtlID) + " item " +
                      std::to_string(static_cast<int>(drawing_->itemID)) + ": " + what);
}

void ControlHostTest::CheckedDraw(const DRAWITEMSTRUCT& item) {
    if (Ignored(item)) return;
    drawing_ = &item;
    if (!item.hDC) {
        Fault("no DC");
    } else {
        CheckItem(item);
        const COLORREF text = GetTextColor(item.hDC), back = GetBkColor(item.hDC);
        const HGDIOBJ font = GetCurrentObject(item.hDC, OBJ_FONT);
        if (!DrawItem(item)) Fault("refused by its own control");
        if (GetTextColor(item.hDC) != text || GetBkColor(item.hDC) != back ||
            GetCurrentObject(item.hDC, OBJ_FONT) != font)
            Fault("DC colours or font not put back");
    }
    drawing_ = nullptr;
}

LRESULT CALLBACK ControlHostTest::HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE)
        SetWindowLongPtrA(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams));
    auto* self = reinterpret_cast<ControlHostTest*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (self) switch (message) {
            case WM_MEASUREITEM:
                self->MeasureItem(*reinterpret_cast<MEASUREITEMSTRUCT*>(lParam));
                return TRUE;
            case WM_DRAWITEM:
                self->CheckedDraw(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
                return TRUE;
            case WM_COMMAND:
                if (self->Command(wParam, lParam)) return 0;
                break;
            case WM_NCDESTROY:
                self->host_ = nullptr;
                break;
            default:
                break;
        }
    return DefWindowProcA(window, message, wParam, lParam);
}

void ControlHostTest::ClickAt(HWND control, int x, int y, UINT down) {
    PostMessageA(control, down, MK_LBUTTON, MAKELPARAM(x, y));
    PostMessageA(control, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
    Pump();
}

void ControlHostTest::PressKey(HWND control, WPARAM key, LPARAM bits) {
    PostMessageA(control, WM_KEYDOWN, key, bits);
    PostMessageA(control, WM_KEYUP, key, bits | static_cast<LPARAM>(0xC0000000u));
    Pump();
}

RECT ControlHostTest::ListItemRect(HWND list, int index) {
    RECT r{};
    SendMessageA(list, LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r));
    return r;
}

DrawnItem::DrawnItem(int width, int height) : width_(width), height_(height) {
    HDC screen = GetDC(nullptr);
    dc_ = CreateCompatibleDC(screen);
    bitmap_ = CreateCompatibleBitmap(screen, width, height);
    ReleaseDC(nullptr, screen);
    old_ = SelectObject(dc_, bitmap_);
}

DrawnItem::~DrawnItem() {
    SelectObject(dc_, old_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
}

DRAWITEMSTRUCT DrawnItem::Item(UINT type, HWND control, int index, UINT state) const {
    DRAWITEMSTRUCT item{};
    item.CtlType = type;
    item.CtlID = static_cast<UINT>(GetDlgCtrlID(control));
    item.itemID = static_cast<UINT>(index);
    item.itemAction = ODA_DRAWENTIRE;
    item.itemState = state;
    item.hwndItem = control;
    item.hDC = dc_;
    item.rcItem = RECT{0, 0, width_, height_};
    return item;
}

std::vector<COLORREF> DrawnItem::Columns(int left, int right) const {
    std::vector<COLORREF> pixels;
    for (int y = 0; y < height_; ++y)
        for (int x = left; x < right; ++x) pixels.push_back(Pixel(x, y));
    return pixels;
}

int DrawnItem::FirstInk(COLORREF fill, int from) const {
    for (int x = from; x < width_; ++x)
        for (int y = 0; y < height_; ++y)
            if (Pixel(x, y) != fill) return x;
    return -1;
}

int DrawnItem::FirstBlank(COLORREF fill, int from) const {
    for (int x = from; x < width_; ++x) {
        bool blank = true;
        for (int y = 0; y < height_ && blank; ++y) blank = Pixel(x, y) == fill;
        if (blank) return x;
    }
    return -1;
}

}  // namespace qwp::test
