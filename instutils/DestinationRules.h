// What makes a destination folder one the setup can install into: the text is
// tidied into the form the setup writes everywhere, and a folder Windows
// would misread or refuse is named with the reason. Plain text only, no file
// system and no Windows API, so the rules build natively for the host tests.
#pragma once

#include "instutils/PathText.h"

#include <cstddef>
#include <string>
#include <vector>

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
    // the extension ("CON .txt"), as Windows strips them. COM and LPT with a
    // superscript one, two or three (U+00B9, U+00B2, U+00B3: "COM\xB9" in
    // code page 1252) are devices too, in a code page that has them.
    ReservedName,
    // A component ending in '.' or ' ' once "." and ".." were resolved.
    TrailingDotOrBlank,
    // < > " | ? * or a control character, or ':' anywhere but the drive's
    // colon; a drive that is no ASCII letter ("1:\Apps") counts as one too.
    // The second byte of a two-byte character is part of that character,
    // never one of these.
    InvalidCharacter,
    // A file or folder the installation makes below the folder would be
    // longer than Windows allows (see FitsPathLimits).
    TooLong,
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
// - Texts are read in the code page given, character by character.
CheckedDestination CheckDestination(const std::string& withDrive, const AnsiCodePage& codePage = ProcessCodePage());

// True for "C:\", "C:" and "\\server\share" (with or without a trailing
// backslash): a place where the caller appends the product folder instead of
// installing straight into it. Takes the folder as CheckDestination gives it.
bool IsDriveOrShareRoot(const std::string& folder, const AnsiCodePage& codePage = ProcessCodePage());

// The longest paths the ANSI file functions take, in characters (a
// two-byte character counting once): a file's path at most 259 (MAX_PATH
// with its NUL), and a folder CreateDirectory makes under 248 (MAX_PATH
// less room for an 8.3 name), counted as the setup hands it over, with its
// trailing backslash.
constexpr std::size_t kLongestFilePath = 259;
constexpr std::size_t kLongestFolderPath = 247;

// True when every file of `names` fits below the folder (a tidied folder
// without its trailing backslash; each name relative to it, its own folders
// separated by backslashes), and so does every folder made to hold them,
// the folder itself included.
bool FitsPathLimits(const std::string& folder, const std::vector<std::string>& names,
                    const AnsiCodePage& codePage = ProcessCodePage());

// A short English phrase for a fault, for the message that names the folder
// ("... is relative to the current folder of its drive"). Empty for None.
const char* DestinationFaultText(DestinationFault fault);

}  // namespace qwp
