#include "registration/UpdateLogMerge.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace qwp {

std::string UpdateLogStampLine(double installStamp) {
    static const char kDigits[] = "0123456789ABCDEF";
    unsigned char bytes[sizeof installStamp];
    // Every target the program runs on is little-endian, so memory order is
    // the order of the install_stamp file.
    std::memcpy(bytes, &installStamp, sizeof bytes);
    std::string line = "*";
    for (unsigned char byte : bytes) {
        line += kDigits[byte >> 4];
        line += kDigits[byte & 0x0F];
    }
    return line;
}

bool IsStampLine(const std::string& line) { return !line.empty() && line[0] == '*'; }

void SortSharedList(std::vector<std::string>& list, const LineCompare& compare) {
    std::stable_sort(list.begin(), list.end(),
                     [&](const std::string& a, const std::string& b) { return compare(a, b) < 0; });
}

bool SortedListContains(const std::vector<std::string>& sortedList, const std::string& line,
                        const LineCompare& compare) {
    const auto found = std::lower_bound(sortedList.begin(), sortedList.end(), line,
                                        [&](const std::string& a, const std::string& b) { return compare(a, b) < 0; });
    return found != sortedList.end() && compare(*found, line) == 0;
}

std::vector<std::string> MergeUpdateLog(std::vector<std::string> lines, const std::vector<std::string>& sortedList,
                                        const std::string& stampLine, const LineCompare& compare) {
    // Paths of this installation are written again in its own block below.
    lines.erase(std::remove_if(lines.begin(), lines.end(),
                               [&](const std::string& line) {
                                   return line.empty() || SortedListContains(sortedList, line, compare);
                               }),
                lines.end());
    // A stamp directly after another stamp heads a block that has lost all
    // its paths; the older stamp is kept, so paths that followed the removed
    // stamps stay with the oldest installation of the run.
    std::vector<std::string> merged;
    merged.reserve(lines.size() + sortedList.size() + 1);
    for (std::string& line : lines) {
        if (IsStampLine(line) && !merged.empty() && IsStampLine(merged.back())) continue;
        merged.push_back(std::move(line));
    }
    if (!merged.empty() && IsStampLine(merged.back())) merged.pop_back();
    merged.push_back(stampLine);
    merged.insert(merged.end(), sortedList.begin(), sortedList.end());
    return merged;
}

}  // namespace qwp
