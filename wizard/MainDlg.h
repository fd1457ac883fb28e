// The setup wizard: one window of eight pages (welcome, licence, destination
// folder, components, ready to install, installing, document associations,
// completion) with Back, Next and Cancel below them. It is shown modally by
// the setup driver; every page change goes through ChangePage.
#pragma once

#include "controls/CheckListBox.h"
#include "controls/FileCtrl.h"
#include "controls/MessageDlg.h"
#include "instutils/Handles.h"
#include "payload/InstallFrontEnd.h"
#include "registration/PostInstall.h"
#include "session/InstallSession.h"
#include "wizard/Panel.h"

#include <windows.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace qwp {

// The wizard's modal results.
constexpr int kModalOK = 1;
constexpr int kModalCancel = 2;

// The pages, in their order, and the moves that are not a page.
enum WizardPage : unsigned char {
    WelcomePage = 0,
    LicencePage = 1,
    DestinationPage = 2,
    ComponentsPage = 3,
    ReadyPage = 4,
    InstallingPage = 5,
    AssociationsPage = 6,
    CompletionPage = 7,
    FinishMove = 8,    // Finish pressed on the completion page
    kNoPage = 255,     // the page left when the first page is entered
};

// The wizard is the interactive front end of the install session: it
// gathers the choices into the session, moves it on page by page, and
// answers its questions with message dialogs that it owns.
class TMainDlgForm final : public InstallFrontEnd {
public:
    // Creates the window (hidden) with its controls and pickers, then
    // begins with the session (below). A dpi of 0 takes the system's; tests
    // pass another to see the layout scaled.
    TMainDlgForm(HWND owner, InstallSession& session, const std::optional<std::string>& commandLineFolder,
                 int dpi = 0);
    // Only the window, its controls and pickers: a start makes them while
    // the payload still inflates, and begins once its session exists.
    explicit TMainDlgForm(HWND owner, int dpi = 0);
    // Shows the window on its welcome page and paints it, before there is a
    // session: the page needs nothing of the payload. Clicks and keys wait in
    // the queue until ShowModal's loop runs. Optional, before Begin.
    void ShowFirstPage();
    // Reads the stored choices into the session with the command line's
    // "-d" folder, fills the components list, starts timer 1 and enters the
    // welcome page. Once, before ShowModal; the session must outlive the
    // wizard.
    void Begin(InstallSession& session, const std::optional<std::string>& commandLineFolder);
    ~TMainDlgForm() override;
    TMainDlgForm(const TMainDlgForm&) = delete;
    TMainDlgForm& operator=(const TMainDlgForm&) = delete;

    // Shows the window and runs its modal loop until a modal result is set;
    // returns it (kModalOK after Finish, kModalCancel otherwise). The window
    // is hidden again afterwards, and the choices on its pages are in the
    // session. An exception that reached the window's procedure closes the
    // wizard and is thrown from here.
    int ShowModal();

    // The session's questions.
    ProgressAnswer OnProgress(const InstallProgress& progress) override;
    CopyAnswer OnCopyFailed(const std::string& destination, const std::string& message) override;
    void OnFailure(const std::string& message) override;

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
    bool IsPortableInstall() const { return session_->IsPortable(); }
    // The folder list's change: its folder, normalised, into the edit box
    // once FolderSyncEnabled is set (at the end of the construction).
    void DestDirLstBxChange();
    TDirectoryListBox& DestDirLstBx() { return *folders_; }
    TDriveComboBox& DestDirCmbBx() { return *drives_; }
    bool FolderSyncEnabled = false;

    // The stored choices read into the session and shown on the pages.
    void LoadSetupChoices(const std::optional<std::string>& commandLineFolder);
    // The boxes and component rows as they stand, into the session.
    void GatherChoices();

    // Finish: Update.log unless portable, the launch when its box is
    // checked, and the close with result OK. When Update.log fails the
    // wizard stays on page 7 and nothing is launched.
    void FinishSetup();

    InstallSession& Session() { return *session_; }
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
    void CreateFolderPickers();
    void FillComponentsList();
    void SetStaticTexts();

    // Page work.
    bool LoadLicence();
    void UpdateComponentSizes();
    void RunInstallPage();
    void AskToStopCopying();
    // The Windows session ends: a copy under way stops as after Abort and
    // the session's ending records what was done, now and once.
    void OnEndSession();
    void ShowRunningInstanceMessage();
    AssociationBoxes BoxesChecked() const;
    MsgResult Ask(const std::string& text, MsgKind kind, MsgButtons buttons, MsgButton defaultButton,
                  MsgButton escapeButton);
    void ShowInstallProgress(const InstallProgress& progress);
    void PumpMessages();
    void SetButtonStates(int to);
    void SetTitle(const char* title);
    void ShowPage(int page);
    void FocusAfterMove(HWND focus);
    void CloseWithResult(int result);

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

    InstallSession* session_ = nullptr;  // from Begin on
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
    bool stopRequested_ = false;  // the user chose Abort while the files were copied
    bool askingToStop_ = false;   // that question is open
    bool sessionEnded_ = false;   // the Windows session ended; the install was recorded
    bool quitReceived_ = false;
    WPARAM quitCode_ = 0;
};

}  // namespace qwp
