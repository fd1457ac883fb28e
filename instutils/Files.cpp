#include "instutils/Files.h"

#include "instutils/Handles.h"
#include "instutils/InstallLog.h"
#include "instutils/PathText.h"
#include "instutils/Paths.h"

#include <windows.h>

#include <algorithm>
#include <vector>

namespace qwp {
namespace {

// Attributes of a path without its trailing backslashes: with one, the
// last component can be resolved through a link (Wine follows the Unix
// link for "link\"), and the link would pass for the folder it points to.
DWORD AttributesOfEntry(std::string path) {
    while (path.size() > 1 && path.back() == '\\' && path[path.size() - 2] != ':') path.pop_back();
    return GetFileAttributesA(path.c_str());
}

bool IsLink(DWORD attributes) {
    // Decided on the attribute alone: Wine reports Unix symbolic links with
    // FILE_ATTRIBUTE_REPARSE_POINT but a reparse tag of 0, and every reparse
    // point on Windows (junction, symbolic link, mount point) must be left
    // unentered anyway.
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

void RemoveLink(const std::string& path, DWORD attributes) {
    // RemoveDirectoryA and DeleteFileA act on a reparse point itself, never on
    // its target. A folder link needs RemoveDirectoryA on Windows; Wine
    // refuses that for a Unix link to a folder, and then the link stays.
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        RemoveDirectoryA(path.c_str());
    else
        DeleteFileA(path.c_str());
}

void DeleteTreeBelow(const std::string& folder) {
    WIN32_FIND_DATAA entry;
    UniqueFind listing(FindFirstFileA((folder + "*.*").c_str(), &entry));
    if (!listing) return;
    do {
        const std::string name = entry.cFileName;
        if (name == "." || name == "..") continue;
        RemoveListedEntry(folder + name, entry.dwFileAttributes);
    } while (FindNextFileA(listing.get(), &entry));
}

}  // namespace

bool FileExists(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

void WriteBytesToFile(const std::string& path, const std::string& bytes) {
    UniqueFile file(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file) return;
    std::string::size_type done = 0;
    while (done < bytes.size()) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::string::size_type>(bytes.size() - done, 0x40000000));
        DWORD written = 0;
        if (!WriteFile(file.get(), bytes.data() + done, chunk, &written, nullptr) || written == 0) return;
        done += written;
    }
}

void ForceFolders(const std::string& path) {
    // The missing folders from the innermost outwards. A loop rather than
    // recursion, so that no path, however long, can exhaust the stack.
    std::vector<std::string> missing;
    std::string folder = path;
    while (!folder.empty() && !FolderExists(folder)) {
        missing.push_back(folder);
        std::string trimmed = folder;
        if (LastChar(trimmed) == '\\') DeleteLastChar(trimmed);
        // A drive such as "X:" is its own parent, which ends the walk when
        // even the drive root is missing.
        std::string parent = FolderPart(trimmed);
        if (parent.size() >= folder.size()) break;
        folder = std::move(parent);
    }
    for (auto it = missing.rbegin(); it != missing.rend(); ++it) {
        CreateDirectoryA(it->c_str(), nullptr);
        AddLogLine(kMadeDirPrefix + *it);
    }
}

void RemoveListedEntry(const std::string& path, unsigned long attributes) {
    if (IsLink(attributes))
        RemoveLink(path, attributes);
    else if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        DeleteFolderTree(path);
    else
        DeleteFileA(path.c_str());
}

void DeleteFolderTree(const std::string& folder) {
    // An empty text would list the current directory.
    if (folder.empty()) return;
    std::string root = folder;
    AddTrailingBackslash(root);
    const DWORD attributes = AttributesOfEntry(root);
    if (IsLink(attributes)) {
        std::string link = root;
        DeleteLastChar(link);
        RemoveLink(link, attributes);
        return;
    }
    DeleteTreeBelow(root);
    RemoveDirectoryA(root.c_str());
}

}  // namespace qwp
