#include "instutils/SizeText.h"

#include <limits>

namespace qwp {
namespace {

constexpr std::int64_t kKilobyte = 1024;
constexpr std::int64_t kMegabyte = 1048576;
constexpr std::int64_t kAlwaysMegabytes = 16 * kMegabyte - 1;

}  // namespace

std::string FormatGrouped(std::int64_t number) {
    std::string text = std::to_string(number);
    // Positions are 1-based as in the rule "insert before position i, then
    // i - 3"; for a negative number the minus sign takes part in the count.
    for (long i = static_cast<long>(text.size()) - 2; i > 1; i -= 3)
        text.insert(static_cast<std::string::size_type>(i - 1), 1, ' ');
    return text;
}

std::int64_t RoundedMegabytes(std::int64_t bytes) {
    // On the magnitude, so that the most negative value cannot overflow.
    const std::uint64_t magnitude =
        bytes < 0 ? 0 - static_cast<std::uint64_t>(bytes) : static_cast<std::uint64_t>(bytes);
    std::uint64_t whole = magnitude / kMegabyte;
    const std::uint64_t rest = magnitude % kMegabyte;
    const std::uint64_t half = kMegabyte / 2;
    if (rest > half || (rest == half && whole % 2 == 1)) ++whole;
    const auto value = static_cast<std::int64_t>(whole);
    return bytes < 0 ? -value : value;
}

std::string FormatSize(std::int64_t bytes) {
    const std::int64_t megabytes = RoundedMegabytes(bytes);
    if (bytes >= kAlwaysMegabytes || (bytes != 0 && bytes == megabytes * kMegabyte))
        return FormatGrouped(megabytes) + " MB";
    return FormatGrouped(bytes / kKilobyte) + " KB";
}

std::int32_t RoundUpToClusters(std::int32_t size, std::int32_t clusterSize) {
    if (clusterSize < 1 || size % clusterSize == 0) return size;
    const std::int64_t rounded = (static_cast<std::int64_t>(size / clusterSize) + 1) * clusterSize;
    if (rounded > std::numeric_limits<std::int32_t>::max()) return std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(rounded);
}

}  // namespace qwp
