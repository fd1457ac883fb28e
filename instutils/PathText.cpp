#include "instutils/PathText.h"

namespace qwp {

void AddTrailingBackslash(std::string& path) {
    if (path.empty()) return;
    if (path.back() == '\\' || path.back() == '/')
        path.back() = '\\';
    else
        path += '\\';
}

std::string JoinPath(std::string folder, const std::string& name) {
    AddTrailingBackslash(folder);
    return folder + name;
}

char LastChar(const std::string& text) { return text.empty() ? '\0' : text.back(); }

void DeleteFirstChar(std::string& text) {
    if (!text.empty()) text.erase(0, 1);
}

void DeleteLastChar(std::string& text) {
    if (!text.empty()) text.pop_back();
}

std::string FolderPart(const std::string& path) {
    const std::string::size_type last = path.find_last_of("\\:");
    return last == std::string::npos ? std::string() : path.substr(0, last + 1);
}

std::string DrivePart(const std::string& path) {
    if (path.size() >= 2 && path[1] == ':') return path.substr(0, 2);
    if (path.size() >= 2 && path[0] == '\\' && path[1] == '\\') {
        const std::string::size_type afterServer = path.find('\\', 2);
        if (afterServer == std::string::npos) return path;
        const std::string::size_type afterShare = path.find('\\', afterServer + 1);
        return afterShare == std::string::npos ? path : path.substr(0, afterShare);
    }
    return {};
}

}  // namespace qwp
