#include "instutils/Shortcuts.h"

#include "instutils/Files.h"
#include "instutils/Handles.h"
#include "instutils/InstallLog.h"
#include "instutils/PathText.h"
#include "instutils/RunLog.h"

#include <windows.h>
#include <objidl.h>
#include <shlobj.h>

#include <climits>
#include <vector>

namespace qwp {
namespace {

// The path as a NUL-terminated wide text. A vector rather than std::wstring:
// the library's wide string alone would add 35 KB to the shipped program.
std::vector<wchar_t> WideFromAnsi(const std::string& text) {
    if (text.empty() || text.size() > INT_MAX) return {};
    const int size = static_cast<int>(text.size());
    const int needed = MultiByteToWideChar(CP_ACP, 0, text.data(), size, nullptr, 0);
    if (needed <= 0) return {};
    std::vector<wchar_t> wide(static_cast<std::size_t>(needed) + 1, L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), size, wide.data(), needed);
    return wide;
}

// The three identifiers spelled out: the import library keeps every
// identifier of the SDK in one object, 41 KB that would all be linked in.
const GUID kClsidShellLink = {0x00021401, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
const GUID kIidShellLinkA = {0x000214EE, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
const GUID kIidPersistFile = {0x0000010B, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

}  // namespace

bool CreateShortcut(const std::string& shortcutPath, const std::string& target, const std::string& workingFolder,
                    const std::string& description) {
    // A bare file name means no shortcut folder could be found: saving it
    // would drop the shortcut into whatever the current directory is.
    if (FolderPart(shortcutPath).empty()) return false;
    ComPtr<IShellLinkA> link;
    if (FAILED(CoCreateInstance(kClsidShellLink, nullptr, CLSCTX_INPROC_SERVER, kIidShellLinkA, link.put())) ||
        !link)
        return false;
    link->SetPath(target.c_str());
    link->SetWorkingDirectory(workingFolder.c_str());
    link->SetDescription(description.c_str());

    ComPtr<IPersistFile> file;
    if (FAILED(link->QueryInterface(kIidPersistFile, file.put())) || !file) return false;

    ForceFolders(FolderPart(shortcutPath));
    const std::vector<wchar_t> widePath = WideFromAnsi(shortcutPath);
    // TRUE makes the saved file the object's current file.
    const bool saved = !widePath.empty() && SUCCEEDED(file->Save(widePath.data(), TRUE));
    AddLogLine(kFileCopyPrefix + shortcutPath);
    RunLogLine("Shortcut", shortcutPath + " -> " + target + (saved ? "" : " (not saved)"));
    return saved;
}

}  // namespace qwp
