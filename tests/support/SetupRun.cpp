#include "tests/support/SetupRun.h"

#include "tests/support/Screens.h"
#include "tests/support/Text.h"
#include "wizard/ControlIds.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <utility>
#include <vector>

namespace qwp::test {

namespace {

using PlacedCaptions = std::vector<std::pair<LONG, std::string>>;

BOOL CALLBACK CollectButton(HWND child, LPARAM lParam) {
    char cls[32] = {};
    GetClassNameA(child, cls, sizeof cls);
    if (lstrcmpiA(cls, "Button") == 0 && IsWindowVisible(child)) {
        RECT r;
        GetWindowRect(child, &r);
        reinterpret_cast<PlacedCaptions*>(lParam)->push_back({r.left, WindowText(child)});
    }
    return TRUE;
}

// The captions of a window's visible push buttons, left to right, as
// "&No|&Abort".
std::string ButtonCaptions(HWND window) {
    PlacedCaptions buttons;
    EnumChildWindows(window, CollectButton, reinterpret_cast<LPARAM>(&buttons));
    std::sort(buttons.begin(), buttons.end());
    std::vector<std::string> captions;
    for (const auto& button : buttons) captions.push_back(button.second);
    return Joined(captions, "|");
}

int DpiOfScreen() {
    HDC screen = GetDC(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSX) : 96;
    if (screen) ReleaseDC(nullptr, screen);
    return dpi;
}

}  // namespace

std::string WithCrLf(const std::string& text) {
    std::string out;
    for (char c : text) out += c == '\r' ? std::string("\r\n") : std::string(1, c);
    return out;
}

SetupRun::SetupRun(const std::string& screens, const std::string& arguments, const std::string& folder,
                   const std::string& program)
    : screens_(screens),
      process_(std::make_unique<ChildProcess>(Quoted(program.empty() ? BuildFile("setup.exe") : program) +
                                                  (arguments.empty() ? "" : " " + arguments),
                                              folder)) {
    if (process_->Started()) window_ = WaitForWindow(process_->Id(), kCaption, kStartTimeout);
}

bool SetupRun::OnPage(int page) const {
    return ControlText(window_, IDC_TopLbl) == kTitles[page] && ControlVisible(window_, IDC_WelcomeTabSheet + page);
}

bool SetupRun::WaitForPage(int page, DWORD timeout) const {
    return WaitUntil([&] { return OnPage(page); }, timeout);
}

int SetupRun::Page() const {
    for (int page = 0; page < 8; ++page)
        if (OnPage(page)) return page;
    return -1;
}

void SetupRun::Next() { ClickControl(window_, IDC_NextBtn); }
void SetupRun::Cancel() { ClickControl(window_, IDC_CancelBtn); }
void SetupRun::CloseBox() { PostMessageA(window_, WM_SYSCOMMAND, SC_CLOSE, 0); }
void SetupRun::CloseMessage() { PostMessageA(window_, WM_CLOSE, 0, 0); }

std::string SetupRun::Buttons() const {
    std::vector<std::string> shown;
    for (int id : {IDC_BackBtn, IDC_NextBtn, IDC_CancelBtn}) {
        if (!ControlVisible(window_, id))
            shown.push_back("(hidden)");
        else
            shown.push_back(ControlText(window_, id) + (ControlEnabled(window_, id) ? "" : "-"));
    }
    return Joined(shown, "|");
}

void SetupRun::Shoot(const std::string& name, HWND window, bool settle) {
    if (!screens_.empty()) KeepWindowPicture(window ? window : window_, screens_ + name + ".png", settle);
}

void SetupRun::ShootPage(int page, const std::string& suffix) {
    Shoot("page" + std::to_string(page) + "-" + kPageNames[page] + suffix);
}

void SetupRun::ShootScreen(const std::string& name) {
    if (!screens_.empty()) KeepScreenPicture(screens_ + name + ".png");
}

bool SetupRun::WalkTo(int last, const WalkOptions& options) {
    for (int page = 0;;) {
        if (page > last) {
            ADD_FAILURE() << "the walk went past page " << last << " to page " << page;
            return false;
        }
        if (!WaitForPage(page, page > 5 ? kInstallTimeout : kPageTimeout)) {
            ADD_FAILURE() << "page " << page << " did not appear; the title reads \""
                          << ControlText(window_, IDC_TopLbl) << "\"";
            return false;
        }
        if (options.check) options.check(page);
        ShootPage(page);
        if (page == last) return true;
        if (page != 4) {
            Next();
            ++page;
            continue;
        }
        if (!options.holdWhileCopying) {
            Next();
        } else {
            const MessageBoxSeen question = HoldCopyAtFirstReport();
            if (!question.window) return false;
            if (options.check) options.check(5);
            if (!screens_.empty() && ScreensWanted()) {
                // The page as the copy shows it, without the question over it.
                ShowWindow(question.window, SW_HIDE);
                ShootPage(5);
                ShowWindow(question.window, SW_SHOWNA);
            }
            if (!Answer(question, "&No")) {
                ADD_FAILURE() << "No in the close question while copying was not taken";
                return false;
            }
        }
        WaitUntil([&] { return Page() >= 6; }, kInstallTimeout);
        page = std::max(Page(), 6);
    }
}

bool SetupRun::InstallThroughFinish(const WalkOptions& options) {
    if (!WalkTo(7, options)) return false;
    Next();
    const DWORD code = WaitForExit(kInstallTimeout);
    EXPECT_EQ(code, 0u) << "exit code after Finish";
    return code == 0;
}

MessageBoxSeen SetupRun::HoldCopyAtFirstReport() {
    Next();
    Cancel();
    MessageBoxSeen question = WaitForMessage("Confirm");
    if (!question.window) ADD_FAILURE() << "no close question while copying; page " << Page() << " is shown";
    return question;
}

MessageBoxSeen SetupRun::WaitForMessage(const char* caption, DWORD timeout) {
    MessageBoxSeen seen;
    seen.window = WaitForWindow(process_->Id(), caption, timeout);
    if (!seen.window) return seen;
    // The box fills itself while it starts: wait for its buttons.
    WaitUntil([&] { return !ButtonCaptions(seen.window).empty(); }, 2000);
    seen.text = ChildTextOfClass(seen.window, "Static");
    seen.buttons = ButtonCaptions(seen.window);
    return seen;
}

bool SetupRun::Answer(const MessageBoxSeen& box, const std::string& caption) {
    HWND owner = box.window ? GetWindow(box.window, GW_OWNER) : nullptr;
    if (!box.window || !PressButton(box.window, caption)) return false;
    if (!WaitUntil([&] { return !IsWindow(box.window) || !IsWindowVisible(box.window); }, kPageTimeout)) return false;
    // The code that asked goes on with the answer once the box is gone: what
    // it does with it is done when its thread is back at its messages.
    if (owner) Settle(owner);
    return true;
}

bool SetupRun::AbortThroughCloseQuestion(const std::string& shotName) {
    CloseBox();
    const MessageBoxSeen confirm = WaitForMessage("Confirm");
    if (!confirm.window) {
        ADD_FAILURE() << "no close question";
        return false;
    }
    if (!shotName.empty()) Shoot(shotName, confirm.window);
    if (!Answer(confirm, "&Abort")) return false;
    return WaitForExit() == 0;
}

bool SetupRun::ClickComponentBox(int row) {
    HWND list = FindControl(window_, IDC_SelCompLstBx);
    if (!list) return false;
    DWORD_PTR height = 0, top = 0;
    if (!SendMessageTimeoutA(list, LB_GETITEMHEIGHT, 0, 0, SMTO_ABORTIFHUNG, 2000, &height) ||
        !SendMessageTimeoutA(list, LB_GETTOPINDEX, 0, 0, SMTO_ABORTIFHUNG, 2000, &top) || height == 0)
        return false;
    const int x = 6 * DpiOfScreen() / 96;
    const int y = (row - static_cast<int>(top)) * static_cast<int>(height) + static_cast<int>(height) / 2;
    const LPARAM point = MAKELPARAM(x, y);
    return PostMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, point) && PostMessageA(list, WM_LBUTTONUP, 0, point);
}

}  // namespace qwp::test
