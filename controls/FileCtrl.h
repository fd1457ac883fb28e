// The destination page's two linked pickers: a drive list (TDriveComboBox)
// and a folder list (TDirectoryListBox) that shows the path of the current
// folder from the drive root down, followed by its sub-folders.
//
// Each takes over a system control that its owner created (subclassing it):
// a combo box with CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS and
// a list box with LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | LBS_NOTIFY. Items
// keep their texts as list strings, so accessibility tools can read them;
// the pictures and indents are drawn here. The parent window forwards its
// WM_MEASUREITEM, WM_DRAWITEM and WM_COMMAND for the controls (the selection
// changes arrive as CBN_SELCHANGE and LBN_SELCHANGE).
//
// Sizes are 96-DPI pixels scaled to the DPI given at construction (0: the
// display's), pictures included.
#pragma once

#include "controls/SubclassedWindow.h"
#include "instutils/Handles.h"

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

namespace qwp {

class TDirectoryListBox;

// The number of backslashes in the path once one trailing backslash, if
// any, is removed: 0 for a drive root, 1 for a folder directly below it.
int FolderLevel(const std::string& path);

namespace detail {

// A 16-colour picture of the program's resources, scaled to a DPI, drawn
// with the colour of its bottom-left pixel left out.
class TransparentPicture {
public:
    // An empty picture (nothing drawn, size 0) when the resource is missing.
    TransparentPicture(const char* resourceName, int dpi);
    int Width() const { return width_; }
    int Height() const { return height_; }
    void Draw(HDC dc, int x, int y) const;

private:
    UniqueGdiObject image_;  // the transparent pixels black
    UniqueGdiObject mask_;   // monochrome, white where transparent
    int width_ = 0, height_ = 0;
};

}  // namespace detail

class TDriveComboBox {
public:
    // Takes over the combo box, sizes its items for the DPI, lists the drives
    // and selects none.
    explicit TDriveComboBox(HWND comboBox, int dpi = 0);
    // Unlinks the folder list and gives the window its procedure back.
    ~TDriveComboBox();
    TDriveComboBox(const TDriveComboBox&) = delete;
    TDriveComboBox& operator=(const TDriveComboBox&) = delete;

    HWND Handle() const { return window_.Handle(); }

    // The selected drive letter in lower case; '\0' before any.
    char SelectedDrive() const { return selectedDrive_; }
    // GetLogicalDrives at the last RebuildDriveList (bit 0 = A:).
    std::uint32_t DriveMask() const { return driveMask_; }
    TDirectoryListBox* DirList() const { return dirList_; }
    // Links the folder list in both directions, unlinking the previous one
    // (and the list's previous drive list); NULL unlinks.
    void SetDirList(TDirectoryListBox* list);

    // Lists the drives C: to Z: that exist, CD drives left out, as
    // "x: [label]" or "x: <remote name>" in lower case ("x: " without a
    // label). No selection remains.
    void RebuildDriveList();
    // Selects the drive's item (none when it is not listed), moves the
    // linked folder list to the drive and fires OnChange. Nothing happens
    // when an item is selected and the letter is already SelectedDrive.
    void SelectDrive(char letter);

    int Count() const;
    std::string ItemText(int index) const;  // empty for an item that does not exist
    // Whether the item shows the removable-drive picture.
    bool ItemIsPortable(int index) const;
    int CurrentIndex() const;  // -1 when none
    // Selects the item with exactly this text, else the item of
    // SelectedDrive, without any other effect; false when neither exists.
    bool Reselect(const std::string& text);
    // Items and the selection field: the list font's text height plus 4 (at
    // 96 DPI), at least the drive picture's height.
    int ItemHeight() const;

    // Fired by SelectDrive.
    std::function<void()> OnChange;

    // For the parent's messages; true when they were this control's.
    bool MeasureItem(MEASUREITEMSTRUCT& item) const;
    bool DrawItem(const DRAWITEMSTRUCT& item) const;
    bool HandleCommand(WPARAM wParam, LPARAM lParam);

private:
    friend class TDirectoryListBox;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    void ApplyItemHeight();
    int Scaled(int value) const { return MulDiv(value, dpi_, 96); }

    SubclassedWindow window_;
    int dpi_;
    detail::TransparentPicture fixed_;
    detail::TransparentPicture removable_;
    char selectedDrive_ = '\0';
    std::uint32_t driveMask_ = 0;
    TDirectoryListBox* dirList_ = nullptr;
};

class TDirectoryListBox {
public:
    // Takes over the list box and sizes its items for the DPI; no folder is
    // current yet (FolderPath is empty) and the list is empty.
    explicit TDirectoryListBox(HWND listBox, int dpi = 0);
    // Unlinks the drive list and gives the window its procedure back.
    ~TDirectoryListBox();
    TDirectoryListBox(const TDirectoryListBox&) = delete;
    TDirectoryListBox& operator=(const TDirectoryListBox&) = delete;

    HWND Handle() const { return window_.Handle(); }

    const std::string& FolderPath() const { return folderPath_; }
    // True while SetFolder hands a drive change to the drive list.
    bool InFolderChange() const { return inFolderChange_; }
    // The file-system flags of the current folder's volume at the last
    // rebuild.
    bool PreserveCase() const { return preserveCase_; }
    bool CaseSensitive() const { return caseSensitive_; }
    TDriveComboBox* DriveList() const { return driveList_; }

    // Makes the folder current, or its nearest existing ancestor down to the
    // drive root; a path without a drive part that does not exist is
    // ignored. Moves the drive list along, rebuilds the list and fires
    // OnChange. Texts longer than MAX_PATH are handled like any other.
    void SetFolder(const std::string& path);
    // Moves to another drive: the Program Files drive to the "Quilvane"
    // folder below Program Files (or Program Files itself when that does not
    // exist), any other drive to the same path there, else to its root.
    void SwitchDrive(char letter);
    // Refills the items from FolderPath: the root, every folder on the way,
    // then the current folder's sub-folders (hidden and system ones left
    // out) sorted by the user's locale without regard to case.
    void RebuildFolderList();

    int Count() const;
    std::string ItemText(int index) const;  // the item's full path
    // Whether the item shows the open-folder picture (the root and the
    // folders on the path), not the closed one (a sub-folder).
    bool ItemIsOnPath(int index) const;
    int CurrentIndex() const;  // -1 when none
    // The text an item shows: "C:" for the root, else the last part of its
    // path, in lower case when the volume does not preserve case.
    std::string ItemCaption(int index) const;
    // The larger of the list font's text height and the folder picture's
    // height plus 1 (at 96 DPI).
    int ItemHeight() const;

    // Fired after every change of FolderPath.
    std::function<void()> OnChange;

    bool MeasureItem(MEASUREITEMSTRUCT& item) const;
    bool DrawItem(const DRAWITEMSTRUCT& item) const;
    bool HandleCommand(WPARAM wParam, LPARAM lParam);

private:
    friend class TDriveComboBox;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    void ReadVolumeFlags();
    int Scaled(int value) const { return MulDiv(value, dpi_, 96); }

    SubclassedWindow window_;
    int dpi_;
    detail::TransparentPicture open_;
    detail::TransparentPicture closed_;
    std::string folderPath_;
    bool inFolderChange_ = false;
    bool preserveCase_ = true;
    bool caseSensitive_ = false;
    TDriveComboBox* driveList_ = nullptr;
};

}  // namespace qwp
