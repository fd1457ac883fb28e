#include "wizard/MainDlg.h"
#include "wizard/WindowThunk.h"

#include "controls/Logo.h"
#include "controls/MessageDlg.h"
#include "instutils/SetupError.h"
#include "instutils/SystemLibrary.h"
#include "instutils/TempFiles.h"
#include "wizard/ControlIds.h"
#include "wizard/EndOfSession.h"
#include "instutils/EscapedException.h"
#include "wizard/WizardTexts.h"

#include <commctrl.h>

#include <algorithm>

namespace qwp {

namespace {

const char kWizardClass[] = "QuilvaneSetupWizard";
constexpr WORD kApplicationIconId = 1;
constexpr UINT_PTR kDrivePollTimerId = 1;
constexpr UINT kDrivePollInterval = 1000;


// A format with two text placeholders, as the welcome and finish texts have:
// "%s" takes the next text and "%%" stands for a percent sign. Done here
// rather than by snprintf, whose formatter would be linked in for this alone.
std::string FormatTwo(const char* format, const char* first, const char* second) {
    const char* texts[] = {first, second};
    std::size_t used = 0;
    std::string text;
    for (const char* p = format; *p; ++p) {
        if (p[0] == '%' && p[1] == '%') {
            text += '%';
            ++p;
        } else if (p[0] == '%' && p[1] == 's' && used < 2) {
            text += texts[used++];
            ++p;
        } else {
            text += *p;
        }
    }
    return text;
}

void RegisterWizardClass(HINSTANCE instance, WNDPROC windowProc, HICON bigIcon, HICON smallIcon) {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    if (GetClassInfoExA(instance, kWizardClass, &wc)) return;
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = windowProc;
    wc.hInstance = instance;
    wc.hIcon = bigIcon;
    wc.hIconSm = smallIcon;
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kWizardClass;
    RegisterClassExA(&wc);
}

}  // namespace

TMainDlgForm::TMainDlgForm(HWND owner, InstallSession& session, const std::optional<std::string>& commandLineFolder,
                           int dpi)
    : TMainDlgForm(owner, dpi) {
    Begin(session, commandLineFolder);
}

TMainDlgForm::TMainDlgForm(HWND owner, int dpi)
    : instance_(GetModuleHandleA(nullptr)), dpi_(dpi > 0 ? dpi : SystemDpi()) {
    InitCommonControlClasses(ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES);
    CreateFonts();
    CreateMainWindow(owner);
    try {
        CreateControls(FixedAreaLayout());
        for (int page = 0; page < kPageCount; ++page) CreateControls(PageLayout(page));

        SetWindowTextA(hwnd_, kSetupTitle);
        logo_ = LoadLogo("LOGO");
        for (auto& panel : panels_)
            if (GetDlgCtrlID(panel->Handle()) == IDC_LogoImage)
                panel->SetPicture(static_cast<HBITMAP>(logo_.get()));

        SetUpComponentsList();
        SetStaticTexts();
        CreateFolderPickers();
    } catch (...) {
        // No destructor runs for a constructor that throws: the window must
        // not outlive the object its procedure points to.
        components_.reset();
        drives_.reset();
        folders_.reset();
        DestroyWindow(hwnd_);
        throw;
    }
}

void TMainDlgForm::ShowFirstPage() {
    ChangePage(kNoPage, WelcomePage);
    ShowWindow(hwnd_, SW_SHOW);
    UpdateWindow(hwnd_);
}

void TMainDlgForm::Begin(InstallSession& session, const std::optional<std::string>& commandLineFolder) {
    session_ = &session;
    LoadSetupChoices(commandLineFolder);
    SetText(IDC_DestDirEdt, session_->Destination());
    // The list shows the nearest existing folder; the edit box keeps the
    // text (FolderSyncEnabled is not set yet).
    folders_->SetFolder(session_->Destination());
    FillComponentsList();
    SetText(IDC_SelCompLbl, kSelCompText);
    SetTimer(hwnd_, kDrivePollTimerId, kDrivePollInterval, nullptr);
    ChangePage(kNoPage, WelcomePage);
    FolderSyncEnabled = true;
}

TMainDlgForm::~TMainDlgForm() {
    if (hwnd_) {
        KillTimer(hwnd_, kDrivePollTimerId);
        // The lists give their subclasses back while their windows still
        // exist.
        components_.reset();
        drives_.reset();
        folders_.reset();
        DestroyWindow(hwnd_);
    }
}

HWND TMainDlgForm::Control(int id) const {
    for (const auto& [controlId, control] : controls_)
        if (controlId == id) return control;
    return nullptr;
}

void TMainDlgForm::CreateFonts() {
    dialogFont_.reset(CreateDialogFont(dpi_));

    LOGFONTA title{};
    title.lfHeight = -Scale(15, dpi_);
    title.lfWeight = FW_BOLD;
    title.lfCharSet = DEFAULT_CHARSET;
    lstrcpynA(title.lfFaceName, "Arial", LF_FACESIZE);
    titleFont_.reset(CreateFontIndirectA(&title));
}

void TMainDlgForm::CreateMainWindow(HWND owner) {
    HICON bigIcon = LoadIconA(instance_, MAKEINTRESOURCEA(kApplicationIconId));
    smallIcon_ = static_cast<HICON>(LoadImageA(instance_, MAKEINTRESOURCEA(kApplicationIconId), IMAGE_ICON,
                                               GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON),
                                               LR_SHARED));
    RegisterWizardClass(instance_, WindowThunk<TMainDlgForm>, bigIcon, smallIcon_);
    TPanel::RegisterClass(instance_);

    // A fixed single border and only the system menu; the taskbar button is
    // the window's own, since the application's owner window is never shown.
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    const DWORD exStyle = WS_EX_APPWINDOW | WS_EX_CONTROLPARENT;
    RECT frame{0, 0, Scale(kClientWidth, dpi_), Scale(kClientHeight, dpi_)};
    AdjustWindowRectEx(&frame, style, FALSE, exStyle);
    const int width = frame.right - frame.left, height = frame.bottom - frame.top;
    const int x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    const int y = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;

    CreateWindowExA(exStyle, kWizardClass, kSetupTitle, style, x, y, width, height, owner, nullptr, instance_, this);
    if (!hwnd_) throw SetupError("the wizard window could not be created");
    SendMessageA(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon));
    SendMessageA(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_));
}

RECT TMainDlgForm::ScaledRect(int x, int y, int width, int height) const {
    RECT r;
    r.left = Scale(x, dpi_);
    r.top = Scale(y, dpi_);
    r.right = Scale(x + width, dpi_);
    r.bottom = Scale(y + height, dpi_);
    return r;
}

void TMainDlgForm::CreateControls(const ControlTable& table) {
    for (std::size_t i = 0; i < table.count; ++i) {
        const ControlRow& row = table.rows[i];
        HWND parent = row.parentId ? Control(row.parentId) : hwnd_;
        const RECT r = ScaledRect(row.x, row.y, row.width, row.height);
        HFONT font = static_cast<HFONT>((row.font == FontRole::Title ? titleFont_ : dialogFont_).get());
        HWND control;
        if (row.className == kPanelClass) {
            panels_.push_back(std::make_unique<TPanel>(row.look));
            control = panels_.back()->Create(row, parent, r, instance_);
        } else {
            control = CreateWindowExA(row.exStyle, row.className, WithWindowsLineBreaks(row.text).c_str(),
                                      WS_CHILD | row.style, r.left, r.top, r.right - r.left, r.bottom - r.top,
                                      parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(row.id)), instance_,
                                      nullptr);
        }
        if (!control) throw SetupError(std::string("control not created: ") + row.name);
        SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        if (row.width == 0 || row.height == 0) FitToText(control, font, row.width, row.height);
        if ((row.style & BS_TYPEMASK) == BS_AUTOCHECKBOX && row.className == std::string("BUTTON"))
            WidenToText(control, font, parent);
        const auto known = std::find_if(controls_.begin(), controls_.end(),
                                        [&row](const auto& entry) { return entry.first == row.id; });
        if (known != controls_.end())
            known->second = control;
        else
            controls_.emplace_back(row.id, control);
    }
}

// A label sized to its one-line text, as an auto-sized label is; a given
// width or height is kept (scaled).
void TMainDlgForm::FitToText(HWND control, HFONT font, int width, int height) {
    WindowDc screen;
    if (!screen.get()) return;
    SelectObjectGuard select(screen.get(), font);
    std::string text(static_cast<std::size_t>(GetWindowTextLengthA(control)) + 1, '\0');
    text.resize(static_cast<std::size_t>(GetWindowTextA(control, &text[0], static_cast<int>(text.size()))));
    RECT measured{0, 0, 0, 0};
    DrawTextA(screen.get(), text.empty() ? " " : text.c_str(), -1, &measured, DT_CALCRECT | DT_SINGLELINE);
    if (text.empty()) measured.right = 0;
    int w = width ? Scale(width, dpi_) : measured.right;
    const int h = height ? Scale(height, dpi_) : measured.bottom;
    // A face wider than the one the layout was made for (a substitute for a
    // missing one) must not push the text past the page: it then ends in an
    // ellipsis inside it instead of being cut off at the page's edge.
    RECT place, room;
    GetWindowRect(control, &place);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&place), 2);
    GetClientRect(GetParent(control), &room);
    if (!width && place.left + w > room.right && room.right > place.left) {
        w = room.right - place.left;
        SetWindowLongA(control, GWL_STYLE, GetWindowLongA(control, GWL_STYLE) | SS_ENDELLIPSIS);
    }
    SetWindowPos(control, nullptr, 0, 0, w, h, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// A check box whose caption is wider than its box in the font at hand (a
// substituted face can be wider than the one the layout was made with)
// grows to the right as far as its parent allows, so the caption is never
// cut off.
void TMainDlgForm::WidenToText(HWND control, HFONT font, HWND parent) {
    WindowDc screen;
    if (!screen.get()) return;
    SelectObjectGuard select(screen.get(), font);
    std::string text(static_cast<std::size_t>(GetWindowTextLengthA(control)) + 1, '\0');
    text.resize(static_cast<std::size_t>(GetWindowTextA(control, &text[0], static_cast<int>(text.size()))));
    RECT measured{0, 0, 0, 0};
    DrawTextA(screen.get(), text.c_str(), -1, &measured, DT_CALCRECT | DT_SINGLELINE);
    const int needed = GetSystemMetrics(SM_CXMENUCHECK) + Scale(6, dpi_) + measured.right;
    RECT box, room;
    GetWindowRect(control, &box);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&box), 2);
    GetClientRect(parent, &room);
    const int width = box.right - box.left;
    if (needed <= width) return;
    const int widest = room.right - Scale(4, dpi_) - box.left;
    SetWindowPos(control, nullptr, 0, 0, std::max(width, std::min(needed, widest)), box.bottom - box.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TMainDlgForm::SetStaticTexts() {
    SetText(IDC_WelcomeLbl, FormatTwo(kWelcomeFormat, kProductName, ""));
    SetText(IDC_FinishLbl, FormatTwo(kFinishFormat, kProductName, ""));
    SetChecked(IDC_LicenseChkBx, true);
    SendMessageA(Control(IDC_InstallProgressBar), PBM_SETRANGE32, 0, 1000);
}

// Helpers on controls by id.

bool TMainDlgForm::Checked(int id) const {
    return SendMessageA(Control(id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void TMainDlgForm::SetChecked(int id, bool checked) {
    SendMessageA(Control(id), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

std::string TMainDlgForm::Text(int id) const {
    HWND control = Control(id);
    std::string text(static_cast<std::size_t>(GetWindowTextLengthA(control)) + 1, '\0');
    text.resize(static_cast<std::size_t>(GetWindowTextA(control, &text[0], static_cast<int>(text.size()))));
    return text;
}

void TMainDlgForm::SetText(int id, const std::string& text) {
    SetWindowTextA(Control(id), WithWindowsLineBreaks(text).c_str());
}

void TMainDlgForm::SetEnabled(int id, bool enabled) { EnableWindow(Control(id), enabled ? TRUE : FALSE); }

void TMainDlgForm::SetVisible(int id, bool visible) { ShowWindow(Control(id), visible ? SW_SHOWNA : SW_HIDE); }

// The modal run.

int TMainDlgForm::ShowModal() {
    ShowWindow(hwnd_, SW_SHOW);
    SetForegroundWindow(hwnd_);
    HWND focus = GetFocus();
    if (!focus || !IsChild(hwnd_, focus)) FocusAfterMove(nullptr);
    while (modalResult_ == 0 && !quitReceived_) {
        MSG msg;
        const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
        if (got == 0) {
            // Someone asked the thread to quit: end the wizard and pass the
            // request on to whoever runs the next loop.
            quitReceived_ = true;
            quitCode_ = msg.wParam;
            break;
        }
        if (got == -1) break;
        if (!HandleEnterKey(msg) && !IsDialogMessageA(hwnd_, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        if (EscapedExceptionPending()) break;
    }
    if (modalResult_ == 0) {
        ClosedByProgram = true;
        modalResult_ = kModalCancel;
    }
    ShowWindow(hwnd_, SW_HIDE);
    GatherChoices();
    if (quitReceived_) PostQuitMessage(static_cast<int>(quitCode_));
    RethrowEscapedException();
    return modalResult_;
}

// Enter presses the Back or Cancel button when it has the focus and Next
// otherwise, wherever the focus is. The dialog manager alone would not do it
// everywhere: a multi-line edit box (the licence) asks its own parent, a page
// sheet, for the default button.
bool TMainDlgForm::HandleEnterKey(const MSG& msg) {
    if (msg.message != WM_KEYDOWN || msg.wParam != VK_RETURN) return false;
    if (msg.hwnd != hwnd_ && !IsChild(hwnd_, msg.hwnd)) return false;
    if (GetKeyState(VK_CONTROL) < 0 || GetKeyState(VK_MENU) < 0) return false;
    HWND focus = GetFocus();
    // An open drop-down list takes Enter itself, to close with the item
    // chosen; only then is the page left.
    char focusClass[16] = {};
    if (focus && GetClassNameA(focus, focusClass, sizeof focusClass) && lstrcmpiA(focusClass, "ComboBox") == 0 &&
        SendMessageA(focus, CB_GETDROPPEDSTATE, 0, 0))
        return false;
    int id = focus ? GetDlgCtrlID(focus) : 0;
    if (id != IDC_BackBtn && id != IDC_CancelBtn) id = IDC_NextBtn;
    SendMessageA(hwnd_, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(Control(id)));
    return true;
}

void TMainDlgForm::CloseWithResult(int result) {
    ClosedByProgram = true;
    if (modalResult_ == 0) modalResult_ = result;
}

// Messages.

LRESULT TMainDlgForm::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            if ((drives_ && drives_->HandleCommand(wParam, lParam)) ||
                (folders_ && folders_->HandleCommand(wParam, lParam)))
                return 0;
            OnCommand(LOWORD(wParam), HIWORD(wParam));
            return 0;
        case WM_CLOSE:
            OnClose();
            return 0;
        case WM_QUERYENDSESSION:
            // Half a copy would stay on the disk unrecorded.
            return installing_ ? FALSE : TRUE;
        case WM_ENDSESSION:
            if (wParam) OnEndSession();
            return 0;
        case DM_GETDEFID:
            // Next is the default button; a push button that has the focus
            // takes Enter itself while it has it (the dialog manager styles
            // it as default then).
            return MAKELRESULT(IDC_NextBtn, DC_HASDEFID);
        case DM_SETDEFID:
            return TRUE;
        case WM_NEXTDLGCTL:
            // The dialog manager moves the focus with this message (an access
            // key of a label moves it on to the control after the label).
            OnNextDialogControl(wParam, LOWORD(lParam) != 0);
            return 0;
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
            return OnCtlColor(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
        case WM_MEASUREITEM: {
            auto* item = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
            if (components_ && components_->MeasureItem(*item)) return TRUE;
            if ((folders_ && folders_->MeasureItem(*item)) || (drives_ && drives_->MeasureItem(*item))) return TRUE;
            break;
        }
        case WM_DRAWITEM: {
            auto* item = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
            if (components_ && components_->DrawItem(*item)) return TRUE;
            if ((folders_ && folders_->DrawItem(*item)) || (drives_ && drives_->DrawItem(*item))) return TRUE;
            break;
        }
        case WM_ACTIVATEAPP:
            OnActivateApp(wParam != FALSE);
            return 0;
        case WM_TIMER:
            if (wParam == kDrivePollTimerId) {
                OnDrivePollTimer();
                return 0;
            }
            break;
        default:
            break;
    }
    return DefWindowProcA(hwnd_, message, wParam, lParam);
}

void TMainDlgForm::OnCommand(int id, int code) {
    if (code != BN_CLICKED) return;
    switch (id) {
        case IDC_BackBtn:
        case IDC_NextBtn: {
            // Enter reaches here through the default button id as well: a
            // hidden or disabled button does nothing.
            HWND button = Control(id);
            if (installing_ || !IsWindowVisible(button) || !IsWindowEnabled(button)) return;
            BNClick(id == IDC_NextBtn);
            return;
        }
        case IDC_CancelBtn:
        case IDCANCEL: {
            // Escape arrives as IDCANCEL; it is the Cancel button's key.
            HWND button = Control(IDC_CancelBtn);
            if (!IsWindowVisible(button) || !IsWindowEnabled(button)) return;
            if (installing_)
                AskToStopCopying();
            else
                CancelBtnClick();
            return;
        }
        default:
            return;
    }
}

LRESULT TMainDlgForm::OnCtlColor(HDC dc, HWND control) {
    const int id = GetDlgCtrlID(control);
    if (id == IDC_TopLbl) {
        SetTextColor(dc, RGB(0, 0, 128));
        SetBkColor(dc, RGB(255, 255, 255));
        return reinterpret_cast<LRESULT>(GetStockObject(WHITE_BRUSH));
    }
    if (id == IDC_LicenseMemo) {
        // A read-only edit asks as a static; the licence reads on the window
        // colour like any document.
        SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
        SetBkColor(dc, GetSysColor(COLOR_WINDOW));
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
    }
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
    return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
}

void TMainDlgForm::OnClose() {
    // While the files are copied the window keeps answering; a close asks
    // whether to stop the copy, and the wizard closes once it has stopped.
    if (installing_) {
        AskToStopCopying();
        return;
    }
    if (FormCloseQuery()) CloseWithResult(kModalCancel);
}

void TMainDlgForm::OnEndSession() {
    if (sessionEnded_ || !session_) return;
    sessionEnded_ = true;
    // The copy, when under way, is paused in this window's message pump:
    // told to stop, it stops at its next report should the process live on,
    // and the ending below has run already, so the wizard's own ending finds
    // nothing left to do.
    stopRequested_ = true;
    SessionEndingFrontEnd ending;
    session_->End(ending);
}

void TMainDlgForm::OnNextDialogControl(WPARAM which, bool isHandle) {
    HWND target = isHandle ? reinterpret_cast<HWND>(which) : GetNextDlgTabItem(hwnd_, GetFocus(), which != 0);
    if (!target || !IsChild(hwnd_, target)) return;
    SetFocus(target);
    if (SendMessageA(target, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL) SendMessageA(target, EM_SETSEL, 0, -1);
}

void TMainDlgForm::OnActivateApp(bool active) {
    if (active && currentPage_ == ComponentsPage) UpdateDiskSpace();
}

}  // namespace qwp
