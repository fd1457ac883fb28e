// Path texts as plain strings: 8-bit ANSI Windows paths with backslashes.
// Nothing here touches the file system or needs the Windows API, so these
// also build natively for the host tests.
#pragma once

#include <string>

namespace qwp {

// Makes a folder text: a trailing slash or backslash becomes one backslash,
// anything else gets one appended. The empty text stays empty. Only the last
// character is looked at, so "C:\A\\" keeps its doubled backslash.
void AddTrailingBackslash(std::string& path);

// The folder with AddTrailingBackslash applied, then the name; an empty
// folder gives the name alone.
std::string JoinPath(std::string folder, const std::string& name);

// The last character, or '\0' for the empty text.
char LastChar(const std::string& text);

// Remove one character at either end; the empty text stays empty.
void DeleteFirstChar(std::string& text);
void DeleteLastChar(std::string& text);

// Everything up to and including the last backslash or colon ("C:\A\" for
// "C:\A\b.txt", "X:" for "X:b"); the empty text when there is neither.
std::string FolderPart(const std::string& path);

// The drive of a path: "C:" for "C:\x" (the first two characters when the
// second is a colon); "\\server\share" for a UNC path (up to, not including,
// the backslash after the share name, or the whole text when there is none);
// otherwise the empty text.
std::string DrivePart(const std::string& path);

}  // namespace qwp
