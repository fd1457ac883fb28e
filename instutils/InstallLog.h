// The install log: every file and folder the setup creates, one line each,
// kept in memory during the run and saved as Install.log in the destination
// folder after the wizard has closed.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace qwp {

constexpr char kInstallLogName[] = "Install.log";
constexpr char kFileCopyPrefix[] = "File Copy: ";
constexpr char kMadeDirPrefix[] = "Made Dir: ";

// The lines in insertion order. Missing until OpenInstallLog; freed by
// FinalizeInstUtils.
extern std::unique_ptr<std::vector<std::string>> InstallLog;
// The log file of this run; empty before OpenInstallLog and in portable mode.
extern std::string InstallLogPath;
// Logging is off while this is not zero. The install plan reads it directly.
extern std::int32_t LogSuppression;

// Appends the line unless logging is suppressed, the log is not open, or an
// equal line (case ignored by the user locale) is already there.
void AddLogLine(const std::string& line);

void SuppressLog();
// Always paired with an earlier SuppressLog; not guarded against going below
// zero.
void ResumeLog();

// The first step of the install run: a new, empty log; unless the
// destination is portable, InstallLogPath is set to its Install.log and the
// lines of an existing file of that name are loaded first, so a reinstall
// adds no duplicates. A file that cannot be read leaves the log empty.
void OpenInstallLog(const std::string& destinationFolder);

// Writes every line followed by CR LF to InstallLogPath, replacing the file
// in one step: a failure (a full disk, a read-only folder) leaves the earlier
// file as it was. Nothing happens in portable mode or before OpenInstallLog.
// Failures are silent to the user; the result is for tests.
bool SaveInstallLog();

// Frees the log and clears its path (the unit's finalisation).
void CloseInstallLog();

}  // namespace qwp
