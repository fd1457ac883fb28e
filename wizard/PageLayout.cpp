#include "wizard/PageLayout.h"

#include "instutils/Handles.h"
#include "wizard/ControlIds.h"

#include <commctrl.h>

namespace qwp {

const char kPanelClass[] = "QuilvaneSetupPanel";

HFONT CreateDialogFont(int dpi) {
    LOGFONTA dialog{};
    dialog.lfHeight = -MulDiv(8, dpi, 72);
    dialog.lfWeight = FW_NORMAL;
    dialog.lfCharSet = DEFAULT_CHARSET;
    lstrcpynA(dialog.lfFaceName, "MS Shell Dlg 2", LF_FACESIZE);
    return CreateFontIndirectA(&dialog);
}

int SystemDpi() {
    WindowDc screen;
    const int dpi = screen.get() ? GetDeviceCaps(screen.get(), LOGPIXELSY) : 96;
    return dpi > 0 ? dpi : 96;
}

namespace {

constexpr DWORD kLabel = WS_VISIBLE | SS_LEFT;
constexpr DWORD kRightLabel = WS_VISIBLE | SS_RIGHT | SS_NOPREFIX;
constexpr DWORD kCheckBox = WS_VISIBLE | WS_TABSTOP | WS_GROUP | BS_AUTOCHECKBOX;
constexpr DWORD kButton = WS_VISIBLE | WS_TABSTOP | WS_GROUP | BS_PUSHBUTTON;
constexpr DWORD kContainer = WS_VISIBLE | WS_CLIPSIBLINGS;
constexpr DWORD kSheet = WS_CLIPSIBLINGS;  // shown by the page change
constexpr DWORD kCtlParent = WS_EX_CONTROLPARENT;
constexpr int kCheckHeight = 17;
constexpr int kEditHeight = 21;
constexpr PanelLook kNoLook = PanelLook::Face;
constexpr FontRole kDlg = FontRole::Dialog;

#define SHEET(name, page) \
    {#name, IDC_##name, IDC_PgCtrl, kPanelClass, "", kSheetRect.left, kSheetRect.top, \
     kSheetRect.right - kSheetRect.left, kSheetRect.bottom - kSheetRect.top, kSheet, kCtlParent, PanelLook::Face, kDlg}

const ControlRow kFixed[] = {
    {"TopPanel", IDC_TopPanel, 0, kPanelClass, "", 0, 0, 492, 46, kContainer, kCtlParent, PanelLook::White, kDlg},
    {"TopLbl", IDC_TopLbl, IDC_TopPanel, "STATIC", "", 20, 14, 0, 0, kLabel | SS_NOPREFIX, 0, kNoLook, FontRole::Title},
    {"SeparatorPanel", IDC_SeparatorPanel, 0, kPanelClass, "", 0, 306, 492, 2, kContainer, 0, PanelLook::Face, kDlg},
    {"SeparatorBevel", IDC_SeparatorBevel, IDC_SeparatorPanel, kPanelClass, "", 1, 0, 491, 2, WS_VISIBLE, 0, PanelLook::TopLine, kDlg},
    {"ButtonPanel", IDC_ButtonPanel, 0, kPanelClass, "", 0, 307, 492, 44, kContainer, kCtlParent, PanelLook::Face, kDlg},
    {"BackBtn", IDC_BackBtn, IDC_ButtonPanel, "BUTTON", "< &Back", 210, 12, 85, 22, kButton, 0, kNoLook, kDlg},
    {"NextBtn", IDC_NextBtn, IDC_ButtonPanel, "BUTTON", "&Next >", 295, 12, 85, 22,
     (kButton & ~BS_PUSHBUTTON) | BS_DEFPUSHBUTTON, 0, kNoLook, kDlg},
    {"CancelBtn", IDC_CancelBtn, IDC_ButtonPanel, "BUTTON", "Cancel", 392, 12, 85, 22, kButton, 0, kNoLook, kDlg},
    {"LogoPanel", IDC_LogoPanel, 0, kPanelClass, "", 0, 46, 123, 301, kContainer, 0, PanelLook::Face, kDlg},
    {"LogoImage", IDC_LogoImage, IDC_LogoPanel, kPanelClass, "", 1, 0, 120, 260, WS_VISIBLE, 0, PanelLook::Logo, kDlg},
    {"LogoBevel", IDC_LogoBevel, IDC_LogoPanel, kPanelClass, "", 121, 0, 2, 301, WS_VISIBLE, 0, PanelLook::LeftLine, kDlg},
    {"PgCtrl", IDC_PgCtrl, 0, kPanelClass, "", 120, 41, 375, 268, kContainer, kCtlParent, PanelLook::TabBody, kDlg},
};

const ControlRow kWelcome[] = {
    SHEET(WelcomeTabSheet, 0),
    {"WelcomeLbl", IDC_WelcomeLbl, IDC_WelcomeTabSheet, "STATIC", "", 12, 27, 349, 115, kLabel | SS_NOPREFIX, 0, kNoLook, kDlg},
};

const ControlRow kLicense[] = {
    SHEET(LicenseTabSheet, 1),
    {"LicenseLbl", IDC_LicenseLbl, IDC_LicenseTabSheet, "STATIC", "Please read the following License Agreement:",
     12, 7, 0, 0, kLabel, 0, kNoLook, kDlg},
    {"LicenseMemo", IDC_LicenseMemo, IDC_LicenseTabSheet, "EDIT", "", 12, 25, 345, 207,
     WS_VISIBLE | WS_TABSTOP | WS_GROUP | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL,
     WS_EX_CLIENTEDGE, kNoLook, kDlg},
    {"LicenseChkBx", IDC_LicenseChkBx, IDC_LicenseTabSheet, "BUTTON",
     "I &accept all the terms of the above License Agreement", 12, 237, 282, kCheckHeight, kCheckBox, 0, kNoLook, kDlg},
};

const ControlRow kDestDir[] = {
    SHEET(DestDirTabSheet, 2),
    {"DestDirLbl", IDC_DestDirLbl, IDC_DestDirTabSheet, "STATIC",
     "Specify the &folder where you want to install Quilvane Word Processor:", 11, 7, 0, 0, kLabel, 0, kNoLook, kDlg},
    {"DestDirEdt", IDC_DestDirEdt, IDC_DestDirTabSheet, "EDIT", "", 11, 26, 345, kEditHeight,
     WS_VISIBLE | WS_TABSTOP | WS_GROUP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, kNoLook, kDlg},
    // The folder and drive pickers take these over; the drive list sets its
    // own heights (closed and dropped down) from its item height.
    {"DestDirLstBx", IDC_DestDirLstBx, IDC_DestDirTabSheet, "LISTBOX", "", 11, 48, 345, 174,
     WS_VISIBLE | WS_TABSTOP | WS_GROUP | WS_VSCROLL | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | LBS_NOTIFY |
         LBS_NOINTEGRALHEIGHT,
     WS_EX_CLIENTEDGE, kNoLook, kDlg},
    {"DestDirCmbBx", IDC_DestDirCmbBx, IDC_DestDirTabSheet, "COMBOBOX", "", 11, 225, 345, 19,
     WS_VISIBLE | WS_TABSTOP | WS_GROUP | WS_VSCROLL | CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS, 0,
     kNoLook, kDlg},
};

const ControlRow kSelComp[] = {
    SHEET(SelCompTabSheet, 3),
    {"SelCompLbl", IDC_SelCompLbl, IDC_SelCompTabSheet, "STATIC", "", 11, 7, 345, 30, kLabel, 0, kNoLook, kDlg},
    {"SelCompLstBx", IDC_SelCompLstBx, IDC_SelCompTabSheet, "LISTBOX", "", 11, 43, 345, 148,
     WS_VISIBLE | WS_TABSTOP | WS_GROUP | WS_VSCROLL | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | LBS_NOTIFY |
         LBS_NOINTEGRALHEIGHT,
     WS_EX_CLIENTEDGE, kNoLook, kDlg},
    {"SelCompDiskPanel", IDC_SelCompDiskPanel, IDC_SelCompTabSheet, kPanelClass, "", 11, 200, 345, 49, kContainer, 0,
     PanelLook::Etched, kDlg},
    {"SelCompDiskSpaceReqLbl1", IDC_SelCompDiskSpaceReqLbl1, IDC_SelCompDiskPanel, "STATIC", "Required disk space:",
     8, 8, 0, 0, kLabel | SS_NOPREFIX, 0, kNoLook, kDlg},
    {"SelCompDiskSpaceReqLbl2", IDC_SelCompDiskSpaceReqLbl2, IDC_SelCompDiskPanel, "STATIC", "", 185, 8, 150, 13,
     kRightLabel, 0, kNoLook, kDlg},
    {"SelCompDiskSpaceAvailLbl1", IDC_SelCompDiskSpaceAvailLbl1, IDC_SelCompDiskPanel, "STATIC",
     "Available disk space:", 8, 25, 0, 0, kLabel | SS_NOPREFIX, 0, kNoLook, kDlg},
    {"SelCompDiskSpaceAvailLbl2", IDC_SelCompDiskSpaceAvailLbl2, IDC_SelCompDiskPanel, "STATIC", "", 185, 25, 150, 13,
     kRightLabel, 0, kNoLook, kDlg},
};

const ControlRow kStart[] = {
    SHEET(StartTabSheet, 4),
    {"StartLbl", IDC_StartLbl, IDC_StartTabSheet, "STATIC",
     "You are now ready to install Quilvane Word Processor.\r\r"
     "Click Next to begin installation. Click Back if you want to review or change installation settings.",
     11, 7, 345, 58, kLabel | SS_NOPREFIX, 0, kNoLook, kDlg},
    {"InstallToAllChkBx", IDC_InstallToAllChkBx, IDC_StartTabSheet, "BUTTON",
     "Install for &anyone who uses this computer", 11, 189, 230, kCheckHeight, kCheckBox, 0, kNoLook, kDlg},
    {"DesktopChkBx", IDC_DesktopChkBx, IDC_StartTabSheet, "BUTTON", "Create a &Desktop shortcut", 11, 212, 230,
     kCheckHeight, kCheckBox, 0, kNoLook, kDlg},
};

const ControlRow kInstalling[] = {
    SHEET(InstallingTabSheet, 5),
    {"InstallFileLbl", IDC_InstallFileLbl, IDC_InstallingTabSheet, "STATIC", "", 11, 27, 345, 13,
     kLabel | SS_NOPREFIX | SS_PATHELLIPSIS, 0, kNoLook, kDlg},
    {"InstallProgressBar", IDC_InstallProgressBar, IDC_InstallingTabSheet, PROGRESS_CLASSA, "", 11, 48, 345, 18,
     WS_VISIBLE | PBS_SMOOTH, 0, kNoLook, kDlg},
};

const ControlRow kAssoc[] = {
    SHEET(AssocTabSheet, 6),
    {"AssocLbl", IDC_AssocLbl, IDC_AssocTabSheet, "STATIC",
     "Please check the document types that you want to associate with Quilvane Word Processor:", 11, 7, 320, 32,
     kLabel | SS_NOPREFIX, 0, kNoLook, kDlg},
    {"AssocChkBx1", IDC_AssocChkBx1, IDC_AssocTabSheet, "BUTTON", "RTF Documents", 40, 76, 110, kCheckHeight,
     kCheckBox, 0, kNoLook, kDlg},
    {"AssocChkBx2", IDC_AssocChkBx2, IDC_AssocTabSheet, "BUTTON", "Encrypted COD Documents", 40, 103, 169,
     kCheckHeight, kCheckBox, 0, kNoLook, kDlg},
    {"AssocChkBx3", IDC_AssocChkBx3, IDC_AssocTabSheet, "BUTTON", "MS Word DOC Documents", 40, 130, 173,
     kCheckHeight, kCheckBox, 0, kNoLook, kDlg},
    {"AssocChkBx4", IDC_AssocChkBx4, IDC_AssocTabSheet, "BUTTON", "MS Word DOCX Documents", 40, 157, 180,
     kCheckHeight, kCheckBox, 0, kNoLook, kDlg},
};

const ControlRow kFinish[] = {
    SHEET(FinishTabSheet, 7),
    {"FinishLbl", IDC_FinishLbl, IDC_FinishTabSheet, "STATIC", "", 11, 7, 345, 150, kLabel | SS_NOPREFIX, 0, kNoLook,
     kDlg},
    {"FinishChkBx", IDC_FinishChkBx, IDC_FinishTabSheet, "BUTTON", "&Launch Quilvane Word Processor", 40, 190, 180,
     kCheckHeight, kCheckBox, 0, kNoLook, kDlg},
};

#undef SHEET

template <std::size_t N>
ControlTable TableOf(const ControlRow (&rows)[N]) {
    return ControlTable{rows, N};
}

}  // namespace

ControlTable FixedAreaLayout() { return TableOf(kFixed); }

ControlTable PageLayout(int page) {
    switch (page) {
        case 0: return TableOf(kWelcome);
        case 1: return TableOf(kLicense);
        case 2: return TableOf(kDestDir);
        case 3: return TableOf(kSelComp);
        case 4: return TableOf(kStart);
        case 5: return TableOf(kInstalling);
        case 6: return TableOf(kAssoc);
        case 7: return TableOf(kFinish);
        default: return ControlTable{nullptr, 0};
    }
}

}  // namespace qwp
