// A parent window for controls under test, as a test fixture: it hands the
// test the messages a parent gets from owner-drawn children (WM_MEASUREITEM,
// WM_DRAWITEM, WM_COMMAND) and checks every WM_DRAWITEM on the way: a DC
// given, the item taken by the control it belongs to, the DC's colours and
// font put back afterwards. What the checks find is reported when the test
// ends. Input is posted to the controls and the queue pumped, as the system
// delivers it.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

namespace qwp::test {

// Dispatches what is in this thread's queue, key presses made into
// characters as the message loop of a program does.
void Pump();

class ControlHostTest : public ::testing::Test {
protected:
    // Makes the host window (not yet shown); the fixture's SetUp calls it
    // first, makes its controls, then calls ShowHost.
    void MakeHost(const char* title, int width, int height);
    void ShowHost();
    // Lets go of the controls (ReleaseControls), destroys the window and
    // reports the faults found.
    void TearDown() override;

    HWND MakeChild(const char* windowClass, DWORD exStyle, DWORD style, int x, int y, int width, int height,
                   int id) const;

    // The test's own handling of the parent's messages.
    virtual bool MeasureItem(MEASUREITEMSTRUCT&) { return false; }
    // False when no control of the test took the item.
    virtual bool DrawItem(const DRAWITEMSTRUCT&) { return false; }
    // Items drawn that the checks leave alone (another window's, or drawn
    // while a control is being made).
    virtual bool Ignored(const DRAWITEMSTRUCT&) const { return false; }
    // Checks of the test's own, before the item is drawn.
    virtual void CheckItem(const DRAWITEMSTRUCT&) {}
    virtual bool Command(WPARAM, LPARAM) { return false; }
    virtual void ReleaseControls() {}

    // A fault of the item being drawn (or of the test, outside a drawing).
    void Fault(const std::string& what);
    // The WM_DRAWITEM being handled; null outside one.
    const DRAWITEMSTRUCT* Drawing() const { return drawing_; }

    // A press of the left button at a point of a control (the second press
    // of a double click with WM_LBUTTONDBLCLK), and a key's press and
    // release, delivered.
    static void ClickAt(HWND control, int x, int y, UINT down = WM_LBUTTONDOWN);
    static void PressKey(HWND control, WPARAM key, LPARAM bits);
    static RECT ListItemRect(HWND list, int index);

    HWND host_ = nullptr;

private:
    static LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void CheckedDraw(const DRAWITEMSTRUCT& item);

    const DRAWITEMSTRUCT* drawing_ = nullptr;
    std::vector<std::string> faults_;
};

// An item drawn into a bitmap of its own, then read back pixel by pixel.
class DrawnItem {
public:
    DrawnItem(int width, int height);
    ~DrawnItem();
    DrawnItem(const DrawnItem&) = delete;
    DrawnItem& operator=(const DrawnItem&) = delete;

    // A whole-item drawing of an item of the control into this bitmap.
    DRAWITEMSTRUCT Item(UINT type, HWND control, int index, UINT state) const;
    HDC Dc() const { return dc_; }
    COLORREF Pixel(int x, int y) const { return GetPixel(dc_, x, y); }
    // The pixels of the columns [left, right), row by row.
    std::vector<COLORREF> Columns(int left, int right) const;
    // The first column, from `from` on, with a pixel other than the fill.
    int FirstInk(COLORREF fill, int from = 0) const;
    // The first column from `from` on that is all fill again.
    int FirstBlank(COLORREF fill, int from) const;

private:
    int width_, height_;
    HDC dc_;
    HBITMAP bitmap_;
    HGDIOBJ old_;
};

}  // namespace qwp::test
