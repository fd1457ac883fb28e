// The wizard's containers: the title strip, the logo column and its picture,
// the bevels, the page area and the page sheets. Each paints its own
// background and border, so the white title strip stays white also when
// visual themes would paint the parent's background, and each passes the
// notifications of its child controls on to the wizard window.
#pragma once

#include "wizard/PageLayout.h"

#include <windows.h>

namespace qwp {

class TPanel {
public:
    explicit TPanel(PanelLook look) : look_(look) {}
    TPanel(const TPanel&) = delete;
    TPanel& operator=(const TPanel&) = delete;

    // Registers the container class once per process (later calls do nothing).
    static void RegisterClass(HINSTANCE instance);

    // Creates the window; `this` must outlive it.
    HWND Create(const ControlRow& row, HWND parent, const RECT& rect, HINSTANCE instance);
    HWND Handle() const { return hwnd_; }

    // The picture a Logo panel shows: drawn 1:1 when the panel has the
    // picture's size, else stretched with halftone. Not owned.
    void SetPicture(HBITMAP picture);

private:
    template <typename Window>
    friend LRESULT CALLBACK WindowThunk(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void PaintBackground(HDC dc) const;
    void PaintForeground(HDC dc) const;
    void PaintPicture(HDC dc, const RECT& area) const;

    PanelLook look_;
    HWND hwnd_ = nullptr;
    HBITMAP picture_ = nullptr;
};

}  // namespace qwp
