#include "instutils/TempFiles.h"

#include "instutils/EntryKind.h"
#include "instutils/Files.h"
#include "instutils/Handles.h"
#include "instutils/Paths.h"

#include <windows.h>

#include <cstdint>

namespace qwp {

std::string TempNamePrefix() {
    std::string prefix = "~";
    for (const char c : std::string(kSetupTitle))
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) prefix += c;
    return prefix;
}

std::string NewTempFileName() {
    const std::string stem = GetTempFolder() + TempNamePrefix();
    for (std::uint64_t n = 0;; ++n) {
        std::string name = stem + std::to_string(n) + ".tmp";
        if (!FileExists(name)) return name;
    }
}

void CleanTempFiles() {
    const std::string folder = GetTempFolder();
    // With no temporary folder the pattern would list the current directory.
    if (folder.empty()) return;
    const std::string prefix = TempNamePrefix();
    const std::string folderFinal = FinalPathOf(folder);
    WIN32_FIND_DATAA entry;
    UniqueFind listing(FindFirstFileA((folder + "*.*").c_str(), &entry));
    if (!listing) return;
    do {
        const std::string name = entry.cFileName;
        if (name.compare(0, prefix.size(), prefix) == 0)
            RemoveListedEntry(folderFinal, folder + name, name, entry.dwFileAttributes);
    } while (FindNextFileA(listing.get(), &entry));
}

}  // namespace qwp
