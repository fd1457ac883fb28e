#include "tests/support/WineDrives.h"

#include "instutils/Handles.h"

#include <winioctl.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace qwp::test {
namespace {

// Wine's mount manager extension that defines a drive letter for a Unix
// folder with a drive type.
constexpr DWORD kDefineUnixDrive = CTL_CODE('m', 32, METHOD_BUFFERED, FILE_READ_ACCESS | FILE_WRITE_ACCESS);
struct UnixDriveRequest {
    ULONG size;
    ULONG type;
    ULONG fsType;
    DWORD serial;
    ULONGLONG unixDevice;
    WCHAR letter;
    USHORT mountPointOffset;
    USHORT deviceOffset;
    USHORT labelOffset;
};

}  // namespace

bool DefineUnixDrive(char letter, UINT type, const std::string& unixFolder) {
    UniqueFile manager(CreateFileA("\\\\.\\MountPointManager", GENERIC_READ | GENERIC_WRITE,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!manager) return false;
    std::vector<char> buffer(sizeof(UnixDriveRequest) + unixFolder.size() + 1, '\0');
    UnixDriveRequest request{};
    request.size = static_cast<ULONG>(buffer.size());
    request.type = type;
    request.letter = static_cast<WCHAR>(letter);
    if (!unixFolder.empty()) request.mountPointOffset = sizeof request;
    std::memcpy(buffer.data(), &request, sizeof request);
    std::copy(unixFolder.begin(), unixFolder.end(), buffer.begin() + sizeof request);
    DWORD returned = 0;
    return DeviceIoControl(manager.get(), kDefineUnixDrive, buffer.data(), static_cast<DWORD>(buffer.size()), nullptr,
                           0, &returned, nullptr) != FALSE;
}

std::string UnixPath(const std::string& windowsPath) {
    using ToUnixFn = char*(__cdecl*)(const WCHAR*);
    const auto toUnix = reinterpret_cast<ToUnixFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    if (!toUnix) return {};
    WCHAR wide[MAX_PATH] = {};
    MultiByteToWideChar(CP_ACP, 0, windowsPath.c_str(), -1, wide, MAX_PATH);
    char* unix = toUnix(wide);
    if (!unix) return {};
    std::string path = unix;
    HeapFree(GetProcessHeap(), 0, unix);
    return path;
}

}  // namespace qwp::test
