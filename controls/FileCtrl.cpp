#include "controls/FileCtrl.h"

#include "instutils/InstUtils.h"
#include "instutils/SystemLibrary.h"

#include <shlobj.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace qwp {
namespace {

constexpr char kProductFolder[] = "Quilvane";
constexpr int kDroppedRows = 8;      // drive list rows shown when dropped down
constexpr int kMaxItemHeight = 255;  // LB_SETITEMHEIGHT and CB_SETITEMHEIGHT refuse more

// Item data: which picture an item shows.
constexpr LPARAM kFixedDrive = 0;
constexpr LPARAM kPortableDrive = 1;
constexpr LPARAM kOpenFolder = 0;
constexpr LPARAM kClosedFolder = 1;

// No "drive not ready" box for a drive without a medium while it lives.
class QuietCriticalErrors {
public:
    QuietCriticalErrors() noexcept : previous_(SetErrorMode(SEM_FAILCRITICALERRORS)) {
        SetErrorMode(previous_ | SEM_FAILCRITICALERRORS);
    }
    ~QuietCriticalErrors() { SetErrorMode(previous_); }
    QuietCriticalErrors(const QuietCriticalErrors&) = delete;
    QuietCriticalErrors& operator=(const QuietCriticalErrors&) = delete;

private:
    UINT previous_;
};

char LowerLetter(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

char FirstChar(const std::string& text) { return text.empty() ? '\0' : text[0]; }

std::string LocaleLower(std::string text) {
    if (!text.empty()) CharLowerBuffA(&text[0], static_cast<DWORD>(text.size()));
    return text;
}

// Drive names in lower case. With a multi-byte code page only the ASCII
// letters change: the locale's rules would take a trail byte for a letter.
std::string LowerDriveName(std::string name) {
    CPINFO info{};
    if (!GetCPInfo(CP_ACP, &info) || info.MaxCharSize <= 1) return LocaleLower(std::move(name));
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (IsDBCSLeadByte(static_cast<BYTE>(name[i]))) {
            ++i;
            continue;
        }
        name[i] = LowerLetter(name[i]);
    }
    return name;
}

int DisplayDpi(HWND window) {
    WindowDc dc(window);
    const int dpi = dc.get() ? GetDeviceCaps(dc.get(), LOGPIXELSY) : 96;
    return dpi > 0 ? dpi : 96;
}

HFONT FontOf(HWND window) {
    // A control that was never given a font draws with the system font.
    HFONT font = window ? reinterpret_cast<HFONT>(SendMessageA(window, WM_GETFONT, 0, 0)) : nullptr;
    return font ? font : static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
}

int TextHeight(HWND window) {
    WindowDc dc(window);
    if (!dc.get()) return 0;
    SelectObjectGuard font(dc.get(), FontOf(window));
    TEXTMETRICA metrics{};
    return GetTextMetricsA(dc.get(), &metrics) ? metrics.tmHeight : 0;
}

// The list strings of both controls, read with their length first so no
// text is cut or overflows, whatever its length.
std::string ListString(HWND window, UINT lengthMessage, UINT textMessage, int index) {
    if (!window || index < 0) return {};
    const LRESULT length = SendMessageA(window, lengthMessage, static_cast<WPARAM>(index), 0);
    if (length < 0) return {};
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    const LRESULT copied =
        SendMessageA(window, textMessage, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&text[0]));
    text.resize(copied < 0 ? 0 : std::min(static_cast<std::size_t>(copied), text.size() - 1));
    return text;
}

// The connection behind a network drive. mpr.dll is no KnownDLL: it is
// loaded from the system folder, once, and only when a network drive is
// listed.
bool RemoteName(char letter, std::string& name) {
    using GetConnectionFn = DWORD(WINAPI*)(LPCSTR, LPSTR, LPDWORD);
    static const GetConnectionFn getConnection = [] {
        HMODULE mpr = LoadSystemLibrary("mpr.dll");
        return mpr ? reinterpret_cast<GetConnectionFn>(
                         reinterpret_cast<void*>(GetProcAddress(mpr, "WNetGetConnectionA")))
                   : nullptr;
    }();
    if (!getConnection) return false;
    const char local[3] = {static_cast<char>(letter - 'a' + 'A'), ':', '\0'};
    std::string remote(MAX_PATH + 1, '\0');
    DWORD length = static_cast<DWORD>(remote.size());
    DWORD result = getConnection(local, &remote[0], &length);
    if (result == ERROR_MORE_DATA && length > remote.size()) {
        remote.assign(length, '\0');
        result = getConnection(local, &remote[0], &length);
    }
    if (result != NO_ERROR) return false;
    name = remote.c_str();
    return true;
}

// The bracketed volume label, or the empty text when there is none or the
// drive cannot be read.
std::string VolumeName(const std::string& root) {
    char label[MAX_PATH + 1] = {};
    if (!GetVolumeInformationA(root.c_str(), label, sizeof label, nullptr, nullptr, nullptr, nullptr, 0))
        return {};
    label[MAX_PATH] = '\0';
    return label[0] ? "[" + std::string(label) + "]" : std::string();
}

std::string DriveName(char letter, UINT type) {
    const std::string root{letter, ':', '\\'};
    std::string name;
    if (type == DRIVE_REMOTE && RemoteName(letter, name)) return name;
    return VolumeName(root);
}

// The folders in a folder, hidden and system ones left out, sorted by the
// user's locale without regard to case; empty when it cannot be read.
std::vector<std::string> SubFolderNames(std::string folder) {
    AddTrailingBackslash(folder);
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    UniqueFind find(FindFirstFileA((folder + "*.*").c_str(), &found));
    if (!find) return names;
    do {
        const DWORD attributes = found.dwFileAttributes;
        if (!(attributes & FILE_ATTRIBUTE_DIRECTORY) ||
            (attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)))
            continue;
        const std::string name = found.cFileName;
        if (name == "." || name == "..") continue;
        names.push_back(name);
    } while (FindNextFileA(find.get(), &found));
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        return CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.c_str(), -1, b.c_str(), -1) == CSTR_LESS_THAN;
    });
    return names;
}

// The root of a path's volume with a backslash ("C:\", "\\server\share\").
std::string VolumeRoot(const std::string& path) {
    std::string root = path.size() >= 2 && path[1] == ':' ? path.substr(0, 2) : DrivePart(path);
    if (!root.empty()) root += '\\';
    return root;
}

void DrawFocus(const DRAWITEMSTRUCT& item) {
    if ((item.itemState & ODS_FOCUS) && !(item.itemState & ODS_NOFOCUSRECT)) {
        SetTextColor(item.hDC, GetSysColor(COLOR_WINDOWTEXT));
        SetBkColor(item.hDC, GetSysColor(COLOR_WINDOW));
        DrawFocusRect(item.hDC, &item.rcItem);
    }
}

}  // namespace

int FolderLevel(const std::string& path) {
    std::string trimmed = path;
    if (LastChar(trimmed) == '\\') DeleteLastChar(trimmed);
    return static_cast<int>(std::count(trimmed.begin(), trimmed.end(), '\\'));
}

namespace detail {

TransparentPicture::TransparentPicture(const char* resourceName, int dpi) {
    UniqueGdiObject source(LoadBitmapA(GetModuleHandleA(nullptr), resourceName));
    BITMAP info{};
    if (!source || !GetObjectA(source.get(), sizeof info, &info) || info.bmWidth <= 0 || info.bmHeight <= 0) return;
    const int width = MulDiv(info.bmWidth, dpi, 96), height = MulDiv(info.bmHeight, dpi, 96);
    WindowDc screen(nullptr);
    MemoryDc sourceDc, smallMaskDc, imageDc, maskDc;
    if (!screen.get() || !sourceDc.get() || !smallMaskDc.get() || !imageDc.get() || !maskDc.get()) return;
    UniqueGdiObject smallMask(CreateBitmap(info.bmWidth, info.bmHeight, 1, 1, nullptr));
    UniqueGdiObject image(CreateCompatibleBitmap(screen.get(), width, height));
    UniqueGdiObject mask(CreateBitmap(width, height, 1, 1, nullptr));
    if (!smallMask || !image || !mask) return;
    {
        SelectObjectGuard selectSource(sourceDc.get(), source.get());
        SelectObjectGuard selectSmallMask(smallMaskDc.get(), smallMask.get());
        SelectObjectGuard selectImage(imageDc.get(), image.get());
        SelectObjectGuard selectMask(maskDc.get(), mask.get());
        // The mask is made at the picture's own size, where its colours are
        // exact: colour to monochrome turns the background colour white.
        SetBkColor(sourceDc.get(), GetPixel(sourceDc.get(), 0, info.bmHeight - 1));
        BitBlt(smallMaskDc.get(), 0, 0, info.bmWidth, info.bmHeight, sourceDc.get(), 0, 0, SRCCOPY);
        // Picture and mask are scaled by the same whole-pixel mapping.
        SetStretchBltMode(imageDc.get(), COLORONCOLOR);
        SetStretchBltMode(maskDc.get(), COLORONCOLOR);
        StretchBlt(imageDc.get(), 0, 0, width, height, sourceDc.get(), 0, 0, info.bmWidth, info.bmHeight, SRCCOPY);
        StretchBlt(maskDc.get(), 0, 0, width, height, smallMaskDc.get(), 0, 0, info.bmWidth, info.bmHeight, SRCCOPY);
        // Monochrome to colour: white is the background colour, black the
        // text colour. Image AND NOT mask blackens the transparent pixels.
        SetBkColor(imageDc.get(), RGB(255, 255, 255));
        SetTextColor(imageDc.get(), RGB(0, 0, 0));
        constexpr DWORD kDestAndNotSource = 0x00220326;
        BitBlt(imageDc.get(), 0, 0, width, height, maskDc.get(), 0, 0, kDestAndNotSource);
    }
    image_ = std::move(image);
    mask_ = std::move(mask);
    width_ = width;
    height_ = height;
}

void TransparentPicture::Draw(HDC dc, int x, int y) const {
    if (!image_ || !mask_) return;
    MemoryDc memory;
    if (!memory.get()) return;
    DcStateGuard saved(dc);
    SetBkColor(dc, RGB(255, 255, 255));
    SetTextColor(dc, RGB(0, 0, 0));
    {
        // Background AND mask clears the picture's opaque pixels...
        SelectObjectGuard select(memory.get(), mask_.get());
        BitBlt(dc, x, y, width_, height_, memory.get(), 0, 0, SRCAND);
    }
    // ...and OR puts them in; the transparent ones are black in the image.
    SelectObjectGuard select(memory.get(), image_.get());
    BitBlt(dc, x, y, width_, height_, memory.get(), 0, 0, SRCPAINT);
}

}  // namespace detail

// The drive list.

TDriveComboBox::TDriveComboBox(HWND comboBox, int dpi)
    : dpi_(dpi > 0 ? dpi : DisplayDpi(comboBox)), fixed_("FIXEDDRIVE", dpi_), removable_("REMOVABLEDRIVE", dpi_) {
    window_.Attach(comboBox, [this](UINT message, WPARAM wParam, LPARAM lParam) {
        return WindowProc(message, wParam, lParam);
    });
    if (!Handle()) return;
    ApplyItemHeight();
    RebuildDriveList();
    SelectDrive(selectedDrive_);
}

TDriveComboBox::~TDriveComboBox() {
    SetDirList(nullptr);
    window_.Detach();
}

void TDriveComboBox::SetDirList(TDirectoryListBox* list) {
    if (list == dirList_) return;
    if (dirList_) dirList_->driveList_ = nullptr;
    dirList_ = list;
    if (!list) return;
    if (list->driveList_) list->driveList_->dirList_ = nullptr;
    list->driveList_ = this;
}

void TDriveComboBox::RebuildDriveList() {
    HWND combo = Handle();
    if (!combo) return;
    SendMessageA(combo, CB_RESETCONTENT, 0, 0);
    driveMask_ = GetLogicalDrives();
    QuietCriticalErrors quiet;
    for (int number = 2; number <= 25; ++number) {
        if (!(driveMask_ & (1u << number))) continue;
        const char letter = static_cast<char>('a' + number);
        const std::string root{letter, ':', '\\'};
        const UINT type = GetDriveTypeA(root.c_str());
        if (type == DRIVE_CDROM) continue;
        const std::string text = std::string(1, letter) + ": " + LowerDriveName(DriveName(letter, type));
        const LRESULT index = SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
        if (index >= 0)
            SendMessageA(combo, CB_SETITEMDATA, static_cast<WPARAM>(index),
                         IsPortableLocation(root) ? kPortableDrive : kFixedDrive);
    }
}

void TDriveComboBox::SelectDrive(char letter) {
    const char drive = LowerLetter(letter);
    if (CurrentIndex() >= 0 && drive == selectedDrive_) return;
    selectedDrive_ = drive;
    int found = -1;
    for (int i = 0, count = Count(); i < count && found < 0; ++i) {
        const std::string text = ItemText(i);
        if (text.size() >= 2 && LowerLetter(text[0]) == drive && text[1] == ':') found = i;
    }
    SendMessageA(Handle(), CB_SETCURSEL, static_cast<WPARAM>(found), 0);
    if (dirList_) dirList_->SwitchDrive(selectedDrive_);
    // A copy, so a handler that replaces OnChange does not destroy the
    // function while it runs.
    const auto notify = OnChange;
    if (notify) notify();
}

int TDriveComboBox::Count() const {
    const LRESULT count = Handle() ? SendMessageA(Handle(), CB_GETCOUNT, 0, 0) : 0;
    return count > 0 ? static_cast<int>(count) : 0;
}

std::string TDriveComboBox::ItemText(int index) const {
    return ListString(Handle(), CB_GETLBTEXTLEN, CB_GETLBTEXT, index);
}

bool TDriveComboBox::ItemIsPortable(int index) const {
    if (index < 0 || index >= Count()) return false;
    return SendMessageA(Handle(), CB_GETITEMDATA, static_cast<WPARAM>(index), 0) == kPortableDrive;
}

int TDriveComboBox::CurrentIndex() const {
    const LRESULT index = Handle() ? SendMessageA(Handle(), CB_GETCURSEL, 0, 0) : CB_ERR;
    return index < 0 ? -1 : static_cast<int>(index);
}

bool TDriveComboBox::Reselect(const std::string& text) {
    int found = -1;
    for (int i = 0, count = Count(); i < count && found < 0; ++i)
        if (ItemText(i) == text) found = i;
    for (int i = 0, count = Count(); i < count && found < 0; ++i) {
        const std::string item = ItemText(i);
        if (item.size() >= 2 && LowerLetter(item[0]) == selectedDrive_ && item[1] == ':') found = i;
    }
    SendMessageA(Handle(), CB_SETCURSEL, static_cast<WPARAM>(found), 0);
    return found >= 0;
}

int TDriveComboBox::ItemHeight() const {
    return std::min(std::max(TextHeight(Handle()) + Scaled(4), fixed_.Height()), kMaxItemHeight);
}

void TDriveComboBox::ApplyItemHeight() {
    HWND combo = Handle();
    const int height = ItemHeight();
    SendMessageA(combo, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), height);
    SendMessageA(combo, CB_SETITEMHEIGHT, 0, height);
    // A combo box's window height is its height when dropped down; the
    // closed height follows the selection field.
    RECT closed;
    GetWindowRect(combo, &closed);
    SetWindowPos(combo, nullptr, 0, 0, closed.right - closed.left,
                 closed.bottom - closed.top + kDroppedRows * height + 2,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool TDriveComboBox::MeasureItem(MEASUREITEMSTRUCT& item) const {
    if (!Handle() || item.CtlType != ODT_COMBOBOX || item.CtlID != static_cast<UINT>(GetDlgCtrlID(Handle())))
        return false;
    item.itemHeight = static_cast<UINT>(ItemHeight());
    return true;
}

bool TDriveComboBox::DrawItem(const DRAWITEMSTRUCT& item) const {
    if (!Handle() || item.CtlType != ODT_COMBOBOX || item.hwndItem != Handle()) return false;
    HDC dc = item.hDC;
    DcStateGuard saved(dc);
    SelectObject(dc, FontOf(Handle()));
    // The window colours for every item, the selected one as well.
    FillRect(dc, &item.rcItem, GetSysColorBrush(COLOR_WINDOW));
    const int index = static_cast<int>(item.itemID);
    if (item.itemID != static_cast<UINT>(-1) && index < Count()) {
        const detail::TransparentPicture& picture = ItemIsPortable(index) ? removable_ : fixed_;
        const int x = item.rcItem.left + Scaled(2);
        picture.Draw(dc, x, item.rcItem.top + (item.rcItem.bottom - item.rcItem.top - picture.Height()) / 2);
        RECT text = item.rcItem;
        text.left = x + picture.Width() + Scaled(6);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
        const std::string caption = ItemText(index);
        DrawTextA(dc, caption.c_str(), static_cast<int>(caption.size()), &text,
                  DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    }
    DrawFocus(item);
    return true;
}

bool TDriveComboBox::HandleCommand(WPARAM wParam, LPARAM lParam) {
    if (!Handle() || reinterpret_cast<HWND>(lParam) != Handle()) return false;
    if (HIWORD(wParam) == CBN_SELCHANGE) {
        const std::string text = ItemText(CurrentIndex());
        if (!text.empty()) SelectDrive(text[0]);
    }
    return true;
}

LRESULT TDriveComboBox::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_SETFONT) {
        // The fixed item height is measured in the control's font.
        const LRESULT result = window_.CallPrevious(message, wParam, lParam);
        ApplyItemHeight();
        return result;
    }
    return window_.CallPrevious(message, wParam, lParam);
}

// The folder list.

TDirectoryListBox::TDirectoryListBox(HWND listBox, int dpi)
    : dpi_(dpi > 0 ? dpi : DisplayDpi(listBox)), open_("OPENFOLDER", dpi_), closed_("CLOSEDFOLDER", dpi_) {
    window_.Attach(listBox, [this](UINT message, WPARAM wParam, LPARAM lParam) {
        return WindowProc(message, wParam, lParam);
    });
    if (!Handle()) return;
    SendMessageA(Handle(), LB_SETITEMHEIGHT, 0, ItemHeight());
    RebuildFolderList();
}

TDirectoryListBox::~TDirectoryListBox() {
    if (driveList_) driveList_->SetDirList(nullptr);
    window_.Detach();
}

void TDirectoryListBox::SetFolder(const std::string& path) {
    if (path.empty()) return;
    if (caseSensitive_ ? path == folderPath_ : LocaleLower(path) == LocaleLower(folderPath_)) return;
    std::string folder = path;
    while (!FolderExists(folder)) {
        if (folder.size() <= DrivePart(folder).size() + 1) break;
        if (LastChar(folder) == '\\') DeleteLastChar(folder);
        folder = FolderPart(folder);
    }
    // A relative path that does not exist has no ancestor to show.
    if (DrivePart(folder).empty()) return;

    const bool driveChanged = LowerLetter(folder[0]) != LowerLetter(FirstChar(folderPath_));
    folderPath_ = folder;
    if (driveChanged) {
        FlagScope changing(inFolderChange_);
        if (driveList_)
            driveList_->SelectDrive(folder[0]);
        else
            SwitchDrive(folder[0]);
    }
    RebuildFolderList();
    const auto notify = OnChange;
    if (notify) notify();
}

void TDirectoryListBox::SwitchDrive(char letter) {
    if (static_cast<unsigned char>(letter) <= ' ' || LowerLetter(letter) == LowerLetter(FirstChar(folderPath_)))
        return;
    const std::string programFiles = GetSpecialFolder(CSIDL_PROGRAM_FILES);
    const std::string root = std::string(1, letter) + ":\\";
    if (!programFiles.empty() && LowerLetter(programFiles[0]) == LowerLetter(letter)) {
        const std::string product = JoinPath(programFiles, kProductFolder);
        folderPath_ = FolderExists(product) ? product : JoinPath(programFiles, "");
        folderPath_[0] = letter;
    } else {
        const std::size_t colon = folderPath_.find(':');
        const std::string same = colon == std::string::npos ? root : letter + folderPath_.substr(colon);
        folderPath_ = FolderExists(same) ? same : root;
    }
    if (inFolderChange_) return;
    RebuildFolderList();
    const auto notify = OnChange;
    if (notify) notify();
}

void TDirectoryListBox::RebuildFolderList() {
    HWND list = Handle();
    if (!list) return;
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    if (!folderPath_.empty()) {
        ReadVolumeFlags();
        const auto insert = [list](int at, const std::string& text, LPARAM picture) {
            const LRESULT index = SendMessageA(list, LB_INSERTSTRING, static_cast<WPARAM>(at),
                                               reinterpret_cast<LPARAM>(text.c_str()));
            if (index >= 0) SendMessageA(list, LB_SETITEMDATA, static_cast<WPARAM>(index), picture);
        };
        // The path from the current folder up to the root, each inserted on
        // top of the one below it.
        std::string path = folderPath_;
        while (path.size() > 3) {
            if (LastChar(path) == '\\') DeleteLastChar(path);
            insert(0, path, kOpenFolder);
            while (!path.empty() && LastChar(path) != '\\') DeleteLastChar(path);
        }
        if (!path.empty()) insert(0, path, kOpenFolder);
        const int current = Count() - 1;

        std::string folder = folderPath_;
        AddTrailingBackslash(folder);
        for (const std::string& name : SubFolderNames(folder)) insert(-1, folder + name, kClosedFolder);
        SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(current), 0);
    }
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
}

void TDirectoryListBox::ReadVolumeFlags() {
    DWORD flags = 0;
    {
        QuietCriticalErrors quiet;
        if (!GetVolumeInformationA(VolumeRoot(folderPath_).c_str(), nullptr, 0, nullptr, nullptr, &flags, nullptr,
                                   0))
            flags = 0;
    }
    preserveCase_ = (flags & (FS_CASE_IS_PRESERVED | FS_CASE_SENSITIVE)) != 0;
    caseSensitive_ = (flags & FS_CASE_SENSITIVE) != 0;
}

int TDirectoryListBox::Count() const {
    const LRESULT count = Handle() ? SendMessageA(Handle(), LB_GETCOUNT, 0, 0) : 0;
    return count > 0 ? static_cast<int>(count) : 0;
}

std::string TDirectoryListBox::ItemText(int index) const {
    return ListString(Handle(), LB_GETTEXTLEN, LB_GETTEXT, index);
}

bool TDirectoryListBox::ItemIsOnPath(int index) const {
    if (index < 0 || index >= Count()) return false;
    return SendMessageA(Handle(), LB_GETITEMDATA, static_cast<WPARAM>(index), 0) == kOpenFolder;
}

int TDirectoryListBox::CurrentIndex() const {
    const LRESULT index = Handle() ? SendMessageA(Handle(), LB_GETCURSEL, 0, 0) : LB_ERR;
    return index < 0 ? -1 : static_cast<int>(index);
}

std::string TDirectoryListBox::ItemCaption(int index) const {
    const std::string text = ItemText(index);
    std::string caption;
    if (index == 0) {
        caption = text.substr(0, 2);
    } else {
        const std::size_t cut = text.find_last_of('\\');
        caption = cut == std::string::npos ? text : text.substr(cut + 1);
    }
    return preserveCase_ || caseSensitive_ ? caption : LocaleLower(caption);
}

int TDirectoryListBox::ItemHeight() const {
    return std::min(std::max(TextHeight(Handle()), open_.Height() + Scaled(1)), kMaxItemHeight);
}

bool TDirectoryListBox::MeasureItem(MEASUREITEMSTRUCT& item) const {
    if (!Handle() || item.CtlType != ODT_LISTBOX || item.CtlID != static_cast<UINT>(GetDlgCtrlID(Handle())))
        return false;
    item.itemHeight = static_cast<UINT>(ItemHeight());
    return true;
}

bool TDirectoryListBox::DrawItem(const DRAWITEMSTRUCT& item) const {
    if (!Handle() || item.CtlType != ODT_LISTBOX || item.hwndItem != Handle()) return false;
    HDC dc = item.hDC;
    DcStateGuard saved(dc);
    SelectObject(dc, FontOf(Handle()));
    const int index = static_cast<int>(item.itemID);
    const bool isItem = item.itemID != static_cast<UINT>(-1) && index < Count();
    const bool selected = isItem && (item.itemState & ODS_SELECTED) != 0;
    FillRect(dc, &item.rcItem, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    if (isItem) {
        const bool onPath = ItemIsOnPath(index);
        const detail::TransparentPicture& picture = onPath ? open_ : closed_;
        const int rowHeight = item.rcItem.bottom - item.rcItem.top;
        const int x = item.rcItem.left + Scaled(onPath ? index * 12 + 3 : FolderLevel(folderPath_) * 12 + 15);
        picture.Draw(dc, x, item.rcItem.top + (rowHeight - picture.Height()) / 2);
        const std::string caption = ItemCaption(index);
        SIZE letter{};
        GetTextExtentPoint32A(dc, "A", 1, &letter);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
        ExtTextOutA(dc, x + picture.Width() + Scaled(4), item.rcItem.top + (rowHeight - letter.cy) / 2, ETO_CLIPPED,
                    &item.rcItem, caption.c_str(), static_cast<UINT>(caption.size()), nullptr);
    }
    DrawFocus(item);
    return true;
}

bool TDirectoryListBox::HandleCommand(WPARAM wParam, LPARAM lParam) {
    if (!Handle() || reinterpret_cast<HWND>(lParam) != Handle()) return false;
    // A click or an arrow key opens the folder at once.
    if (HIWORD(wParam) == LBN_SELCHANGE) {
        const int index = CurrentIndex();
        if (index >= 0) SetFolder(ItemText(index));
    }
    return true;
}

LRESULT TDirectoryListBox::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_SETFONT) {
        const LRESULT result = window_.CallPrevious(message, wParam, lParam);
        window_.CallPrevious(LB_SETITEMHEIGHT, 0, ItemHeight());
        return result;
    }
    return window_.CallPrevious(message, wParam, lParam);
}

}  // namespace qwp
