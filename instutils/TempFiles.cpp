#include "instutils/TempFiles.h"

#include "instutils/Files.h"
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
    // Byte-exact: a name with the prefix in other letter case is not ours.
    const std::string prefix = TempNamePrefix();
    RemoveListedEntries(folder, [&prefix](const std::string& name) { return name.compare(0, prefix.size(), prefix) == 0; });
}

}  // namespace qwp
