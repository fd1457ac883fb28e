#include "registration/UpdateLogMerge.h"

#include <cstring>
#include <utility>

namespace qwp {
namespace {

// The first position whose entry sorts after the line (or, with orEqual,
// not before it), by binary search.
std::size_t Bound(const std::vector<std::string>& sorted, std::size_t count, const std::string& line,
                  LineCompare compare, bool orEqual) {
    std::size_t low = 0, high = count;
    while (low < high) {
        const std::size_t middle = low + (high - low) / 2;
        const int order = compare(sorted[middle], line);
        if (order < 0 || (order == 0 && !orEqual))
            low = middle + 1;
        else
            high = middle;
    }
    return low;
}

}  // namespace

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

// Binary insertion: a few hundred paths, and much less code than a general
// sort, which the size of the shipped program cares about.
void SortSharedList(std::vector<std::string>& list, LineCompare compare) {
    for (std::size_t i = 1; i < list.size(); ++i) {
        const std::size_t at = Bound(list, i, list[i], compare, false);
        if (at == i) continue;
        std::string moving = std::move(list[i]);
        for (std::size_t j = i; j > at; --j) list[j] = std::move(list[j - 1]);
        list[at] = std::move(moving);
    }
}

bool SortedListContains(const std::vector<std::string>& sortedList, const std::string& line, LineCompare compare) {
    const std::size_t at = Bound(sortedList, sortedList.size(), line, compare, true);
    return at < sortedList.size() && compare(sortedList[at], line) == 0;
}

std::vector<std::string> MergeUpdateLog(const std::vector<std::string>& lines,
                                        const std::vector<std::string>& sortedList, const std::string& stampLine,
                                        LineCompare compare) {
    std::vector<std::string> merged;
    merged.reserve(lines.size() + sortedList.size() + 1);
    for (const std::string& line : lines) {
        // Paths of this installation are written again in its own block.
        if (line.empty() || SortedListContains(sortedList, line, compare)) continue;
        // A stamp directly after another heads a block that has lost all its
        // paths; the older stamp is kept, so the paths that followed the
        // removed stamps stay with the oldest installation of the run.
        if (IsStampLine(line) && !merged.empty() && IsStampLine(merged.back())) continue;
        merged.push_back(line);
    }
    if (!merged.empty() && IsStampLine(merged.back())) merged.pop_back();
    merged.push_back(stampLine);
    for (const std::string& entry : sortedList) merged.push_back(entry);
    return merged;
}

}  // namespace qwp
