// The moves between the wizard's pages, the licence loading of the first
// move to page 1, the install run of page 5, the post-install actions of
// page 7, Finish and the closing questions.
#include "controls/MessageDlg.h"
#include "instutils/InstUtils.h"
#include "registration/PostInstall.h"
#include "registration/RunningInstance.h"
#include "registration/UpdateLog.h"
#include "wizard/ControlIds.h"
#include "instutils/EscapedException.h"
#include "wizard/MainDlg.h"
#include "wizard/EndOfSession.h"
#include "wizard/WizardTexts.h"

#include <commctrl.h>

namespace qwp {

namespace {

// The association boxes in the order of the letters A to D.
constexpr int kAssociationBoxes[4] = {IDC_AssocChkBx1, IDC_AssocChkBx2, IDC_AssocChkBx3, IDC_AssocChkBx4};

// The system wait cursor for as long as it lives.
class WaitCursor {
public:
    WaitCursor() noexcept : previous_(SetCursor(LoadCursorA(nullptr, IDC_WAIT))) {}
    ~WaitCursor() { SetCursor(previous_); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

private:
    HCURSOR previous_;
};

// Keeps the install log quiet for one extraction, whatever its outcome.
class LogSuppressed {
public:
    LogSuppressed() { SuppressLog(); }
    ~LogSuppressed() { ResumeLog(); }
    LogSuppressed(const LogSuppressed&) = delete;
    LogSuppressed& operator=(const LogSuppressed&) = delete;
};

// The lines of a text file joined with CR LF for a multi-line edit box;
// false when the file cannot be read.
bool ReadLines(const std::string& path, std::string& text) {
    UniqueFile file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size) || size.QuadPart > 64 * 1024 * 1024) return false;
    std::string raw(static_cast<std::size_t>(size.QuadPart), '\0');
    DWORD read = 0;
    if (!raw.empty() && !ReadFile(file.get(), &raw[0], static_cast<DWORD>(raw.size()), &read, nullptr)) return false;
    raw.resize(read);
    text.clear();
    text.reserve(raw.size() + raw.size() / 32);
    for (std::size_t i = 0; i < raw.size(); ++i) {
        const char c = raw[i];
        if (c == '\r' || c == '\n') {
            text += "\r\n";
            if (c == '\r' && i + 1 < raw.size() && raw[i + 1] == '\n') ++i;
        } else {
            text += c;
        }
    }
    return true;
}

}  // namespace

MsgResult TMainDlgForm::Ask(const std::string& text, MsgKind kind, MsgButtons buttons, MsgButton defaultButton,
                            MsgButton escapeButton) {
    // Owned by the wizard whatever window is active, so the question can
    // never hide behind it and nothing on the wizard can be clicked meanwhile.
    return MessageDlg(hwnd_, text, kind, buttons, defaultButton, escapeButton);
}

AssociationBoxes TMainDlgForm::BoxesChecked() const {
    AssociationBoxes boxes{};
    for (std::size_t i = 0; i < boxes.size(); ++i) boxes[i] = Checked(kAssociationBoxes[i]);
    return boxes;
}

void TMainDlgForm::ShowRunningInstanceMessage() {
    Ask(kRunningInstanceMessage, MsgKind::Information, mbOK, mbOK, mbOK);
}

void TMainDlgForm::ChangePage(unsigned char from, unsigned char to) {
    if (to == AssociationsPage && IsPortableInstall()) to = CompletionPage;

    HWND focus = nullptr;
    switch (to) {
        case WelcomePage:
            break;
        case LicencePage:
            if (from == WelcomePage && GetWindowTextLengthA(Control(IDC_LicenseMemo)) == 0 && !LoadLicence()) return;
            focus = Control(IDC_LicenseMemo);
            break;
        case DestinationPage:
            if (from == LicencePage && !Checked(IDC_LicenseChkBx)) {
                if (Ask(kLicenceRefusedMessage, MsgKind::Information, mbYes | mbNo, mbYes, mbNo) == MsgResult::Yes)
                    CloseWithResult(kModalCancel);
                return;
            }
            focus = Control(IDC_DestDirEdt);
            break;
        case ComponentsPage:
            if (from == DestinationPage) {
                const CheckedDestination checked =
                    session_->SetDestination(Text(IDC_DestDirEdt), drives_ ? drives_->SelectedDrive() : '\0');
                if (checked.fault != DestinationFault::None) {
                    Ask(UnusableFolderMessage(checked), MsgKind::Error, mbOK, mbOK, mbOK);
                    return;
                }
                SetText(IDC_DestDirEdt, session_->Destination());
            }
            UpdateComponentSizes();
            focus = Control(IDC_SelCompLstBx);
            break;
        case ReadyPage: {
            const bool portable = IsPortableInstall();
            SetVisible(IDC_InstallToAllChkBx, !portable);
            SetVisible(IDC_DesktopChkBx, !portable);
            focus = Control(IDC_NextBtn);
            break;
        }
        case InstallingPage:
            if (IsWordProcessorInUse(session_->Destination())) {
                ShowRunningInstanceMessage();
                return;
            }
            break;
        case AssociationsPage: {
            const AssociationBoxes checked = AssociationBoxesOf(session_->Options().AssociationLetters);
            for (std::size_t i = 0; i < checked.size(); ++i) SetChecked(kAssociationBoxes[i], checked[i]);
            focus = Control(IDC_AssocChkBx1);
            break;
        }
        case CompletionPage:
            // The boxes count only when their page was shown: a portable
            // installation keeps the stored letters.
            if (from == AssociationsPage) session_->Options().AssociationLetters = AssociationLettersOf(BoxesChecked());
            session_->RunThrough(InstallStep::PostInstallActions, *this);
            break;
        case FinishMove:
            FinishSetup();
            return;
        default:
            return;
    }

    SetButtonStates(to);
    // After the common button states: on the components page Next follows
    // the free space.
    if (to == ComponentsPage) UpdateDiskSpace();
    SetTitle(kPageTitles[to]);
    ShowPage(to);
    FocusAfterMove(focus);
    if (to == InstallingPage) RunInstallPage();
}

void TMainDlgForm::BNClick(bool next) {
    const int from = currentPage_;
    if (from < WelcomePage || from > CompletionPage) return;
    if (next)
        ChangePage(static_cast<unsigned char>(from), static_cast<unsigned char>(from + 1));
    else if (from > WelcomePage)
        ChangePage(static_cast<unsigned char>(from), static_cast<unsigned char>(from - 1));
}

void TMainDlgForm::CancelBtnClick() { SendMessageA(hwnd_, WM_CLOSE, 0, 0); }

bool TMainDlgForm::FormCloseQuery() {
    if (ClosedByProgram) return true;
    if (Ask(kCloseQueryMessage, MsgKind::Confirm, mbNo | mbAbort, mbNone, mbNo) != MsgResult::Abort) return false;
    ClosedByProgram = true;
    return true;
}

// Cancel, Escape or the close box while the files are copied: the close
// question; Abort stops the copy after the file being written, as Abort in
// a copy's error message does.
void TMainDlgForm::AskToStopCopying() {
    // One question at a time: a second close request while it is open (from
    // another program) is not asked again inside it.
    if (stopRequested_ || askingToStop_) return;
    FlagScope asking(askingToStop_);
    if (FormCloseQuery()) stopRequested_ = true;
}

// The licence text, extracted to a temporary file that is read and deleted.
// False when a running word processor refuses the move.
bool TMainDlgForm::LoadLicence() {
    if (IsWordProcessorRunning()) {
        ShowRunningInstanceMessage();
        return false;
    }
    SetEnabled(IDC_NextBtn, false);
    SetEnabled(IDC_CancelBtn, false);
    WaitCursor wait;
    const std::string temporary = NewTempFileName();
    bool extracted;
    try {
        {
            LogSuppressed quiet;
            extracted = session_->Catalogue().ExtractEntry(nullptr, kLicenceEntryName, temporary, *this);
        }
        if (extracted) {
            std::string text;
            if (ReadLines(temporary, text)) SetWindowTextA(Control(IDC_LicenseMemo), text.c_str());
            DeleteFileA(temporary.c_str());
        }
    } catch (...) {
        // Out of memory on the way: the temporary file goes and the buttons
        // come back before the failure ends the run.
        DeleteFileA(temporary.c_str());
        SetEnabled(IDC_NextBtn, true);
        SetEnabled(IDC_CancelBtn, true);
        throw;
    }
    if (!extracted) CloseWithResult(kModalCancel);
    return true;
}

void TMainDlgForm::FinishSetup() {
    GatherChoices();
    if (!session_->RunThrough(InstallStep::UpdateLog, *this)) return;
    if (Checked(IDC_FinishChkBx) && !session_->LaunchWordProcessor(LaunchRouteOfThisProcess()))
        Ask(NotLaunchedMessage(session_->Destination()), MsgKind::Information, mbOK, mbOK, mbOK);
    CloseWithResult(kModalOK);
}

void TMainDlgForm::SetButtonStates(int to) {
    HWND back = Control(IDC_BackBtn), next = Control(IDC_NextBtn), cancel = Control(IDC_CancelBtn);
    ShowWindow(back, to != WelcomePage ? SW_SHOWNA : SW_HIDE);
    EnableWindow(back, to < InstallingPage);
    SetWindowTextA(back, kBackCaption);
    EnableWindow(next, to != InstallingPage);
    SetWindowTextA(next, to == CompletionPage ? kFinishCaption : kNextCaption);
    EnableWindow(cancel, to != CompletionPage);
    SetWindowTextA(cancel, ButtonCaption(mbCancel));
}

void TMainDlgForm::SetTitle(const char* title) {
    HWND label = Control(IDC_TopLbl);
    SetWindowTextA(label, title);
    FitToText(label, static_cast<HFONT>(titleFont_.get()), 0, 0);
    InvalidateRect(Control(IDC_TopPanel), nullptr, TRUE);
}

void TMainDlgForm::ShowPage(int page) {
    static const int sheets[kPageCount] = {IDC_WelcomeTabSheet, IDC_LicenseTabSheet, IDC_DestDirTabSheet,
                                           IDC_SelCompTabSheet, IDC_StartTabSheet,   IDC_InstallingTabSheet,
                                           IDC_AssocTabSheet,   IDC_FinishTabSheet};
    // Show the new sheet first, so the page area never shows an empty frame.
    ShowWindow(Control(sheets[page]), SW_SHOWNA);
    for (int i = 0; i < kPageCount; ++i)
        if (i != page) ShowWindow(Control(sheets[i]), SW_HIDE);
    currentPage_ = page;
}

void TMainDlgForm::FocusAfterMove(HWND focus) {
    if (!IsWindowVisible(hwnd_)) return;
    if (focus) {
        SetFocus(focus);
        if (GetDlgCtrlID(focus) == IDC_DestDirEdt) SendMessageA(focus, EM_SETSEL, 0, -1);
        return;
    }
    // Keyboard focus on a control that is now hidden or disabled would leave
    // Tab and the access keys without a start: Next takes it then.
    HWND current = GetFocus();
    if (current && IsChild(hwnd_, current) && IsWindowVisible(current) && IsWindowEnabled(current)) return;
    HWND next = Control(IDC_NextBtn);
    SetFocus(IsWindowEnabled(next) ? next : hwnd_);
}

void TMainDlgForm::RunInstallPage() {
    GatherChoices();
    bool completed;
    {
        FlagScope busy(installing_);
        const ShutdownBlock block(hwnd_);
        stopRequested_ = false;
        SendMessageA(Control(IDC_InstallProgressBar), PBM_SETPOS, 0, 0);
        UpdateWindow(hwnd_);
        completed = session_->RunThrough(InstallStep::Copy, *this);
    }
    // Abort in the close question during the last report, once every file
    // was written, still ends the wizard as the user chose.
    if (!completed || stopRequested_)
        CloseWithResult(kModalCancel);
    else
        ChangePage(InstallingPage, AssociationsPage);
}

ProgressAnswer TMainDlgForm::OnProgress(const InstallProgress& progress) {
    ShowInstallProgress(progress);
    PumpMessages();
    return stopRequested_ || EscapedExceptionPending() ? ProgressAnswer::Stop : ProgressAnswer::Continue;
}

CopyAnswer TMainDlgForm::OnCopyFailed(const std::string&, const std::string& message) {
    // Enter retries; a stray key press must not end the installation.
    switch (Ask(message, MsgKind::Error, mbAbort | mbRetry | mbIgnore, mbRetry, mbNone)) {
        case MsgResult::Abort: return CopyAnswer::Abort;
        case MsgResult::Ignore: return CopyAnswer::Ignore;
        default: return CopyAnswer::Retry;  // Retry, or the dialog closed another way
    }
}

void TMainDlgForm::OnFailure(const std::string& message) { Ask(message, MsgKind::Error, mbOK, mbOK, mbOK); }

void TMainDlgForm::ShowInstallProgress(const InstallProgress& progress) {
    SetWindowTextA(Control(IDC_InstallFileLbl), progress.currentDestination.c_str());
    const std::int64_t position =
        progress.bytesPlanned > 0 ? progress.bytesWritten * 1000 / progress.bytesPlanned : 0;
    SendMessageA(Control(IDC_InstallProgressBar), PBM_SETPOS, static_cast<WPARAM>(position), 0);
}

// Keeps the window painting and answering while the install run works on
// this thread. Back and Next are disabled meanwhile, and Cancel or a close
// request only asks whether to stop the copy, so nothing here can start
// another page change.
void TMainDlgForm::PumpMessages() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            quitReceived_ = true;
            quitCode_ = msg.wParam;
            continue;
        }
        if (!HandleEnterKey(msg) && !IsDialogMessageA(hwnd_, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
}

}  // namespace qwp
