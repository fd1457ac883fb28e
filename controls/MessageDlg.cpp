#include "controls/MessageDlg.h"

#include "instutils/EscapedException.h"
#include "instutils/Handles.h"

#include <windows.h>

#include <algorithm>
#include <vector>

namespace qwp {
namespace {

constexpr MsgButton kButtonOrder[] = {mbYes, mbNo, mbOK, mbCancel, mbAbort, mbRetry, mbIgnore};
constexpr int kFirstButtonId = 100;
constexpr int kTextId = 90;
constexpr int kIconId = 91;

// Layout in dialog units.
constexpr int kMargin = 7;
constexpr int kGap = 4;
constexpr int kButtonWidth = 50;
constexpr int kButtonHeight = 14;
constexpr int kIconSize = 21;  // a 32-pixel icon at the usual 96 DPI font
constexpr int kMaxTextWidth = 260;

MessageAnswerer& Answerer() {
    static MessageAnswerer answerer;
    return answerer;
}

struct DialogState {
    const MessageRequest* request;
    std::vector<MsgButton> buttons;
    std::string text;  // with CR LF line breaks for the static control
};


LPCSTR IconFor(MsgKind kind) {
    switch (kind) {
        case MsgKind::Warning: return IDI_WARNING;
        case MsgKind::Error: return IDI_ERROR;
        case MsgKind::Information: return IDI_INFORMATION;
        case MsgKind::Confirm: return IDI_QUESTION;
    }
    return IDI_INFORMATION;
}

UINT SoundFor(MsgKind kind) {
    switch (kind) {
        case MsgKind::Warning: return MB_ICONWARNING;
        case MsgKind::Error: return MB_ICONERROR;
        case MsgKind::Information: return MB_ICONINFORMATION;
        case MsgKind::Confirm: return MB_ICONQUESTION;
    }
    return MB_OK;
}

// Pixels for a length in dialog units of this dialog's font.
int Horizontal(HWND dialog, int units) {
    RECT r{0, 0, units, 0};
    MapDialogRect(dialog, &r);
    return r.right;
}
int Vertical(HWND dialog, int units) {
    RECT r{0, 0, 0, units};
    MapDialogRect(dialog, &r);
    return r.bottom;
}

SIZE MeasureText(HWND dialog, const std::string& text) {
    HDC dc = GetDC(dialog);
    SIZE size{0, 0};
    if (!dc) return size;
    HFONT font = reinterpret_cast<HFONT>(SendMessageA(dialog, WM_GETFONT, 0, 0));
    {
        SelectObjectGuard select(dc, font ? font : GetStockObject(DEFAULT_GUI_FONT));
        RECT r{0, 0, Horizontal(dialog, kMaxTextWidth), 0};
        DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &r,
                  DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS);
        size.cx = r.right;
        size.cy = r.bottom;
    }
    ReleaseDC(dialog, dc);
    return size;
}

HWND AddControl(HWND dialog, const char* cls, const char* text, DWORD style, int id, int x, int y, int w, int h) {
    HWND control = CreateWindowExA(0, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, dialog,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                   reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(dialog, GWLP_HINSTANCE)), nullptr);
    SendMessageA(control, WM_SETFONT, SendMessageA(dialog, WM_GETFONT, 0, 0), FALSE);
    return control;
}

void CentreOnScreen(HWND dialog, int width, int height) {
    RECT work;
    if (!SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0))
        work = RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    const int x = work.left + ((work.right - work.left) - width) / 2;
    const int y = work.top + ((work.bottom - work.top) - height) / 2;
    SetWindowPos(dialog, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void LayOut(HWND dialog, DialogState& state) {
    const MessageRequest& request = *state.request;
    SetWindowTextA(dialog, CaptionOf(request.kind));

    const int margin = Horizontal(dialog, kMargin);
    const int vmargin = Vertical(dialog, kMargin);
    const int gap = Horizontal(dialog, kGap);
    const int buttonWidth = Horizontal(dialog, kButtonWidth);
    const int buttonHeight = Vertical(dialog, kButtonHeight);
    const int iconSize = GetSystemMetrics(SM_CXICON);

    HWND icon = AddControl(dialog, "STATIC", nullptr, SS_ICON, kIconId, margin, vmargin, iconSize, iconSize);
    SendMessageA(icon, STM_SETICON, reinterpret_cast<WPARAM>(LoadIconA(nullptr, IconFor(request.kind))), 0);

    const SIZE text = MeasureText(dialog, state.text);
    const int textLeft = margin + iconSize + margin;
    const int textTop = vmargin + (text.cy < iconSize ? (iconSize - text.cy) / 2 : 0);
    AddControl(dialog, "STATIC", state.text.c_str(), SS_LEFT | SS_NOPREFIX, kTextId, textLeft, textTop,
               text.cx + 1, text.cy);

    const int count = static_cast<int>(state.buttons.size());
    const int buttonsWidth = count * buttonWidth + (count - 1) * gap;
    const int clientWidth = std::max(textLeft + static_cast<int>(text.cx) + margin, buttonsWidth + 2 * margin);
    const int contentHeight = std::max(static_cast<int>(text.cy), iconSize);
    const int buttonTop = vmargin + contentHeight + vmargin + Vertical(dialog, 2);
    const int clientHeight = buttonTop + buttonHeight + vmargin;

    int x = (clientWidth - buttonsWidth) / 2;
    HWND focus = nullptr;
    for (int i = 0; i < count; ++i) {
        const MsgButton button = state.buttons[i];
        const bool isDefault = button == request.defaultButton;
        HWND control = AddControl(dialog, "BUTTON", ButtonCaption(button),
                                  WS_TABSTOP | (isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON),
                                  kFirstButtonId + i, x, buttonTop, buttonWidth, buttonHeight);
        if (isDefault || !focus) focus = control;
        x += buttonWidth + gap;
    }
    if (request.defaultButton != mbNone) {
        for (int i = 0; i < count; ++i)
            if (state.buttons[i] == request.defaultButton) SendMessageA(dialog, DM_SETDEFID, kFirstButtonId + i, 0);
    }

    RECT frame{0, 0, clientWidth, clientHeight};
    AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongPtrA(dialog, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongPtrA(dialog, GWL_EXSTYLE)));
    CentreOnScreen(dialog, frame.right - frame.left, frame.bottom - frame.top);
    if (focus) SetFocus(focus);
}

INT_PTR AnswerFor(const DialogState& state, int commandId) {
    if (commandId == IDCANCEL) {
        // Escape, the close box, or Alt+F4.
        return static_cast<INT_PTR>(ResultOf(state.request->escapeButton));
    }
    if (commandId == IDOK) {
        // Enter with no default button set: nothing is pressed.
        return -1;
    }
    const int index = commandId - kFirstButtonId;
    if (index < 0 || index >= static_cast<int>(state.buttons.size())) return -1;
    return static_cast<INT_PTR>(ResultOf(state.buttons[index]));
}

INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    try {
        switch (message) {
            case WM_INITDIALOG: {
                auto* state = reinterpret_cast<DialogState*>(lParam);
                SetWindowLongPtrA(dialog, DWLP_USER, lParam);
                LayOut(dialog, *state);
                return FALSE;  // focus was set by LayOut
            }
            case WM_COMMAND: {
                auto* state = reinterpret_cast<DialogState*>(GetWindowLongPtrA(dialog, DWLP_USER));
                if (!state || HIWORD(wParam) != BN_CLICKED) return FALSE;
                const INT_PTR answer = AnswerFor(*state, LOWORD(wParam));
                if (answer >= 0) EndDialog(dialog, answer);
                return TRUE;
            }
        }
    } catch (...) {
        // No exception may unwind through user32: it is kept, the dialog
        // ends, and the exception goes on from where the dialog was asked for.
        KeepEscapedException();
        EndDialog(dialog, static_cast<INT_PTR>(MsgResult::None));
    }
    return FALSE;
}

// A dialog template with no controls: the controls are made to measure when
// the dialog starts. The template is a DLGTEMPLATE followed by the menu,
// class and title arrays and, with DS_SETFONT, the font size and name.
std::vector<WORD> EmptyDialogTemplate() {
    std::vector<WORD> words(sizeof(DLGTEMPLATE) / sizeof(WORD), 0);
    auto* header = reinterpret_cast<DLGTEMPLATE*>(words.data());
    header->style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT | DS_3DLOOK;
    header->dwExtendedStyle = WS_EX_DLGMODALFRAME;
    header->cdit = 0;
    header->cx = 200;
    header->cy = 60;
    words.push_back(0);  // no menu
    words.push_back(0);  // the standard dialog class
    words.push_back(0);  // title set later
    words.push_back(8);  // font size in points
    for (const char* c = "MS Shell Dlg"; *c; ++c) words.push_back(static_cast<WORD>(*c));
    words.push_back(0);
    return words;
}

// When no dialog can be made at all (no memory, no desktop), the user cannot
// answer; the answer is then the most cautious one offered, so a caller that
// repeats on "no answer" cannot loop for ever.
MsgResult AnswerWithoutDialog(const MessageRequest& request) {
    if (request.escapeButton != mbNone) return ResultOf(request.escapeButton);
    for (MsgButton button : {mbCancel, mbAbort, mbNo, mbOK})
        if (request.buttons & button) return ResultOf(button);
    return MsgResult::None;
}

MsgResult ShowDialog(const MessageRequest& request) {
    DialogState state{&request, {}, WithWindowsLineBreaks(request.text)};
    for (MsgButton button : kButtonOrder)
        if (request.buttons & button) state.buttons.push_back(button);
    if (state.buttons.empty()) state.buttons.push_back(mbOK);

    std::vector<WORD> dialogTemplate = EmptyDialogTemplate();
    MessageBeep(SoundFor(request.kind));
    const INT_PTR answer = DialogBoxIndirectParamA(
        GetModuleHandleA(nullptr), reinterpret_cast<LPCDLGTEMPLATEA>(dialogTemplate.data()),
        request.owner ? request.owner : GetActiveWindow(),
        DialogProc, reinterpret_cast<LPARAM>(&state));
    RethrowEscapedException();
    if (answer == -1) return AnswerWithoutDialog(request);
    if (answer <= 0) return MsgResult::None;
    return static_cast<MsgResult>(answer);
}

}  // namespace

std::string WithWindowsLineBreaks(const std::string& text) {
    std::string out;
    out.reserve(text.size() + 16);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') {
            out += "\r\n";
            if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

const char* CaptionOf(MsgKind kind) {
    switch (kind) {
        case MsgKind::Warning: return "Warning";
        case MsgKind::Error: return "Error";
        case MsgKind::Information: return "Information";
        case MsgKind::Confirm: return "Confirm";
    }
    return "";
}

const char* ButtonCaption(MsgButton button) {
    switch (button) {
        case mbYes: return "&Yes";
        case mbNo: return "&No";
        case mbOK: return "OK";
        case mbCancel: return "Cancel";
        case mbAbort: return "&Abort";
        case mbRetry: return "&Retry";
        case mbIgnore: return "&Ignore";
        case mbNone: break;
    }
    return "";
}

MsgResult ResultOf(MsgButton button) {
    switch (button) {
        case mbYes: return MsgResult::Yes;
        case mbNo: return MsgResult::No;
        case mbOK: return MsgResult::OK;
        case mbCancel: return MsgResult::Cancel;
        case mbAbort: return MsgResult::Abort;
        case mbRetry: return MsgResult::Retry;
        case mbIgnore: return MsgResult::Ignore;
        case mbNone: break;
    }
    return MsgResult::None;
}

MsgResult MessageDlg(HWND owner, const std::string& text, MsgKind kind, MsgButtons buttons, MsgButton defaultButton,
                     MsgButton escapeButton) {
    MessageRequest request{owner, text, kind, buttons, defaultButton, escapeButton};
    if (Answerer()) return Answerer()(request);
    return ShowDialog(request);
}

void SetMessageAnswerer(MessageAnswerer answerer) { Answerer() = std::move(answerer); }

}  // namespace qwp
