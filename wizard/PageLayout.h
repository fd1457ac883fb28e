// The wizard's layout as data: for the fixed areas and for every page, the
// controls in creation order with their class, text, rectangle and style.
// Rectangles are 96-DPI pixels relative to the parent control; the window
// scales them to the system DPI when it creates the controls.
#pragma once

#include <windows.h>

#include <cstddef>

namespace qwp {

// Window class of the wizard's own containers (panels, the page area and
// the page sheets), and what such a container paints.
extern const char kPanelClass[];

enum class PanelLook {
    Face,      // the dialog face colour, no border
    White,     // white, raised inner and lowered outer bevel (the title strip)
    Etched,    // the face colour, raised inner and lowered outer bevel
    TabBody,   // the framed body of a tab control, without tab headers
    LeftLine,  // a lowered bevel line along the left edge, 2 pixels wide
    TopLine,   // a lowered bevel line along the top edge, 2 pixels high
    Logo,      // the logo picture, 1:1 at 96 DPI, stretched above it
};

enum class FontRole { Dialog, Title };

struct ControlRow {
    const char* name;
    int id;
    int parentId;           // 0: the wizard window itself
    const char* className;  // a system class or kPanelClass
    const char* text;       // CR line breaks as in the program's texts
    int x, y, width, height;  // 96-DPI pixels; a width or height of 0 fits the text
    DWORD style;            // besides WS_CHILD
    DWORD exStyle;
    PanelLook look;         // for kPanelClass only
    FontRole font;
};

struct ControlTable {
    const ControlRow* rows;
    std::size_t count;
};

constexpr int kPageCount = 8;

// The title strip, separator, button strip, logo column and page area, in
// this order from the top of the z-order down: the strips cover the ends of
// the logo column, and all of them cover the frame of the page area, whose
// rectangle reaches under them.
ControlTable FixedAreaLayout();
// One page: its sheet first (a child of the page area), then its controls.
ControlTable PageLayout(int page);

// The client area of the window and the sheet rectangle inside the page
// area, in 96-DPI pixels.
constexpr int kClientWidth = 492;
constexpr int kClientHeight = 351;
constexpr RECT kSheetRect = {4, 4, 4 + 367, 4 + 260};

// A length in 96-DPI pixels at the given DPI.
inline int Scale(int value, int dpi) { return MulDiv(value, dpi, 96); }

// The screen's logical pixels per inch; 96 when it cannot be asked.
int SystemDpi();

// The dialog font (the shell's dialog face, 8 points) at the DPI given; the
// caller owns it.
HFONT CreateDialogFont(int dpi);

}  // namespace qwp
