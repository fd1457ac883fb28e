// Names compared the Windows way, special folders, the temporary folder and
// the process's current directory.
#pragma once

#include "instutils/PathText.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace qwp {

// Whole-text equality after upper-casing both by the user locale's ANSI
// rules (CharUpperBuffA): no wildcards, no prefix match, no normalisation,
// so "C:\A" and "c:\a\" differ.
bool SameName(const std::string& a, const std::string& b);

// The shell's folder for a CSIDL number, without a trailing backslash, as the
// shell reports it (the folder is not created); the empty text when the
// shell has none or SHGetFolderPathA could not be found.
std::string GetSpecialFolder(std::int32_t csidl);

// True when the path names a folder that can be made the current directory
// and reads back as the same text (case ignored, trailing backslash added to
// both). Relative paths, paths with "." or ".." parts, files and the empty
// text give false. The current directory is the same afterwards.
bool FolderExists(const std::string& path);

// The user's temporary folder, or the documents folder when the temporary
// folder does not exist; with a trailing backslash, or empty when neither
// can be determined.
std::string GetTempFolder();

// The current directory with a trailing backslash ("C:\" stays as it is);
// empty when it cannot be read.
std::string GetCurrentFolder();

// Current directories saved last in, first out. The stack does not exist
// before the first push; FinalizeInstUtils frees it.
extern std::unique_ptr<std::vector<std::string>> FolderStack;
void PushCurrentFolder();
// Makes the top entry current again (a failure is ignored) and drops it;
// nothing happens when the stack is missing or empty.
void PopCurrentFolder();

}  // namespace qwp
