#include "instutils/Shortcuts.h"

#include "instutils/Files.h"
#include "instutils/Handles.h"
#include "instutils/InstallLog.h"
#include "instutils/PathText.h"

#include <windows.h>
#include <objidl.h>
#include <shlobj.h>

#include <climits>

namespace qwp {
namespace {

std::wstring WideFromAnsi(const std::string& text) {
    if (text.empty() || text.size() > INT_MAX) return {};
    const int size = static_cast<int>(text.size());
    const int needed = MultiByteToWideChar(CP_ACP, 0, text.data(), size, nullptr, 0);
    if (needed <= 0) return {};
    std::wstring wide(static_cast<std::wstring::size_type>(needed), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), size, &wide[0], needed);
    return wide;
}

}  // namespace

void CreateShortcut(const std::string& shortcutPath, const std::string& target, const std::string& workingFolder,
                    const std::string& description) {
    // A bare file name means no shortcut folder could be found: saving it
    // would drop the shortcut into whatever the current directory is.
    if (FolderPart(shortcutPath).empty()) return;
    ComPtr<IShellLinkA> link;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, link.put())) ||
        !link)
        return;
    link->SetPath(target.c_str());
    link->SetWorkingDirectory(workingFolder.c_str());
    link->SetDescription(description.c_str());

    ComPtr<IPersistFile> file;
    if (FAILED(link->QueryInterface(IID_IPersistFile, file.put())) || !file) return;

    ForceFolders(FolderPart(shortcutPath));
    const std::wstring widePath = WideFromAnsi(shortcutPath);
    // TRUE makes the saved file the object's current file.
    if (!widePath.empty()) file->Save(widePath.c_str(), TRUE);
    AddLogLine(kFileCopyPrefix + shortcutPath);
}

}  // namespace qwp
