#include "instutils/InstallLog.h"

#include "instutils/FileContent.h"
#include "instutils/Files.h"
#include "instutils/LogText.h"
#include "instutils/PathText.h"
#include "instutils/PortableDrive.h"

#include <windows.h>

#include <climits>

namespace qwp {

std::unique_ptr<std::vector<std::string>> InstallLog;
std::string InstallLogPath;
std::int32_t LogSuppression = 0;

namespace {

bool SameLogLine(const std::string& a, const std::string& b) {
    if (a.size() > INT_MAX || b.size() > INT_MAX) return false;
    return CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE | SORT_STRINGSORT, a.data(),
                          static_cast<int>(a.size()), b.data(), static_cast<int>(b.size())) == CSTR_EQUAL;
}

bool Contains(const std::vector<std::string>& lines, const std::string& line) {
    for (const std::string& existing : lines)
        if (SameLogLine(existing, line)) return true;
    return false;
}

}  // namespace

void AddLogLine(const std::string& line) {
    // Lines offered before the log exists have nowhere to go; the program's
    // only logging before the install run is suppressed anyway.
    if (LogSuppression != 0 || !InstallLog) return;
    if (!Contains(*InstallLog, line)) InstallLog->push_back(line);
}

void SuppressLog() { ++LogSuppression; }

void ResumeLog() { --LogSuppression; }

void OpenInstallLog(const std::string& destinationFolder) {
    InstallLog = std::make_unique<std::vector<std::string>>();
    InstallLogPath.clear();
    if (IsPortableLocation(destinationFolder)) return;
    InstallLogPath = JoinPath(destinationFolder, kInstallLogName);
    std::string bytes;
    if (FileExists(InstallLogPath) && ReadFileBytes(InstallLogPath, bytes)) *InstallLog = SplitLogText(bytes);
}

bool SaveInstallLog() {
    if (!InstallLog || InstallLogPath.empty()) return false;
    // Portability is asked afresh, as at every other use of the destination.
    if (IsPortableLocation(InstallLogPath)) return false;
    return ReplaceFileContent(InstallLogPath, JoinLogLines(*InstallLog));
}

void CloseInstallLog() {
    InstallLog.reset();
    InstallLogPath.clear();
}

}  // namespace qwp
