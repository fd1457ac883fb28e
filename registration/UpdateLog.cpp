#include "registration/UpdateLog.h"

#include "instutils/FileContent.h"
#include "instutils/Files.h"
#include "instutils/LogText.h"
#include "registration/UpdateLogMerge.h"

#include <windows.h>

#include <climits>

namespace qwp {
namespace {

// The system's text for an error code, without its line end; the code in
// figures when the system has no text for it.
std::string SystemReason(DWORD error) {
    char* buffer = nullptr;
    const DWORD length = FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error,
        0, reinterpret_cast<LPSTR>(&buffer), 0, nullptr);
    std::string reason = length && buffer ? std::string(buffer, length) : std::string();
    if (buffer) LocalFree(buffer);
    while (!reason.empty() && (reason.back() == '\r' || reason.back() == '\n' || reason.back() == ' '))
        reason.pop_back();
    if (reason.empty()) reason = "System error " + std::to_string(error) + ".";
    return reason;
}

UpdateLogResult Failure(const char* what, const std::string& path, DWORD error) {
    // A failure that left no code of its own still gets a reason.
    if (error == ERROR_SUCCESS) error = ERROR_GEN_FAILURE;
    return {false, "The file\r" + path + "\rcould not be " + what + ":\r" + SystemReason(error)};
}

}  // namespace

int CompareByUserLocale(const std::string& a, const std::string& b) {
    // Paths never come near INT_MAX; longer texts compare by length alone
    // rather than being cut.
    if (a.size() > INT_MAX || b.size() > INT_MAX) return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
    const int result = CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE | SORT_STRINGSORT, a.data(),
                                      static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()));
    // 0 means the call failed; byte order then keeps the sort consistent.
    if (result == 0) return a.compare(b) < 0 ? -1 : (a == b ? 0 : 1);
    return result - CSTR_EQUAL;
}

UpdateLogResult WriteUpdateLog(std::vector<std::string>& sharedList, double installStamp,
                               const std::string& folder) {
    if (sharedList.empty()) return {};
    SortSharedList(sharedList, CompareByUserLocale);
    const std::string path = folder + kUpdateLogName;

    std::vector<std::string> lines;
    if (FileExists(path)) {
        std::string bytes;
        SetLastError(ERROR_SUCCESS);
        if (!ReadFileBytes(path, bytes)) return Failure("read", path, GetLastError());
        lines = SplitLogText(bytes);
    }
    lines = MergeUpdateLog(lines, sharedList, UpdateLogStampLine(installStamp), CompareByUserLocale);
    // Windows refuses to rename over a read-only file; Wine goes ahead.
    // The file is the user's to protect, so it is refused here as well.
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0)
        return Failure("written", path, ERROR_ACCESS_DENIED);
    SetLastError(ERROR_SUCCESS);
    if (!ReplaceFileContent(path, JoinLogLines(lines))) return Failure("written", path, GetLastError());
    return {};
}

}  // namespace qwp
