#include "instutils/Files.h"

#include "instutils/EntryKind.h"
#include "instutils/Handles.h"
#include "instutils/InstallLog.h"
#include "instutils/PathText.h"
#include "instutils/Paths.h"

#include <windows.h>

#include <algorithm>
#include <vector>

namespace qwp {
namespace {

// The path without trailing backslashes or slashes, a drive root keeping its
// own ("C:\"). With one at the end, the last component is resolved through a
// link (Wine follows the Unix link for "link\"), and the link would pass
// for the folder it points to.
std::string WithoutTrailingSeparators(std::string path) {
    while (path.size() > 1 && path[path.size() - 2] != ':') {
        const char last = LastChar(path);
        if (last != '\\' && last != '/') break;
        path.pop_back();
    }
    return path;
}

// A link is removed by name, which on Windows takes away the link and not
// its target (ClassifyEntry has made sure of that). A link that cannot be
// removed stays.
void RemoveLink(const std::string& path, unsigned long attributes) {
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        RemoveDirectoryA(path.c_str());
    else
        DeleteFileA(path.c_str());
}

void RemoveEntry(EntryKind kind, const std::string& path, unsigned long attributes);

void DeleteTreeBelow(const std::string& folder) {
    RemoveListedEntries(folder, [](const std::string&) { return true; });
}

// Depth first: a folder's contents go before the folder itself.
void RemoveEntry(EntryKind kind, const std::string& path, unsigned long attributes) {
    switch (kind) {
    case EntryKind::File:
        DeleteFileA(path.c_str());
        break;
    case EntryKind::Folder: {
        std::string folder = path;
        AddTrailingBackslash(folder);
        DeleteTreeBelow(folder);
        RemoveDirectoryA(folder.c_str());
        break;
    }
    case EntryKind::Link:
        RemoveLink(path, attributes);
        break;
    case EntryKind::Elsewhere:
        break;
    }
}

}  // namespace

bool FileExists(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool WriteBytesToFile(const std::string& path, const std::string& bytes) {
    UniqueFile file(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file) return false;
    std::string::size_type done = 0;
    while (done < bytes.size()) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::string::size_type>(bytes.size() - done, 0x40000000));
        DWORD written = 0;
        if (!WriteFile(file.get(), bytes.data() + done, chunk, &written, nullptr) || written == 0) return false;
        done += written;
    }
    return true;
}

namespace {

std::string ParentFolder(const std::string& folder) {
    std::string trimmed = folder;
    if (LastChar(trimmed) == '\\') DeleteLastChar(trimmed);
    return FolderPart(trimmed);
}

bool Listed(const std::vector<std::string>& folders, const std::string& folder) {
    for (const std::string& listed : folders)
        if (SameName(listed, folder)) return true;
    return false;
}

// The folders missing on the way to the path, as `exists` answers,
// outermost first. A loop rather than recursion, so that no path, however
// long, can exhaust the stack.
template <typename Exists>
std::vector<std::string> MissingFoldersAsked(const std::string& path, Exists&& exists) {
    std::vector<std::string> missing;
    std::string folder = path;
    while (!folder.empty() && !exists(folder)) {
        missing.push_back(folder);
        // A drive such as "X:" is its own parent, which ends the walk when
        // even the drive root is missing.
        std::string parent = ParentFolder(folder);
        if (parent.size() >= folder.size()) break;
        folder = std::move(parent);
    }
    std::reverse(missing.begin(), missing.end());
    return missing;
}

// Creates the missing folders outermost first; each folder made is handed
// to `madeOne`.
template <typename Exists, typename Made>
int ForceFoldersAsked(const std::string& path, FolderAccess access, Exists&& exists, Made&& madeOne) {
    const std::vector<std::string> missing = MissingFoldersAsked(path, exists);
    if (missing.empty()) return 0;
    const FolderCreation creation(access);
    int made = 0;
    for (const std::string& folder : missing) {
        if (creation.Create(folder)) {
            ++made;
            madeOne(folder);
        }
        AddLogLine(kMadeDirPrefix + folder);
    }
    return made;
}

}  // namespace

int ForceFolders(const std::string& path, FolderAccess access) {
    return ForceFoldersAsked(path, access, FolderExists, [](const std::string&) {});
}

std::vector<std::string> MissingFolders(const std::string& path) { return MissingFoldersAsked(path, FolderExists); }

bool FolderSeries::Exists(const std::string& folder) {
    std::string listed = folder;
    AddTrailingBackslash(listed);
    if (Listed(found_, listed) || Listed(made_, listed)) return true;
    // Nothing can be inside a folder that was missing a moment ago.
    if (Listed(made_, ParentFolder(listed))) return false;
    if (!FolderExists(folder)) return false;
    found_.push_back(std::move(listed));
    return true;
}

int FolderSeries::Force(const std::string& path, FolderAccess access) {
    return ForceFoldersAsked(path, access, [this](const std::string& folder) { return Exists(folder); },
                             [this](const std::string& folder) {
                                 std::string listed = folder;
                                 AddTrailingBackslash(listed);
                                 made_.push_back(std::move(listed));
                             });
}

void FolderSeries::Forget() {
    found_.clear();
    made_.clear();
}

void RemoveListedEntries(const std::string& folder, const std::function<bool(const std::string&)>& wanted) {
    // Entries are checked against where the folder really is; a link among
    // them still resolves elsewhere and is not followed.
    const std::string folderFinal = FinalPathOf(folder, FinalLink::Followed);
    WIN32_FIND_DATAA entry;
    UniqueFind listing(FindFirstFileA((folder + "*.*").c_str(), &entry));
    if (!listing) return;
    do {
        const std::string name = entry.cFileName;
        if (name == "." || name == ".." || !wanted(name)) continue;
        const std::string path = folder + name;
        RemoveEntry(ClassifyEntry(folderFinal, path, name, entry.dwFileAttributes), path, entry.dwFileAttributes);
    } while (FindNextFileA(listing.get(), &entry));
}

void DeleteFolderTree(const std::string& folder) {
    const std::string entry = WithoutTrailingSeparators(folder);
    // An empty text would list the current directory.
    if (entry.empty()) return;
    const DWORD attributes = GetFileAttributesA(entry.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) return;
    const std::string parent = FolderPart(entry);
    const std::string name = entry.substr(parent.size());
    // A drive root has no folder of its own to be checked against.
    const EntryKind kind =
        name.empty() ? EntryKind::Folder : ClassifyEntry(FinalPathOf(parent), entry, name, attributes);
    RemoveEntry(kind, entry, attributes);
}

}  // namespace qwp
