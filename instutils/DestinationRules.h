// What makes a destination folder one the setup can install into: the text is
// tidied into the form the setup writes everywhere, and a folder Windows
// would misread or refuse is named with the reason. Plain text only, no file
// system and no Windows API, so the rules build natively for the host tests.
#pragma once

#include <string>

namespace qwp {

enum class DestinationFault {
    None,
    // "C:foo": a drive without the backslash after its colon, followed by more
    // text; the files would go below the drive's current folder. A text with
    // no drive at all ("Apps", "\Apps") is relative in the same way.
    DriveRelative,
    // A UNC text without both a server and a share: "\\", "\\server",
    // "\\server\\share".
    IncompleteShare,
    // A component CON, PRN, AUX, NUL, COM1..COM9 or LPT1..LPT9, in any case,
    // also with an extension ("nul.txt", "COM1.log") and with blanks before
    // the extension ("CON .txt"), as Windows strips them.
    ReservedName,
    // A component ending in '.' or ' ' once "." and ".." were resolved.
    TrailingDotOrBlank,
    // < > " | ? * or a control character, or ':' anywhere but the drive's
    // colon; a drive that is no ASCII letter ("1:\Apps") counts as one too.
    InvalidCharacter,
};

// The folder text made absolute-looking and tidy, and what is wrong with it.
struct CheckedDestination {
    std::string folder;
    DestinationFault fault = DestinationFault::None;
};

// Takes a folder text that has a drive part ("C:", "C:\...", or a UNC
// "\\server\share\..."); the caller gives a text without one the selected
// drive's product folder instead.
// - Forward slashes become backslashes; runs of backslashes after the drive
//   or share collapse into one.
// - "." components are dropped and ".." removes the component before it,
//   never going above the drive root or above "\\server\share".
// - The result is "C:\" for a drive root ("C:" alone included) and has no
//   trailing backslash otherwise ("\\server\share" for a share root).
// - The drive letter and every name keep their case.
// - Every component, server and share included, is checked in order for
//   InvalidCharacter, ReservedName and TrailingDotOrBlank; the first fault
//   found is returned with the tidied folder.
// - DriveRelative and IncompleteShare, and a drive that is no letter, leave
//   nothing sensible to tidy: the folder is the text with its slashes turned
//   into backslashes and nothing else changed.
CheckedDestination CheckDestination(const std::string& withDrive);

// True for "C:\", "C:" and "\\server\share" (with or without a trailing
// backslash): a place where the caller appends the product folder instead of
// installing straight into it. Takes the folder as CheckDestination gives it.
bool IsDriveOrShareRoot(const std::string& folder);

// A short English phrase for a fault, for the message that names the folder
// ("... is relative to the current folder of its drive"). Empty for None.
const char* DestinationFaultText(DestinationFault fault);

}  // namespace qwp
