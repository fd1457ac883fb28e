#include "instutils/DestinationRules.h"

#include "instutils/PathText.h"

#include <cstring>
#include <vector>

namespace qwp {

namespace {

using Names = std::vector<std::string>;

bool IsAsciiLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

char UpperAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

std::string WithBackslashes(std::string text) {
    for (char& c : text)
        if (c == '/') c = '\\';
    return text;
}

bool IsShareText(const std::string& text) { return text.size() >= 2 && text[0] == '\\' && text[1] == '\\'; }

// The server and share names of a share's DrivePart, or nothing when either
// is missing, as in "\\", "\\server", "\\\share" and "\\server\\share".
Names ServerAndShare(const std::string& root) {
    const std::size_t cut = root.find('\\', 2);
    if (cut == std::string::npos || cut == 2 || cut + 1 == root.size()) return {};
    return {root.substr(2, cut - 2), root.substr(cut + 1)};
}

// The names between backslashes, empty ones (from doubled or trailing
// backslashes) and "." left out, each ".." taking away the name before it;
// a ".." with nothing before it stays at the root.
Names ResolvedNames(const std::string& below) {
    Names names;
    std::size_t start = 0;
    while (start <= below.size()) {
        std::size_t end = below.find('\\', start);
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

std::string Joined(std::string folder, const Names& names) {
    for (const std::string& name : names) folder = JoinPath(folder, name);
    return folder;
}

bool HasInvalidCharacter(const std::string& name) {
    for (const char c : name)
        if (static_cast<unsigned char>(c) < 32 || std::strchr("<>\"|?*:", c)) return true;
    return false;
}

// Windows opens the device whatever follows the first dot, and ignores the
// blanks before it.
bool IsReservedName(const std::string& name) {
    std::string base = name.substr(0, name.find('.'));
    while (LastChar(base) == ' ') DeleteLastChar(base);
    for (char& c : base) c = UpperAscii(c);
    if (base == "CON" || base == "PRN" || base == "AUX" || base == "NUL") return true;
    return base.size() == 4 && (base.compare(0, 3, "COM") == 0 || base.compare(0, 3, "LPT") == 0) &&
           base[3] >= '1' && base[3] <= '9';
}

DestinationFault NameFault(const std::string& name) {
    if (HasInvalidCharacter(name)) return DestinationFault::InvalidCharacter;
    if (IsReservedName(name)) return DestinationFault::ReservedName;
    if (LastChar(name) == '.' || LastChar(name) == ' ') return DestinationFault::TrailingDotOrBlank;
    return DestinationFault::None;
}

DestinationFault FirstFault(const Names& names) {
    for (const std::string& name : names)
        if (const DestinationFault fault = NameFault(name); fault != DestinationFault::None) return fault;
    return DestinationFault::None;
}

CheckedDestination CheckDriveFolder(const std::string& text) {
    if (text.size() < 2 || text[1] != ':') return {text, DestinationFault::DriveRelative};
    if (!IsAsciiLetter(text[0])) return {text, DestinationFault::InvalidCharacter};
    const std::string below = text.substr(2);
    if (!below.empty() && below[0] != '\\') return {text, DestinationFault::DriveRelative};
    const Names names = ResolvedNames(below);
    return {Joined(text.substr(0, 2) + "\\", names), FirstFault(names)};
}

CheckedDestination CheckShareFolder(const std::string& text) {
    const std::string root = DrivePart(text);
    const Names serverAndShare = ServerAndShare(root);
    if (serverAndShare.empty()) return {text, DestinationFault::IncompleteShare};
    const Names names = ResolvedNames(text.substr(root.size()));
    DestinationFault fault = FirstFault(serverAndShare);
    if (fault == DestinationFault::None) fault = FirstFault(names);
    return {Joined(root, names), fault};
}

}  // namespace

CheckedDestination CheckDestination(const std::string& withDrive) {
    const std::string text = WithBackslashes(withDrive);
    return IsShareText(text) ? CheckShareFolder(text) : CheckDriveFolder(text);
}

bool IsDriveOrShareRoot(const std::string& folder) {
    if (IsShareText(folder)) {
        const std::string root = DrivePart(folder);
        return !ServerAndShare(root).empty() && (folder == root || folder == root + "\\");
    }
    return (folder.size() == 2 || (folder.size() == 3 && folder[2] == '\\')) && IsAsciiLetter(folder[0]) &&
           folder[1] == ':';
}

const char* DestinationFaultText(DestinationFault fault) {
    switch (fault) {
        case DestinationFault::None: return "";
        case DestinationFault::DriveRelative: return "is relative to the current folder of its drive";
        case DestinationFault::IncompleteShare: return "names no share";
        case DestinationFault::ReservedName: return "contains a name reserved for a device";
        case DestinationFault::TrailingDotOrBlank: return "contains a name ending in a dot or a blank";
        case DestinationFault::InvalidCharacter: return "contains a character that no file name may hold";
    }
    return "";
}

}  // namespace qwp
