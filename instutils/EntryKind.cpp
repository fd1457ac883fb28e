#include "instutils/EntryKind.h"

#include "instutils/Handles.h"
#include "instutils/PathText.h"
#include "instutils/Paths.h"

#include <windows.h>

namespace qwp {
namespace {

using GetFinalPathNameByHandleAFn = DWORD(WINAPI*)(HANDLE file, LPSTR path, DWORD size, DWORD flags);

// Looked up rather than imported: systems before Vista do not have it (and
// have no file links either).
GetFinalPathNameByHandleAFn FinalPathFunction() {
    static const auto function = reinterpret_cast<GetFinalPathNameByHandleAFn>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetFinalPathNameByHandleA")));
    return function;
}

bool HasAttribute(unsigned long attributes, DWORD bit) { return (attributes & bit) != 0; }

EntryKind KindByAttributes(unsigned long attributes) {
    if (HasAttribute(attributes, FILE_ATTRIBUTE_REPARSE_POINT)) return EntryKind::Link;
    return HasAttribute(attributes, FILE_ATTRIBUTE_DIRECTORY) ? EntryKind::Folder : EntryKind::File;
}

}  // namespace

std::string FinalPathOf(const std::string& path, FinalLink finalLink) {
    const GetFinalPathNameByHandleAFn finalPath = FinalPathFunction();
    if (!finalPath) return {};
    // Attribute access only, and every sharing mode: the open must not fail
    // for a file that is in use. BACKUP_SEMANTICS lets folders be opened.
    UniqueFile entry(CreateFileA(path.c_str(), FILE_READ_ATTRIBUTES,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                 FILE_FLAG_BACKUP_SEMANTICS |
                                     (finalLink == FinalLink::Kept ? FILE_FLAG_OPEN_REPARSE_POINT : 0),
                                 nullptr));
    if (!entry) return {};
    std::string result(MAX_PATH, '\0');
    for (int attempt = 0; attempt < 4; ++attempt) {
        const DWORD length = finalPath(entry.get(), &result[0], static_cast<DWORD>(result.size()), 0);
        if (length == 0) return {};
        if (length < result.size()) {
            result.resize(length);
            return result;
        }
        result.assign(length + 1, '\0');  // too small: the answer is the size needed
    }
    return {};
}

EntryKind ClassifyEntry(const std::string& folderFinal, const std::string& path, const std::string& name,
                        unsigned long attributes) {
    if (!FinalPathFunction() || folderFinal.empty()) return KindByAttributes(attributes);
    // Some volumes (RAM disks, image and user-mode file systems) give no final
    // paths at all; there the attributes decide, as they do on Windows.
    const std::string actual = FinalPathOf(path);
    if (actual.empty()) return KindByAttributes(attributes);
    if (!SameName(actual, JoinPath(folderFinal, name))) return EntryKind::Elsewhere;
    return KindByAttributes(attributes);
}

}  // namespace qwp
