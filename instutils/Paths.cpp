#include "instutils/Paths.h"

#include "instutils/EntryPoints.h"

#include <windows.h>

#include <algorithm>

namespace qwp {

std::unique_ptr<std::vector<std::string>> FolderStack;

namespace {

constexpr int kCsidlPersonal = 5;  // the documents folder

std::string UpperCased(std::string text) {
    // CharUpperBuffA takes a DWORD count; convert in slices so that no length
    // is ever cut short.
    std::string::size_type done = 0;
    while (done < text.size()) {
        const std::string::size_type slice = std::min<std::string::size_type>(text.size() - done, 0x40000000);
        CharUpperBuffA(&text[done], static_cast<DWORD>(slice));
        done += slice;
    }
    return text;
}

std::string CutAtNul(std::string text) {
    const std::string::size_type nul = text.find('\0');
    if (nul != std::string::npos) text.resize(nul);
    return text;
}

}  // namespace

bool SameName(const std::string& a, const std::string& b) {
    // The ANSI upper-casing maps byte to byte, so texts of different lengths
    // can never compare equal; that answers most look-ups without a call.
    if (a.size() != b.size()) return false;
    // Bytes below 0x80 are ASCII in every ANSI code page, none of them the
    // first byte of a double-byte character, and the system upper-cases
    // only a-z among them: two ASCII texts are compared without a call.
    bool ascii = true;
    for (std::string::size_type i = 0; i < a.size() && ascii; ++i) {
        const unsigned char x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
        if ((x | y) >= 0x80) {
            ascii = false;
        } else if (x != y) {
            const unsigned char upperX = x >= 'a' && x <= 'z' ? static_cast<unsigned char>(x - 'a' + 'A') : x;
            const unsigned char upperY = y >= 'a' && y <= 'z' ? static_cast<unsigned char>(y - 'a' + 'A') : y;
            if (upperX != upperY) return false;
        }
    }
    if (ascii) return true;
    return UpperCased(a) == UpperCased(b);
}

std::string GetSpecialFolder(std::int32_t csidl) {
    if (!SpecialFolderEntry) return {};
    // SHGetFolderPathA writes at most MAX_PATH characters, its NUL included.
    std::string path(MAX_PATH, '\0');
    // S_FALSE ("folder does not exist") counts as no answer, like any
    // result other than S_OK.
    if (SpecialFolderEntry(nullptr, csidl, nullptr, 0, &path[0]) != S_OK) return {};
    return CutAtNul(std::move(path));
}

std::string GetCurrentFolder() {
    // The first call gives the size with the NUL; the directory can change
    // between the calls only through another thread, and then the second call
    // reports a larger size again, which is answered by asking once more.
    for (int attempt = 0; attempt < 4; ++attempt) {
        const DWORD needed = GetCurrentDirectoryA(0, nullptr);
        if (needed == 0) return {};
        std::string folder(needed, '\0');
        const DWORD length = GetCurrentDirectoryA(needed, &folder[0]);
        if (length == 0) return {};
        if (length < needed) {
            folder.resize(length);
            AddTrailingBackslash(folder);
            return folder;
        }
    }
    return {};
}

void PushCurrentFolder() {
    if (!FolderStack) FolderStack = std::make_unique<std::vector<std::string>>();
    FolderStack->push_back(GetCurrentFolder());
}

void PopCurrentFolder() {
    if (!FolderStack || FolderStack->empty()) return;
    SetCurrentDirectoryA(FolderStack->back().c_str());
    FolderStack->pop_back();
}

bool FolderExists(const std::string& path) {
    // Without this, a failed read-back of the current directory would make
    // the empty text "exist".
    if (path.empty()) return false;
    PushCurrentFolder();
    std::string wanted = path;
    AddTrailingBackslash(wanted);
    SetCurrentDirectoryA(wanted.c_str());
    const bool exists = SameName(GetCurrentFolder(), wanted);
    PopCurrentFolder();
    return exists;
}

std::string GetTempFolder() {
    std::string folder;
    const DWORD needed = GetTempPathA(0, nullptr);
    if (needed != 0) {
        folder.assign(needed, '\0');
        const DWORD length = GetTempPathA(needed, &folder[0]);
        folder = length != 0 && length < needed ? CutAtNul(std::move(folder)) : std::string();
    }
    if (!FolderExists(folder)) folder = GetSpecialFolder(kCsidlPersonal);
    AddTrailingBackslash(folder);
    return folder;
}

}  // namespace qwp
