// The setup wizard: one window of eight pages (welcome, licence, destination
// folder, components, ready to install, installing, document associations,
// completion) with Back, Next and Cancel below them. It is shown modally by
// the setup driver; every page change goes through ChangePage.
#pragma once

#include "controls/CheckListBox.h"
#include "controls/FileCtrl.h"
#include "instutils/Handles.h"
#include "payload/InstallPlan.h"
#include "payload/InstallRun.h"
#include "wizard/Panel.h"

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace qwp {

// The wizard's modal results.
constexpr int kModalOK = 1;
constexpr int kModalCancel = 2;

// The page number that stands for "no page" as the page left.
constexpr unsigned char kNoPage = 255;

class TMainDlgForm {
public:
    // Creates the window (hidden), reads the stored choices with the program
    // arguments given (without the program name; the "-d" option), fills the
    // components list, starts timer 1 and enters the welcome page. The
    // catalogue (AttachedFiles) must exist. A dpi of 0 takes the system's;
    // tests pass another to see the layout scaled.
    TMainDlgForm(HWND owner, const std::vector<std::string>& arguments, int dpi = 0);
    ~TMainDlgForm();
    TMainDlgForm(const TMainDlgForm&) = delete;
    TMainDlgForm& operator=(const TMainDlgForm&) = delete;

    // Shows the window and runs its modal loop until a modal result is set;
    // returns it (kModalOK after Finish, kModalCancel otherwise). The window
    // is hidden again afterwards.
    int ShowModal();

    HWND Handle() const { return hwnd_; }
    HWND Control(int id) const;
    int Dpi() const { return dpi_; }
    int ModalResult() const { return modalResult_; }
    // The page shown (0 to 7).
    int CurrentPage() const { return currentPage_; }

    // Navigation.
    void ChangePage(unsigned char from, unsigned char to);
    void BNClick(bool next);
    void CancelBtnClick();
    bool FormCloseQuery();

    // Components page.
    void UpdateDiskSpace();
    void SelCompLstBxClickCheck();
    void SelCompLstBxDrawItem(HDC dc, int row, const RECT& rect, bool selected);
    TCheckListBox& SelCompLstBx() { return *components_; }

    // Destination folder.
    void NormalizeDestDir();
    bool IsPortableInstall() const;
    // The folder list's change: its folder, normalised, into the edit box
    // once FolderSyncEnabled is set (at the end of the construction).
    void DestDirLstBxChange();
    TDirectoryListBox& DestDirLstBx() { return *folders_; }
    TDriveComboBox& DestDirCmbBx() { return *drives_; }
    bool FolderSyncEnabled = false;

    // Stored choices; after a normal installation also the uninstall entry.
    void LoadSetupChoices(const std::vector<std::string>& arguments);
    void SaveSetupChoices();

    // Entering page 7: the common data file and, unless portable, the
    // association letters from their boxes, the association command and the
    // shortcuts.
    void RunPostInstallActions();
    // Finish: Update.log unless portable, the launch when its box is
    // checked, and the close with result OK. When Update.log fails the
    // wizard stays on page 7 and nothing is launched.
    void FinishSetup();
    // Merges the shared files of this run into Update.log; false, after
    // telling the user, when the file could not be read or written.
    bool WriteUpdateLog();

    std::string MainDir;
    std::uint32_t StoredComponents = 0x7FFFFFFF;
    std::string AssociationLetters;
    std::vector<int> ComponentNumbers;
    bool ClosedByProgram = false;

private:
    template <typename Window>
    friend LRESULT CALLBACK WindowThunk(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void OnCommand(int id, int code);
    LRESULT OnCtlColor(HDC dc, HWND control);
    void OnClose();
    void OnActivateApp(bool active);
    void OnNextDialogControl(WPARAM which, bool isHandle);
    void OnDrivePollTimer();
    bool HandleEnterKey(const MSG& msg);

    // Construction.
    void CreateMainWindow(HWND owner);
    void CreateFonts();
    void CreateControls(const ControlTable& table);
    void SetUpComponentsList();
    void SetUpFolderPickers();
    void FillComponentsList();
    void SetStaticTexts();

    // Page work.
    bool LoadLicence();
    void UpdateComponentSizes();
    void RunInstallPage();
    void ShowInstallProgress(const InstallProgress& progress);
    void PumpMessages();
    void SetButtonStates(int to);
    void SetTitle(const char* title);
    void ShowPage(int page);
    void FocusAfterMove(HWND focus);
    void CloseWithResult(int result);
    std::vector<int> RowStates() const;

    // Helpers.
    RECT ScaledRect(int x, int y, int width, int height) const;
    void FitToText(HWND control, HFONT font, int width, int height);
    void WidenToText(HWND control, HFONT font, HWND parent);
    bool Checked(int id) const;
    void SetChecked(int id, bool checked);
    std::string Text(int id) const;
    void SetText(int id, const std::string& text);
    void SetEnabled(int id, bool enabled);
    void SetVisible(int id, bool visible);

    HINSTANCE instance_;
    int dpi_;
    HWND hwnd_ = nullptr;
    // Control id and window, in creation order. A list, not a map: a few
    // dozen entries, and the tree code a map links in weighs more than the
    // look-ups it would save.
    std::vector<std::pair<int, HWND>> controls_;
    std::vector<std::unique_ptr<TPanel>> panels_;
    std::unique_ptr<TCheckListBox> components_;
    std::unique_ptr<TDirectoryListBox> folders_;
    std::unique_ptr<TDriveComboBox> drives_;
    UniqueGdiObject dialogFont_;
    UniqueGdiObject titleFont_;
    UniqueGdiObject logo_;
    HICON smallIcon_ = nullptr;  // shared resource icon
    int currentPage_ = -1;
    int modalResult_ = 0;
    bool installing_ = false;
    bool quitReceived_ = false;
    WPARAM quitCode_ = 0;
    InstallTarget target_;
};

}  // namespace qwp
