// What makes the installed word processor usable once its files are on
// disk: the common data file with the installation time, the document
// associations handed to the word processor, the Start-menu and desktop
// shortcuts, and the launch after Finish.
#pragma once

#include <array>
#include <string>
#include <vector>

namespace qwp {

// The common data file, in folder kind 0 (the destination in a portable
// installation).
constexpr char kCommonDataName[] = "qwp_common.dat";
// Every shortcut's name; it lies directly in its special folder.
extern const char kShortcutName[];         // "Quilvane Word Processor.lnk"
extern const char kShortcutDescription[];  // "Compact, fast-loading, ..."

// The 16 bytes of qwp_common.dat, little-endian: 1, 8 (the size of the time
// that follows), the date-time double.
std::string CommonDataRecord(double now);

// The association check boxes, in the order RTF, COD, DOC, DOCX.
using AssociationBoxes = std::array<bool, 4>;

// "A" to "D" for the checked boxes, in that order; empty when none is.
std::string AssociationLettersOf(const AssociationBoxes& boxes);
// The boxes the stored letters check: a box for each of "A" to "D" found
// anywhere in the text; other characters are ignored.
AssociationBoxes AssociationBoxesOf(const std::string& letters);

// "<mainDir>\qwp.exe" -assoc qdpr, then "_rtf", "_cod", "_doc", "_docx" for
// the checked boxes, with nothing between them.
std::string AssociationCommand(const std::string& mainDir, const AssociationBoxes& boxes);

// "<mainDir>\qwp.exe", quoted, without arguments.
std::string LaunchCommand(const std::string& mainDir);

// The program file's name in the destination folder.
extern const char kProgramFileName[];  // "qwp.exe"

// Starts a command line as a new process of this one's rights, its window
// shown (SW_SHOW), without waiting for it, and logs it ("Started"), marked
// when it could not be started. True when it was.
bool StartCommand(const std::string& commandLine);
// Logs a command that was not started, with the reason.
void LogNotStarted(const std::string& commandLine, const std::string& reason);

// Writes the record with the current local time to folder + kCommonDataName
// (folder ends in a backslash), creating or replacing the file whole. Logs
// "File: <path>" once written, "Not written: <path>" when not; false then
// (also for an empty folder, which is never taken for the current one).
bool WriteCommonDataFile(const std::string& folder);

// The two folders of a shortcut kind (0: Start-menu Programs, 1: Desktop):
// chosen is where the shortcut goes, other is the scope whose copy is
// deleted. Chosen falls back to the other scope's folder when the system
// has none for the chosen scope.
struct ShortcutFolders {
    std::string chosen;
    std::string other;
};
ShortcutFolders ShortcutFoldersOf(int kind, bool allUsers);

// For the Programs kind and then the Desktop kind: deletes the other
// scope's shortcut (also for the desktop when none is wanted), then creates
// the shortcut in the chosen folder (the desktop one only when wanted),
// pointing at mainDir's qwp.exe, working in mainDir. Gives back the wanted
// shortcuts that could not be saved, by path (the bare name when the
// system knows neither scope's folder); empty when every one was.
std::vector<std::string> PlaceShortcuts(const std::string& mainDir, bool allUsers, bool desktop);

}  // namespace qwp
