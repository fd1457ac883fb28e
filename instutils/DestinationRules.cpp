#include "instutils/DestinationRules.h"

#include "instutils/PathText.h"

#include <cstring>
#include <vector>

namespace qwp {

namespace {

using Names = std::vector<std::string>;

bool IsAsciiLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

char UpperAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

std::string WithBackslashes(std::string text, const AnsiCodePage& codePage) {
    for (std::size_t at = 0; at < text.size(); at = NextCharAt(text, at, codePage))
        if (text[at] == '/') text[at] = '\\';
    return text;
}

bool IsShareText(const std::string& text) { return text.size() >= 2 && text[0] == '\\' && text[1] == '\\'; }

// The server and share names of a share's DrivePart, or nothing when either
// is missing, as in "\\", "\\server", "\\\share" and "\\server\\share".
Names ServerAndShare(const std::string& root, const AnsiCodePage& codePage) {
    const std::size_t cut = FindCharOf(root, "\\", 2, codePage);
    if (cut == std::string::npos || cut == 2 || cut + 1 == root.size()) return {};
    return {root.substr(2, cut - 2), root.substr(cut + 1)};
}

// The names between backslashes, empty ones (from doubled or trailing
// backslashes) and "." left out, each ".." taking away the name before it;
// a ".." with nothing before it stays at the root.
Names ResolvedNames(const std::string& below, const AnsiCodePage& codePage) {
    Names names;
    std::size_t start = 0;
    while (start <= below.size()) {
        std::size_t end = FindCharOf(below, "\\", start, codePage);
        if (end == std::string::npos) end = below.size();
        const std::string name = below.substr(start, end - start);
        if (name == "..") {
            if (!names.empty()) names.pop_back();
        } else if (!name.empty() && name != ".") {
            names.push_back(name);
        }
        start = end + 1;
    }
    return names;
}

std::string Joined(std::string folder, const Names& names, const AnsiCodePage& codePage) {
    for (const std::string& name : names) folder = JoinPath(folder, name, codePage);
    return folder;
}

bool HasInvalidCharacter(const std::string& name, const AnsiCodePage& codePage) {
    // A lead byte is none of them: only a second byte could be taken for one.
    for (std::size_t at = 0; at < name.size(); at = NextCharAt(name, at, codePage))
        if (static_cast<unsigned char>(name[at]) < 32 || std::strchr("<>\"|?*:", name[at])) return true;
    return false;
}

// The unit number of COM and LPT: a digit 1 to 9, or a superscript one to
// three as the code page writes it.
bool IsDeviceUnit(const std::string& unit, const AnsiCodePage& codePage) {
    if (unit.size() == 1 && unit[0] >= '1' && unit[0] <= '9') return true;
    for (const char* superscript : codePage.superscripts)
        if (superscript[0] != '\0' && unit == superscript) return true;
    return false;
}

// Windows opens the device whatever follows the first dot, and ignores the
// blanks before it (a blank is never the second byte of a character).
bool IsReservedName(const std::string& name, const AnsiCodePage& codePage) {
    std::string base = name.substr(0, FindCharOf(name, ".", 0, codePage));
    base.erase(base.find_last_not_of(' ') + 1);
    if (base.size() < 3) return false;
    const std::string unit = base.substr(3);
    base.resize(3);
    for (char& c : base) c = UpperAscii(c);
    if (unit.empty()) return base == "CON" || base == "PRN" || base == "AUX" || base == "NUL";
    return (base == "COM" || base == "LPT") && IsDeviceUnit(unit, codePage);
}

DestinationFault NameFault(const std::string& name, const AnsiCodePage& codePage) {
    if (HasInvalidCharacter(name, codePage)) return DestinationFault::InvalidCharacter;
    if (IsReservedName(name, codePage)) return DestinationFault::ReservedName;
    const char last = LastChar(name, codePage);
    if (last == '.' || last == ' ') return DestinationFault::TrailingDotOrBlank;
    return DestinationFault::None;
}

DestinationFault FirstFault(const Names& names, const AnsiCodePage& codePage) {
    for (const std::string& name : names)
        if (const DestinationFault fault = NameFault(name, codePage); fault != DestinationFault::None) return fault;
    return DestinationFault::None;
}

CheckedDestination CheckDriveFolder(const std::string& text, const AnsiCodePage& codePage) {
    if (text.size() < 2 || text[1] != ':') return {text, DestinationFault::DriveRelative};
    if (!IsAsciiLetter(text[0])) return {text, DestinationFault::InvalidCharacter};
    const std::string below = text.substr(2);
    if (!below.empty() && below[0] != '\\') return {text, DestinationFault::DriveRelative};
    const Names names = ResolvedNames(below, codePage);
    return {Joined(text.substr(0, 2) + "\\", names, codePage), FirstFault(names, codePage)};
}

CheckedDestination CheckShareFolder(const std::string& text, const AnsiCodePage& codePage) {
    const std::string root = DrivePart(text, codePage);
    const Names serverAndShare = ServerAndShare(root, codePage);
    if (serverAndShare.empty()) return {text, DestinationFault::IncompleteShare};
    const Names names = ResolvedNames(text.substr(root.size()), codePage);
    DestinationFault fault = FirstFault(serverAndShare, codePage);
    if (fault == DestinationFault::None) fault = FirstFault(names, codePage);
    return {Joined(root, names, codePage), fault};
}

}  // namespace

CheckedDestination CheckDestination(const std::string& withDrive, const AnsiCodePage& codePage) {
    const std::string text = WithBackslashes(withDrive, codePage);
    return IsShareText(text) ? CheckShareFolder(text, codePage) : CheckDriveFolder(text, codePage);
}

bool IsDriveOrShareRoot(const std::string& folder, const AnsiCodePage& codePage) {
    if (IsShareText(folder)) {
        const std::string root = DrivePart(folder, codePage);
        return !ServerAndShare(root, codePage).empty() && (folder == root || folder == root + "\\");
    }
    return (folder.size() == 2 || (folder.size() == 3 && folder[2] == '\\')) && IsAsciiLetter(folder[0]) &&
           folder[1] == ':';
}

// One walk over each name: every backslash in it ends a folder made on the
// way to its file.
bool FitsPathLimits(const std::string& folder, const std::vector<std::string>& names, const AnsiCodePage& codePage) {
    const std::size_t base = CharCount(JoinPath(folder, "", codePage), codePage);
    if (base > kLongestFolderPath) return false;
    for (const std::string& name : names) {
        std::size_t length = base;
        for (std::size_t at = 0; at < name.size(); at = NextCharAt(name, at, codePage))
            if (++length > kLongestFolderPath && name[at] == '\\') return false;
        if (length > kLongestFilePath) return false;
    }
    return true;
}

const char* DestinationFaultText(DestinationFault fault) {
    switch (fault) {
        case DestinationFault::None: return "";
        case DestinationFault::DriveRelative: return "is relative to the current folder of its drive";
        case DestinationFault::IncompleteShare: return "names no share";
        case DestinationFault::ReservedName: return "contains a name reserved for a device";
        case DestinationFault::TrailingDotOrBlank: return "contains a name ending in a dot or a blank";
        case DestinationFault::InvalidCharacter: return "contains a character that no file name may hold";
        case DestinationFault::TooLong: return "is too long to install into";
    }
    return "";
}

}  // namespace qwp
