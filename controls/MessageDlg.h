// The one modal message dialog through which the program speaks to the user.
//
// The caption follows the kind ("Warning", "Error", "Information",
// "Confirm"), the text uses a carriage return as its line break, and the
// buttons always appear in the same order: "&Yes", "&No", "OK", "Cancel",
// "&Abort", "&Retry", "&Ignore". The dialog is centred on the screen,
// owned by the window given (which is disabled while it is open, so nothing
// behind it can be clicked) and returns the button pressed.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace qwp {

enum class MsgKind { Warning, Error, Information, Confirm };

// Buttons, as bits; the order of the bits is the order on screen.
enum MsgButton : unsigned {
    mbNone = 0,
    mbYes = 1u << 0,
    mbNo = 1u << 1,
    mbOK = 1u << 2,
    mbCancel = 1u << 3,
    mbAbort = 1u << 4,
    mbRetry = 1u << 5,
    mbIgnore = 1u << 6,
};
using MsgButtons = unsigned;

// The answer: the button pressed, or None when the dialog was closed in a way
// that names no button (Escape or the close box with no Escape answer set).
enum class MsgResult { None, Yes, No, OK, Cancel, Abort, Retry, Ignore };

struct MessageRequest {
    HWND owner = nullptr;
    std::string text;
    MsgKind kind = MsgKind::Information;
    MsgButtons buttons = mbOK;
    MsgButton defaultButton = mbNone;  // pressed by Enter; none when mbNone
    MsgButton escapeButton = mbNone;   // the answer to Escape and the close box
};

// The program's texts break lines at a lone CR; static and edit controls
// break them at CR LF. Every CR becomes CR LF (an existing CR LF stays one).
std::string WithWindowsLineBreaks(const std::string& text);

const char* CaptionOf(MsgKind kind);
const char* ButtonCaption(MsgButton button);
MsgResult ResultOf(MsgButton button);

// Shows the dialog modally, owned by owner, and returns the answer. With no
// owner the active window of this thread owns it, when there is one.
MsgResult MessageDlg(HWND owner, const std::string& text, MsgKind kind, MsgButtons buttons,
                     MsgButton defaultButton = mbNone, MsgButton escapeButton = mbNone);

// Tests replace the dialog by a scripted answerer; an empty function puts the
// real dialog back.
using MessageAnswerer = std::function<MsgResult(const MessageRequest&)>;
void SetMessageAnswerer(MessageAnswerer answerer);

}  // namespace qwp
