#include "instutils/LogText.h"

namespace qwp {

std::vector<std::string> SplitLogText(std::string_view text) {
    const std::string_view::size_type nul = text.find('\0');
    if (nul != std::string_view::npos) text = text.substr(0, nul);

    std::vector<std::string> lines;
    std::string_view::size_type start = 0;
    while (start < text.size()) {
        const std::string_view::size_type end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            lines.emplace_back(text.substr(start));
            break;
        }
        lines.emplace_back(text.substr(start, end - start));
        start = end + 1;
        if (text[end] == '\r' && start < text.size() && text[start] == '\n') ++start;
    }
    return lines;
}

std::string JoinLogLines(const std::vector<std::string>& lines) {
    std::string text;
    std::string::size_type size = 0;
    for (const std::string& line : lines) size += line.size() + 2;
    text.reserve(size);
    for (const std::string& line : lines) {
        text += line;
        text += "\r\n";
    }
    return text;
}

}  // namespace qwp
