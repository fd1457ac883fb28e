// Control identifiers of the wizard window, one per named control. They are
// stable: the end-to-end tests find and press controls by these numbers from
// another process.
#pragma once

namespace qwp {

enum ControlId : int {
    // Fixed areas and the button strip.
    IDC_TopPanel = 100,
    IDC_TopLbl = 101,
    IDC_LogoPanel = 102,
    IDC_LogoImage = 103,
    IDC_LogoBevel = 104,
    IDC_PgCtrl = 105,
    IDC_SeparatorPanel = 106,
    IDC_SeparatorBevel = 107,
    IDC_ButtonPanel = 108,
    IDC_BackBtn = 110,
    IDC_NextBtn = 111,
    IDC_CancelBtn = 112,

    // Pages (the sheets that hold each page's controls).
    IDC_WelcomeTabSheet = 200,
    IDC_LicenseTabSheet = 201,
    IDC_DestDirTabSheet = 202,
    IDC_SelCompTabSheet = 203,
    IDC_StartTabSheet = 204,
    IDC_InstallingTabSheet = 205,
    IDC_AssocTabSheet = 206,
    IDC_FinishTabSheet = 207,

    // Page 0.
    IDC_WelcomeLbl = 300,
    // Page 1.
    IDC_LicenseLbl = 310,
    IDC_LicenseMemo = 311,
    IDC_LicenseChkBx = 312,
    // Page 2.
    IDC_DestDirLbl = 320,
    IDC_DestDirEdt = 321,
    IDC_DestDirLstBx = 322,
    IDC_DestDirCmbBx = 323,
    // Page 3.
    IDC_SelCompLbl = 330,
    IDC_SelCompLstBx = 331,
    IDC_SelCompDiskPanel = 332,
    IDC_SelCompDiskSpaceReqLbl1 = 333,
    IDC_SelCompDiskSpaceReqLbl2 = 334,
    IDC_SelCompDiskSpaceAvailLbl1 = 335,
    IDC_SelCompDiskSpaceAvailLbl2 = 336,
    // Page 4.
    IDC_StartLbl = 340,
    IDC_InstallToAllChkBx = 341,
    IDC_DesktopChkBx = 342,
    // Page 5: the progress of the install run.
    IDC_InstallProgressBar = 350,
    IDC_InstallFileLbl = 351,
    // The heading of the progress window of a "/P" run.
    IDC_InstallTitleLbl = 352,
    // Page 6.
    IDC_AssocLbl = 360,
    IDC_AssocChkBx1 = 361,
    IDC_AssocChkBx2 = 362,
    IDC_AssocChkBx3 = 363,
    IDC_AssocChkBx4 = 364,
    // Page 7.
    IDC_FinishLbl = 370,
    IDC_FinishChkBx = 371,
};

}  // namespace qwp
