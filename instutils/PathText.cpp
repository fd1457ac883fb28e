#include "instutils/PathText.h"

#include <cstring>

namespace qwp {

// Constant-initialised: single-byte until the setup's start sets it, before
// any thread of its own runs.
AnsiCodePage detail::processCodePage;

namespace {

bool InSet(char c, const char* set) { return c != '\0' && std::strchr(set, c) != nullptr; }

}  // namespace

void SetProcessCodePage(const AnsiCodePage& codePage) { detail::processCodePage = codePage; }

std::size_t NextCharAt(const std::string& text, std::size_t at, const AnsiCodePage& codePage) {
    return at + (codePage.IsLead(text[at]) && at + 1 < text.size() ? 2 : 1);
}

std::size_t FindCharOf(const std::string& text, const char* set, std::size_t from, const AnsiCodePage& codePage) {
    for (std::size_t at = from; at < text.size(); at = NextCharAt(text, at, codePage))
        if (InSet(text[at], set)) return at;
    return std::string::npos;
}

std::size_t FindLastCharOf(const std::string& text, const char* set, const AnsiCodePage& codePage) {
    std::size_t found = std::string::npos;
    for (std::size_t at = 0; at < text.size(); at = NextCharAt(text, at, codePage))
        if (InSet(text[at], set)) found = at;
    return found;
}

// A text is only ever read from its start: walking back from the end cannot
// tell a second byte from a first.
std::size_t LastCharAt(const std::string& text, const AnsiCodePage& codePage) {
    std::size_t last = std::string::npos;
    for (std::size_t at = 0; at < text.size(); at = NextCharAt(text, at, codePage)) last = at;
    return last;
}

std::size_t CharCount(const std::string& text, const AnsiCodePage& codePage) {
    std::size_t count = 0;
    for (std::size_t at = 0; at < text.size(); at = NextCharAt(text, at, codePage)) ++count;
    return count;
}

void AddTrailingBackslash(std::string& path, const AnsiCodePage& codePage) {
    if (path.empty()) return;
    const char last = LastChar(path, codePage);
    if (last == '\\' || last == '/')
        path.back() = '\\';
    else
        path += '\\';
}

std::string JoinPath(std::string folder, const std::string& name, const AnsiCodePage& codePage) {
    AddTrailingBackslash(folder, codePage);
    return folder + name;
}

char LastChar(const std::string& text, const AnsiCodePage& codePage) {
    return text.empty() ? '\0' : text[LastCharAt(text, codePage)];
}

void DeleteFirstChar(std::string& text, const AnsiCodePage& codePage) {
    if (!text.empty()) text.erase(0, NextCharAt(text, 0, codePage));
}

void DeleteLastChar(std::string& text, const AnsiCodePage& codePage) {
    if (!text.empty()) text.erase(LastCharAt(text, codePage));
}

std::string FolderPart(const std::string& path, const AnsiCodePage& codePage) {
    const std::size_t last = FindLastCharOf(path, "\\:", codePage);
    return last == std::string::npos ? std::string() : path.substr(0, last + 1);
}

std::string DrivePart(const std::string& path, const AnsiCodePage& codePage) {
    // A colon, like a blank, a dot and a slash, is never the second byte of
    // a character.
    if (path.size() >= 2 && path[1] == ':') return path.substr(0, 2);
    if (path.size() >= 2 && path[0] == '\\' && path[1] == '\\') {
        const std::size_t afterServer = FindCharOf(path, "\\", 2, codePage);
        if (afterServer == std::string::npos) return path;
        const std::size_t afterShare = FindCharOf(path, "\\", afterServer + 1, codePage);
        return afterShare == std::string::npos ? path : path.substr(0, afterShare);
    }
    return {};
}

}  // namespace qwp
