// The real message dialog, shown in this process and worked from a second
// thread the way a user works it: read what it shows, then press a button or
// a key.
#include "controls/MessageDlg.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace qwp {
namespace {

struct Seen {
    std::string caption;
    std::vector<std::string> buttons;  // left to right
    std::string defaultButton;
    std::string text;
    RECT frame{};
};

std::string TextOf(HWND window) {
    char buffer[2048] = {};
    GetWindowTextA(window, buffer, sizeof buffer);
    return buffer;
}

// A callback of EnumWindows must be stdcall on i686, which a lambda is not.
BOOL CALLBACK MatchVisibleDialog(HWND window, LPARAM out) {
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    char cls[32] = {};
    GetClassNameA(window, cls, sizeof cls);
    if (pid == GetCurrentProcessId() && std::string(cls) == "#32770" && IsWindowVisible(window)) {
        *reinterpret_cast<HWND*>(out) = window;
        return FALSE;
    }
    return TRUE;
}

HWND WaitForDialog() {
    for (int i = 0; i < 200; ++i, Sleep(25)) {
        HWND found = nullptr;
        EnumWindows(MatchVisibleDialog, reinterpret_cast<LPARAM>(&found));
        if (found) return found;
    }
    return nullptr;
}

Seen Look(HWND dialog) {
    Seen seen;
    seen.caption = TextOf(dialog);
    GetWindowRect(dialog, &seen.frame);
    std::vector<std::pair<LONG, HWND>> buttons;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        char cls[32] = {};
        GetClassNameA(child, cls, sizeof cls);
        RECT r;
        GetWindowRect(child, &r);
        if (lstrcmpiA(cls, "Button") == 0) {
            buttons.push_back({r.left, child});
            if ((GetWindowLongA(child, GWL_STYLE) & 0x0F) == BS_DEFPUSHBUTTON) seen.defaultButton = TextOf(child);
        } else if (lstrcmpiA(cls, "Static") == 0 && !TextOf(child).empty()) {
            seen.text = TextOf(child);
        }
    }
    std::sort(buttons.begin(), buttons.end());
    for (const auto& b : buttons) seen.buttons.push_back(TextOf(b.second));
    return seen;
}

HWND ButtonCaptioned(HWND dialog, const std::string& caption) {
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (TextOf(child) == caption) return child;
    return nullptr;
}

// Shows the dialog here and lets `act` work it from another thread.
MsgResult ShowAndAct(const std::string& text, MsgKind kind, MsgButtons buttons, MsgButton def, MsgButton esc,
                     Seen& seen, const std::function<void(HWND)>& act) {
    std::thread user([&] {
        HWND dialog = WaitForDialog();
        if (!dialog) return;
        seen = Look(dialog);
        act(dialog);
    });
    const MsgResult result = MessageDlg(nullptr, text, kind, buttons, def, esc);
    user.join();
    return result;
}

// Sends a key press to the control that has the keyboard focus in the
// dialog's thread, as the keyboard would.
void PressKey(HWND dialog, WPARAM key) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    HWND focus = GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &info) && info.hwndFocus
                     ? info.hwndFocus
                     : dialog;
    PostMessageA(focus, WM_KEYDOWN, key, 0);
    PostMessageA(focus, WM_KEYUP, key, 0xC0000000);
}

TEST(MessageDlg, ButtonsComeInTheFixedOrderAndThePressedOneIsReturned) {
    Seen seen;
    const MsgResult result =
        ShowAndAct("Pick one", MsgKind::Confirm, mbIgnore | mbRetry | mbAbort | mbCancel | mbOK | mbNo | mbYes, mbNone,
                   mbNone, seen, [](HWND d) { PostMessageA(ButtonCaptioned(d, "&Retry"), BM_CLICK, 0, 0); });
    EXPECT_EQ(result, MsgResult::Retry);
    EXPECT_EQ(seen.caption, "Confirm");
    EXPECT_EQ(seen.buttons, (std::vector<std::string>{"&Yes", "&No", "OK", "Cancel", "&Abort", "&Retry", "&Ignore"}));
    EXPECT_EQ(seen.defaultButton, "") << "no default button was asked for";
}

TEST(MessageDlg, CaptionsFollowTheKindAndLinesBreakAtCarriageReturns) {
    const std::pair<MsgKind, const char*> kinds[] = {{MsgKind::Warning, "Warning"},
                                                     {MsgKind::Error, "Error"},
                                                     {MsgKind::Information, "Information"},
                                                     {MsgKind::Confirm, "Confirm"}};
    for (const auto& [kind, caption] : kinds) {
        Seen seen;
        ShowAndAct("first line\rsecond line", kind, mbOK, mbOK, mbNone, seen,
                   [](HWND d) { PostMessageA(ButtonCaptioned(d, "OK"), BM_CLICK, 0, 0); });
        EXPECT_EQ(seen.caption, caption);
        EXPECT_EQ(seen.text, "first line\r\nsecond line");
        EXPECT_EQ(seen.buttons, std::vector<std::string>{"OK"});
    }
}

TEST(MessageDlg, EscapeGivesTheEscapeAnswerOrNone) {
    Seen seen;
    EXPECT_EQ(ShowAndAct("Stop?", MsgKind::Confirm, mbYes | mbNo, mbYes, mbNo, seen,
                         [](HWND d) { PressKey(d, VK_ESCAPE); }),
              MsgResult::No);
    EXPECT_EQ(seen.defaultButton, "&Yes");
    EXPECT_EQ(ShowAndAct("Again?", MsgKind::Error, mbAbort | mbRetry | mbIgnore, mbNone, mbNone, seen,
                         [](HWND d) { PostMessageA(d, WM_CLOSE, 0, 0); }),
              MsgResult::None);
}

TEST(MessageDlg, EnterPressesTheDefaultButton) {
    // The default is neither the first nor the last button, so neither the
    // first-button focus nor the last tab stop can stand in for it.
    Seen seen;
    EXPECT_EQ(ShowAndAct("Go on?", MsgKind::Confirm, mbYes | mbNo | mbCancel, mbNo, mbCancel, seen,
                         [](HWND d) { PressKey(d, VK_RETURN); }),
              MsgResult::No);
    EXPECT_EQ(seen.defaultButton, "&No");
}

TEST(MessageDlg, IsCentredOnTheScreen) {
    Seen seen;
    ShowAndAct(std::string(300, 'x'), MsgKind::Information, mbOK, mbOK, mbOK, seen,
               [](HWND d) { PostMessageA(ButtonCaptioned(d, "OK"), BM_CLICK, 0, 0); });
    RECT work;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_NEAR((seen.frame.left + seen.frame.right) / 2, (work.left + work.right) / 2, 2);
    EXPECT_NEAR((seen.frame.top + seen.frame.bottom) / 2, (work.top + work.bottom) / 2, 2);
    EXPECT_GT(seen.frame.right - seen.frame.left, 200);
}

// A window of its own that is not the owner is active when the question
// comes: the dialog still belongs to the owner given, which cannot be
// clicked while the dialog is open and can again afterwards.
TEST(MessageDlg, BelongsToTheOwnerGivenAndDisablesItWhileOpen) {
    HWND owner = CreateWindowExA(0, "STATIC", "owner", WS_OVERLAPPED | WS_VISIBLE, 0, 0, 200, 100, nullptr, nullptr,
                                 nullptr, nullptr);
    HWND other = CreateWindowExA(0, "STATIC", "other", WS_OVERLAPPED | WS_VISIBLE, 300, 0, 200, 100, nullptr,
                                 nullptr, nullptr, nullptr);
    ASSERT_TRUE(owner && other);
    SetActiveWindow(other);
    ASSERT_EQ(GetActiveWindow(), other);
    HWND ownerSeen = nullptr;
    BOOL enabledWhileOpen = TRUE;
    std::thread user([&] {
        HWND dialog = WaitForDialog();
        if (!dialog) return;
        ownerSeen = GetWindow(dialog, GW_OWNER);
        enabledWhileOpen = IsWindowEnabled(owner);
        PostMessageA(ButtonCaptioned(dialog, "&Abort"), BM_CLICK, 0, 0);
    });
    EXPECT_EQ(MessageDlg(owner, "Cannot create file", MsgKind::Error, mbAbort | mbRetry | mbIgnore, mbRetry),
              MsgResult::Abort);
    user.join();
    EXPECT_EQ(ownerSeen, owner) << "the active window was " << other;
    EXPECT_FALSE(enabledWhileOpen);
    EXPECT_TRUE(IsWindowEnabled(owner));
    DestroyWindow(other);
    DestroyWindow(owner);
}

TEST(MessageDlg, AnAnswererReplacesTheDialog) {
    std::vector<MessageRequest> asked;
    SetMessageAnswerer([&asked](const MessageRequest& r) {
        asked.push_back(r);
        return MsgResult::Ignore;
    });
    HWND owner = GetDesktopWindow();
    EXPECT_EQ(MessageDlg(owner, "text", MsgKind::Warning, mbAbort | mbIgnore, mbAbort, mbIgnore), MsgResult::Ignore);
    SetMessageAnswerer({});
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].owner, owner);
    EXPECT_EQ(asked[0].text, "text");
    EXPECT_EQ(asked[0].kind, MsgKind::Warning);
    EXPECT_EQ(asked[0].buttons, static_cast<MsgButtons>(mbAbort | mbIgnore));
    EXPECT_EQ(asked[0].defaultButton, mbAbort);
    EXPECT_EQ(asked[0].escapeButton, mbIgnore);
}

}  // namespace
}  // namespace qwp
