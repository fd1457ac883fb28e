// The moves between the wizard's pages, the licence loading of the first
// move to page 1, the install run of page 5, the post-install actions of
// page 7, Finish and the closing questions.
#include "controls/MessageDlg.h"
#include "instutils/InstUtils.h"
#include "registration/PostInstall.h"
#include "registration/RunningInstance.h"
#include "registration/UpdateLog.h"
#include "wizard/ControlIds.h"
#include "wizard/MainDlg.h"
#include "wizard/WizardTexts.h"

#include <commctrl.h>

namespace qwp {

namespace {

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

void ShowRunningInstanceMessage() {
    MessageDlg(kRunningInstanceMessage, MsgKind::Information, mbOK, mbOK, mbOK);
}

}  // namespace

void TMainDlgForm::ChangePage(unsigned char from, unsigned char to) {
    if (to == 6 && IsPortableInstall()) to = 7;

    HWND focus = nullptr;
    switch (to) {
        case 0:
            break;
        case 1:
            if (from == 0 && GetWindowTextLengthA(Control(IDC_LicenseMemo)) == 0 && !LoadLicence()) return;
            focus = Control(IDC_LicenseMemo);
            break;
        case 2:
            if (from == 1 && !Checked(IDC_LicenseChkBx)) {
                if (MessageDlg(kLicenceRefusedMessage, MsgKind::Information, mbYes | mbNo, mbYes, mbNo) ==
                    MsgResult::Yes)
                    CloseWithResult(kModalCancel);
                return;
            }
            focus = Control(IDC_DestDirEdt);
            break;
        case 3:
            if (from == 2) {
                NormalizeDestDir();
                MainDir = Text(IDC_DestDirEdt);
            }
            UpdateComponentSizes();
            focus = Control(IDC_SelCompLstBx);
            break;
        case 4: {
            const bool portable = IsPortableInstall();
            SetVisible(IDC_InstallToAllChkBx, !portable);
            SetVisible(IDC_DesktopChkBx, !portable);
            focus = Control(IDC_NextBtn);
            break;
        }
        case 5:
            if (IsWordProcessorRunning()) {
                ShowRunningInstanceMessage();
                return;
            }
            break;
        case 6: {
            static const int boxes[4] = {IDC_AssocChkBx1, IDC_AssocChkBx2, IDC_AssocChkBx3, IDC_AssocChkBx4};
            const AssociationBoxes checked = AssociationBoxesOf(AssociationLetters);
            for (std::size_t i = 0; i < checked.size(); ++i) SetChecked(boxes[i], checked[i]);
            focus = Control(IDC_AssocChkBx1);
            break;
        }
        case 7:
            RunPostInstallActions();
            break;
        case 8:
            FinishSetup();
            return;
        default:
            return;
    }

    SetButtonStates(to);
    // After the common button states: on page 3 Next follows the free space.
    if (to == 3) UpdateDiskSpace();
    SetTitle(kPageTitles[to]);
    ShowPage(to);
    FocusAfterMove(focus);
    if (to == 5) RunInstallPage();
}

void TMainDlgForm::BNClick(bool next) {
    const int from = currentPage_;
    if (from < 0 || from > 7) return;
    if (next)
        ChangePage(static_cast<unsigned char>(from), static_cast<unsigned char>(from + 1));
    else if (from > 0)
        ChangePage(static_cast<unsigned char>(from), static_cast<unsigned char>(from - 1));
}

void TMainDlgForm::CancelBtnClick() { SendMessageA(hwnd_, WM_CLOSE, 0, 0); }

bool TMainDlgForm::FormCloseQuery() {
    if (ClosedByProgram) return true;
    if (MessageDlg(kCloseQueryMessage, MsgKind::Confirm, mbNo | mbAbort, mbNone, mbNo) != MsgResult::Abort)
        return false;
    ClosedByProgram = true;
    return true;
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
            extracted = AttachedFiles && AttachedFiles->ExtractEntry(nullptr, kLicenceEntryName, temporary);
        }
        if (extracted) {
            std::string text;
            if (ReadLines(temporary, text)) SetWindowTextA(Control(IDC_LicenseMemo), text.c_str());
            DeleteFileA(temporary.c_str());
        }
    } catch (...) {
        // Out of memory on the way: the move fails, but the user keeps the
        // buttons to try again or to leave.
        DeleteFileA(temporary.c_str());
        SetEnabled(IDC_NextBtn, true);
        SetEnabled(IDC_CancelBtn, true);
        throw;
    }
    if (!extracted) CloseWithResult(kModalCancel);
    return true;
}

void TMainDlgForm::RunPostInstallActions() {
    target_.MainDir = MainDir;
    WriteCommonDataFile(target_.GetInstallFolder(CommonDataFolder));
    if (IsPortableInstall()) return;
    const AssociationBoxes boxes{Checked(IDC_AssocChkBx1), Checked(IDC_AssocChkBx2), Checked(IDC_AssocChkBx3),
                                 Checked(IDC_AssocChkBx4)};
    AssociationLetters = AssociationLettersOf(boxes);
    StartCommand(AssociationCommand(MainDir, boxes));
    PlaceShortcuts(MainDir, Checked(IDC_InstallToAllChkBx), Checked(IDC_DesktopChkBx));
}

void TMainDlgForm::FinishSetup() {
    if (!IsPortableInstall() && !WriteUpdateLog()) return;
    if (Checked(IDC_FinishChkBx)) StartCommand(LaunchCommand(MainDir));
    CloseWithResult(kModalOK);
}

bool TMainDlgForm::WriteUpdateLog() {
    // Nothing shared was installed: the file is neither read nor written,
    // and its folder is not asked for (asking creates it).
    if (!AttachedFiles || AttachedFiles->SharedUpdateList.empty()) return true;
    target_.MainDir = MainDir;
    const UpdateLogResult result = qwp::WriteUpdateLog(AttachedFiles->SharedUpdateList, target_.InstallStamp,
                                                       target_.GetInstallFolder(CommonDataFolder));
    if (!result.ok) MessageDlg(result.message, MsgKind::Error, mbOK, mbOK, mbOK);
    return result.ok;
}

void TMainDlgForm::SetButtonStates(int to) {
    HWND back = Control(IDC_BackBtn), next = Control(IDC_NextBtn), cancel = Control(IDC_CancelBtn);
    ShowWindow(back, to != 0 ? SW_SHOWNA : SW_HIDE);
    EnableWindow(back, to < 5);
    SetWindowTextA(back, kBackCaption);
    EnableWindow(next, to != 5);
    SetWindowTextA(next, to == 7 ? kFinishCaption : kNextCaption);
    EnableWindow(cancel, to != 7);
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
    if (!AttachedFiles) {
        CloseWithResult(kModalCancel);
        return;
    }
    std::vector<bool> chosen;
    for (int row = 0; row < components_->Count(); ++row) chosen.push_back(components_->Chosen(row));
    target_.MainDir = MainDir;
    target_.SelectedComponents = SelectionFromRows(ComponentNumbers, chosen);

    InstallResult result;
    {
        FlagScope busy(installing_);
        // Nothing can close the wizard while the run copies (the Cancel
        // button keeps the state the page gave it); the close command says so.
        HMENU systemMenu = GetSystemMenu(hwnd_, FALSE);
        EnableMenuItem(systemMenu, SC_CLOSE, MF_BYCOMMAND | MF_GRAYED);
        SendMessageA(Control(IDC_InstallProgressBar), PBM_SETPOS, 0, 0);
        UpdateWindow(hwnd_);
        try {
            result = RunInstall(*AttachedFiles, target_,
                                [this](const InstallProgress& progress) {
                                    ShowInstallProgress(progress);
                                    PumpMessages();
                                });
        } catch (...) {
            EnableMenuItem(systemMenu, SC_CLOSE, MF_BYCOMMAND | MF_ENABLED);
            throw;
        }
        EnableMenuItem(systemMenu, SC_CLOSE, MF_BYCOMMAND | MF_ENABLED);
    }
    if (result == InstallResult::Aborted)
        CloseWithResult(kModalCancel);
    else
        ChangePage(5, 6);
}

void TMainDlgForm::ShowInstallProgress(const InstallProgress& progress) {
    SetWindowTextA(Control(IDC_InstallFileLbl), progress.currentDestination.c_str());
    const std::int64_t position =
        progress.bytesPlanned > 0 ? progress.bytesWritten * 1000 / progress.bytesPlanned : 0;
    SendMessageA(Control(IDC_InstallProgressBar), PBM_SETPOS, static_cast<WPARAM>(position), 0);
}

// Keeps the window painting and answering while the install run works on
// this thread. The buttons are disabled and a close request is ignored
// meanwhile, so nothing here can start another page change.
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
