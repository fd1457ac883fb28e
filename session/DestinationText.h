// The destination folder as the setup takes it from what was typed (or
// given with "-d"): the wizard's folder page and an unattended run use the
// same rules.
#pragma once

#include "instutils/DestinationRules.h"

#include <string>

namespace qwp {

// The lower-case letter of a drive letter in either case; '\0' for
// anything else.
char LowerDriveLetter(char c);

// The lower-case letter of the Program Files drive; when the shell does not
// name one, the Windows folder's drive, and 'c' only when neither is known.
char ProgramFilesDriveLetter();

// The text without leading and trailing blanks; without a drive, the drive
// given (any case; the Program Files drive when it is not a letter); tidied
// by the destination rules ("." and ".." resolved, no trailing backslash);
// and with "Quilvane" appended to a bare drive or share and to the Program
// Files folder itself (the 32-bit one and, on 64-bit Windows, the native
// one; also when typed by its short name, as it is recognised by its long
// name). A folder the rules refuse comes with its fault and gets no
// "Quilvane". Texts are read in the process's code page.
CheckedDestination NormalizedDestination(const std::string& typed, char driveLetter);
// What the user is told of a refused folder: the folder and the reason.
std::string UnusableFolderMessage(const CheckedDestination& checked);
// Its folder text alone.
std::string NormalizedDestDir(const std::string& typed, char driveLetter);

}  // namespace qwp
